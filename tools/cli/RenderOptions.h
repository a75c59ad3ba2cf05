#pragma once

// The command line of `kurvaro-cli render`.

#include <QSize>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace kurvaro {

/// What `render` writes. BMP and PNG are raster pictures of the window's
/// bitmap; SVG and PDF are vector pictures of the same picture: the same
/// lines, each a line, and the same labels, as text on their boxes.
enum class PictureFormat
{
    Bmp,
    Png,
    Svg,
    Pdf
};

struct RenderArgs
{
    std::optional<QString> ini; ///< absent: Functions.ini beside the program
    QSize size{473, 462};
    QString out; ///< "-": standard output
    PictureFormat format = PictureFormat::Bmp;
};

/// The usage lines for standard error.
extern const char RenderUsage[];

/// Parsed arguments, or the exit code to end with: 0 after the help text on
/// standard output, ExitUsage after the usage and the reason on standard error.
struct RenderCommandLine
{
    std::optional<RenderArgs> args;
    int exitCode = 0;
};
RenderCommandLine parseRenderArgs(const std::vector<std::string>& args);

/// Why the settings file cannot be read ("does not exist", "is not a regular
/// file", the system's reason), or nothing when it can. Opens nothing that
/// could block: a FIFO or a device is refused by its type.
std::optional<QString> unreadableSettingsFile(const QString& path);

/// The first colour key in the loading order whose text is neither a colour
/// name nor an integer, as "section [S], key K", or nothing.
std::optional<QString> faultyColorKey(const QString& path);

} // namespace kurvaro
