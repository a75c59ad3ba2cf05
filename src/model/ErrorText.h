#pragma once

#include <QString>

namespace kurvaro {

/// The text of the general error box: `message` with a "." appended when it is
/// not empty and its last character's code is greater than that of ".".
/// The window's box and kurvaro-cli's error line both show it.
QString errorBoxText(const QString& message);

} // namespace kurvaro
