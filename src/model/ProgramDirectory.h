#pragma once

#include <QString>

namespace kurvaro {

/// The directory of the running executable, without a trailing separator:
/// where `Functions.ini` and `Info.txt` are looked for, and nowhere else.
QString ExecutableDirectory();

/// Points ExecutableDirectory at `directory` (tests use a temporary one);
/// an empty text restores the real one.
void SetExecutableDirectoryOverride(const QString& directory);

} // namespace kurvaro
