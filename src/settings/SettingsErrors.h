#pragma once

#include "model/Faults.h"

#include <QString>

namespace kurvaro {

// The failures of the settings file. Their messages are the runtime texts
// that the general error box shows.

/// A text that should be an integer (or a colour) is neither.
KURVARO_EXCEPTION_CLASS(EConvertError, Exception)
/// The settings file could not be written; the old file is left as it was.
KURVARO_EXCEPTION_CLASS(EIniFileException, Exception)

namespace settingsfaults {
/// "'%s' ist kein gültiger Integerwert" with `text` in place of %s.
[[noreturn]] void invalidInteger(const QString& text);
/// "nach %s kann nicht geschrieben werden" with `fileName` in place of %s.
[[noreturn]] void cannotWrite(const QString& fileName);
} // namespace settingsfaults

} // namespace kurvaro
