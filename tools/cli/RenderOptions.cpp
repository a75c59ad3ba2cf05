#include "RenderOptions.h"

#include "CommandLine.h"

#include "model/FunctionSlot.h"
#include "settings/ProfileDisk.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsErrors.h"
#include "settings/ValueEncoding.h"

#include <QCommandLineOption>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>
#include <cstring>

namespace kurvaro {

const char RenderUsage[] =
    "usage: kurvaro-cli render [--ini FILE] [--size WxH] --out FILE\n"
    "       kurvaro-cli render [--ini FILE] [--size WxH] --format FMT --out -\n";

namespace {

const char Help[] = "\n"
                    "Loads a settings file as the program does at start and draws the picture\n"
                    "that the main window would show, without a window.\n"
                    "\n"
                    "Options:\n"
                    "  --ini FILE     the settings file; without it, Functions.ini beside this\n"
                    "                 program (a missing one gives the first start's picture)\n"
                    "  --size WxH     the drawing area in pixels, 1x1 to 16384x16384 (473x462)\n"
                    "  --out FILE     the picture; its format from the name: .bmp, .png, or\n"
                    "                 .svg and .pdf for vector pictures of the same picture\n"
                    "                 (lines as lines, labels as text); \"-\" writes it to\n"
                    "                 standard output\n"
                    "  --format FMT   bmp, png, svg or pdf, whatever the name (standard\n"
                    "                 output: bmp)\n"
                    "  -h, --help     this text\n"
                    "\n"
                    "Warnings of the window go to standard error, one block each.\n"
                    "Exit codes: 0 drawn, 1 view range refused (nothing written), 2 failure\n"
                    "(the general error box's text on standard error), 64 wrong command line,\n"
                    "66 the --ini file does not exist, is no regular file, is larger than\n"
                    "16 MiB or cannot be read.\n";

constexpr int MaxSide = 16384;

struct FormatName
{
    const char* name;
    PictureFormat format;
};

constexpr std::array<FormatName, 4> Formats = {{
    {"bmp", PictureFormat::Bmp},
    {"png", PictureFormat::Png},
    {"svg", PictureFormat::Svg},
    {"pdf", PictureFormat::Pdf},
}};

const FormatName* formatNamed(const QString& name)
{
    for (const FormatName& f : Formats)
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

std::optional<QSize> parseSize(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < 1 || h < 1 || w > MaxSide || h > MaxSide)
        return std::nullopt;
    return QSize(w, h);
}

RenderCommandLine refuse(const QString& reason)
{
    printErr(QString::fromLatin1(RenderUsage));
    if (!reason.isEmpty())
        printErr(QStringLiteral("kurvaro-cli render: %1\n").arg(reason));
    return {std::nullopt, ExitUsage};
}

} // namespace

RenderCommandLine parseRenderArgs(const std::vector<std::string>& args)
{
    const QCommandLineOption iniOption(QStringLiteral("ini"), {}, QStringLiteral("FILE"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), {}, QStringLiteral("WxH"));
    const QCommandLineOption outOption(QStringLiteral("out"), {}, QStringLiteral("FILE"));
    const QCommandLineOption formatOption(QStringLiteral("format"), {}, QStringLiteral("FMT"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    QCommandLineParser commandLine;
    commandLine.addOptions({iniOption, sizeOption, outOption, formatOption, helpOption});
    QString error;
    if (!parseCommandLine(commandLine, latin1Arguments("render", args), error))
        return refuse(error);
    if (commandLine.isSet(helpOption)) {
        printOut(QString::fromLatin1(RenderUsage) + QString::fromLatin1(Help));
        return {std::nullopt, 0};
    }
    if (!commandLine.positionalArguments().isEmpty())
        return refuse(QStringLiteral("unexpected '%1'").arg(commandLine.positionalArguments()[0]));

    RenderArgs parsed;
    if (commandLine.isSet(iniOption))
        parsed.ini = toFileName(commandLine.value(iniOption));
    if (commandLine.isSet(sizeOption)) {
        const std::optional<QSize> size = parseSize(commandLine.value(sizeOption));
        if (!size)
            return refuse(QStringLiteral("--size wants WxH from 1x1 to %1x%1, not '%2'")
                              .arg(MaxSide)
                              .arg(commandLine.value(sizeOption)));
        parsed.size = *size;
    }
    parsed.out = toFileName(commandLine.value(outOption));
    if (parsed.out.isEmpty())
        return refuse(QStringLiteral("--out FILE is missing"));

    const FormatName* format = nullptr;
    if (commandLine.isSet(formatOption)) {
        format = formatNamed(commandLine.value(formatOption));
        if (format == nullptr)
            return refuse(QStringLiteral("unknown --format '%1' (bmp, png, svg or pdf)")
                              .arg(commandLine.value(formatOption)));
    } else if (parsed.out == QLatin1String("-")) {
        format = &Formats[0];
    } else {
        format = formatNamed(QFileInfo(parsed.out).suffix());
        if (format == nullptr)
            return refuse(QStringLiteral("cannot tell the picture format from the name '%1': "
                                         "use .bmp, .png, .svg or .pdf, or --format")
                              .arg(parsed.out));
    }
    parsed.format = format->format;
    return {parsed, 0};
}

std::optional<QString> unreadableSettingsFile(const QString& path)
{
    // The check of the program's own loading, so that a file the window
    // would not read is refused here with the reason.
    const profile::FileBytes file = profile::readFile(path);
    switch (file.state) {
    case profile::FileState::Read:
        return std::nullopt;
    case profile::FileState::Missing:
        return QStringLiteral("does not exist");
    case profile::FileState::NotRegular:
        if (QFileInfo(path).isDir())
            return QStringLiteral("is a folder, not a file");
        return QStringLiteral("is not a regular file");
    case profile::FileState::TooLarge:
        return QStringLiteral("is larger than %1 MiB").arg(profile::MaxFileSize / (1024 * 1024));
    case profile::FileState::Unreadable:
        break;
    }
    return QStringLiteral("cannot be read: %1")
        .arg(QString::fromLocal8Bit(std::strerror(file.error)));
}

std::optional<QString> faultyColorKey(const QString& path)
{
    const ProfileFile file(path);
    const QString color = QStringLiteral("Color");
    QStringList sections;
    for (int n = 1; n <= FunctionSlotCount; ++n)
        sections << QStringLiteral("Function%1").arg(n);
    sections << QStringLiteral("Grid") << QStringLiteral("BackGround") << QStringLiteral("Axis")
             << QStringLiteral("Scale") << QStringLiteral("AxisText");
    for (const QString& section : sections) {
        try {
            StringToColor(file.readString(section, color, QStringLiteral("clBlack")));
        } catch (const EConvertError&) {
            return QStringLiteral("section [%1], key %2").arg(section, color);
        }
    }
    return std::nullopt;
}

} // namespace kurvaro
