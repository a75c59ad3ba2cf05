#pragma once

namespace kurvaro {

// The maker's addresses that the info dialog shows and hands to the shell,
// kept in this one place.

namespace maker {

/// The author's mail address; mail goes to it with the program's name as subject.
inline constexpr char MailAddress[] = "kurvaro@example.org";
/// The home page as the info dialog shows it.
inline constexpr char HomePageText[] = "www.example.org";
/// The home page as the browser is asked to open it.
inline constexpr char HomePageUrl[] = "https://www.example.org/";
/// The web server that answers the update check on its page "/version.php".
inline constexpr char UpdateServerUrl[] = "https://updates.example.org";
/// The one-line credit under the addresses.
inline constexpr char Credit[] = "Example Software";

/// The program's name: the mail subject, and lower-cased the update query's `program`.
inline constexpr char ProgramName[] = "Kurvaro";
/// The version the update query names. It lags behind the "Version 1.3" the
/// dialog shows: the update page keys its answer on this value.
inline constexpr char QueryVersion[] = "1.2";

} // namespace maker

} // namespace kurvaro
