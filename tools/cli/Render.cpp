// `kurvaro-cli render`: loads a settings file the way the program does at
// start and draws the picture the main window would show, without a window.

#include "Commands.h"

#include "model/ErrorText.h"
#include "model/Faults.h"
#include "plot/BitmapFile.h"
#include "plot/RenderPlot.h"
#include "settings/PlainStores.h"
#include "settings/Settings.h"

#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSize>
#include <QString>

#include <cstdio>
#include <exception>
#include <optional>

using namespace kurvaro;

namespace {

/// Exit codes of the command.
constexpr int ExitDrawn = 0;
constexpr int ExitRangeRefused = 1;
constexpr int ExitFailure = 2;

constexpr int MaxSide = 16384;

void printBlock(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace("\r\n", "\n");
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

struct RenderArgs
{
    std::optional<QString> ini;
    QSize size{473, 462};
    QString out;
};

std::optional<QSize> parseSize(const std::string& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(QString::fromStdString(text));
    if (!m.hasMatch())
        return std::nullopt;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < 1 || h < 1 || w > MaxSide || h > MaxSide)
        return std::nullopt;
    return QSize(w, h);
}

std::optional<RenderArgs> parseArgs(const std::vector<std::string>& args)
{
    RenderArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size())
            return std::nullopt;
        const std::string& value = args[++i];
        if (option == "--ini") {
            parsed.ini = QString::fromLocal8Bit(value.c_str());
        } else if (option == "--out") {
            parsed.out = QString::fromLocal8Bit(value.c_str());
        } else if (option == "--size") {
            const std::optional<QSize> size = parseSize(value);
            if (!size)
                return std::nullopt;
            parsed.size = *size;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.out.isEmpty())
        return std::nullopt;
    return parsed;
}

/// Keeps stderr for the warning and error texts: Qt's own chatter (a missing
/// runtime directory on a headless machine, font notes) would mix into them.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int usage()
{
    std::fputs("usage: kurvaro-cli render [--ini FILE] [--size WxH] --out FILE\n", stderr);
    return ExitUsage;
}

} // namespace

int runRender(int argc, char** argv, const std::vector<std::string>& args)
{
    const std::optional<RenderArgs> parsed = parseArgs(args);
    if (!parsed)
        return usage();

    qInstallMessageHandler(quietQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt sees only the program name: the command's own options are no Qt options.
    int qtArgc = argc > 0 ? 1 : 0;
    QGuiApplication app(qtArgc, argv);

    PlainFunctionSlots functions;
    PlainPlotOptions options;
    PlainView view;
    try {
        LoadSettings(functions, options, view, parsed->ini.value_or(SettingsFilePath()));

        const RenderedPlot plot = renderPlot(functions, options, view, parsed->size, printBlock);
        if (!plot.drawn)
            return ExitRangeRefused;

        // A BMP file is written as "Als Bitmap speichern" writes it.
        const QString& out = parsed->out;
        if (!out.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
            SaveBitmapFile(plot.picture, out);
            return ExitDrawn;
        }
        if (!plot.picture.save(out, "PNG"))
            cannotCreateFile(out);
        return ExitDrawn;
    } catch (const Exception& e) {
        printBlock(errorBoxText(QString::fromStdString(e.message())));
    } catch (const std::exception& e) {
        printBlock(errorBoxText(QString::fromUtf8(e.what())));
    }
    return ExitFailure;
}
