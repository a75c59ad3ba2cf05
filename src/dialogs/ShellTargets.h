#pragma once

class QUrl;

namespace kurvaro {

// What the dialogs hand to the shell's "open". Nothing comes back: a missing
// file or a missing network shows nothing of the program's own.

/// `Info.txt` beside the executable (ExecutableDirectory() at the moment of the call).
QUrl helpFileUrl();
/// "mailto:" the author, subject "Kurvaro".
QUrl mailUrl();
/// The maker's home page.
QUrl homePageUrl();
/// "/version.php" on the update server with `program=kurvaro` and `version=1.2`.
QUrl updateUrl();

} // namespace kurvaro
