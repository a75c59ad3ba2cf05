// `kurvaro-cli render`: loads a settings file the way the program does at
// start and draws the picture the main window would show, without a window.

#include "Commands.h"

#include "Faults.h"
#include "PlainStores.h"
#include "PlotRenderer.h"
#include "RenderOptions.h"
#include "Settings.h"
#include "SettingsErrors.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <exception>
#include <optional>

namespace {

/// Exit codes of the command.
constexpr int ExitDrawn = 0;
constexpr int ExitRangeRefused = 1;
constexpr int ExitFailure = 2;

void printBlock(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace("\r\n", "\n");
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

/// The text of the general error box: a full stop follows a message whose
/// last character sorts after ".".
QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

/// Keeps stderr for the warning and error texts: Qt's own chatter (a missing
/// runtime directory on a headless machine, font notes) would mix into them.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

/// Writes the picture to the file, or to standard output for "-".
bool savePicture(const QImage& picture, const RenderArgs& args)
{
    const char* format = nullptr;
    switch (args.format) {
    case PictureFormat::Bmp:
        format = "BMP";
        break;
    case PictureFormat::Png:
        format = "PNG";
        break;
    case PictureFormat::Svg:
    case PictureFormat::Pdf:
        // Vector pictures: refused while parsing until their painter exists.
        return false;
    }
    if (args.out != QLatin1String("-"))
        return picture.save(args.out, format);
    QFile out;
    return out.open(stdout, QIODevice::WriteOnly) && picture.save(&out, format) && out.flush();
}

} // namespace

int runRender(int argc, char** argv, const std::vector<std::string>& args)
{
    const RenderCommandLine commandLine = parseRenderArgs(args);
    if (!commandLine.args)
        return commandLine.exitCode;
    const std::optional<RenderArgs>& parsed = commandLine.args;
    if (parsed->ini) {
        if (const std::optional<QString> problem = unreadableSettingsFile(*parsed->ini)) {
            printBlock(QStringLiteral("kurvaro-cli render: settings file %1 %2")
                           .arg(*parsed->ini, *problem));
            return ExitNoInput;
        }
    }

    qInstallMessageHandler(quietQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt sees only the program name: the command's own options are no Qt options.
    int qtArgc = argc > 0 ? 1 : 0;
    QGuiApplication app(qtArgc, argv);

    PlainFunctionSlots functions;
    PlainPlotOptions options;
    PlainView view;
    const QString ini = parsed->ini.value_or(SettingsFilePath());
    try {
        try {
            LoadSettings(functions, options, view, ini);
        } catch (const EConvertError& e) {
            printBlock(errorBoxText(QString::fromStdString(e.message())));
            if (const std::optional<QString> key = faultyColorKey(ini))
                printBlock(QStringLiteral("kurvaro-cli render: in %1, %2 is neither a colour "
                                          "name nor an integer")
                               .arg(ini, *key));
            return ExitFailure;
        }

        PlainPlotHost host(functions, options, view, parsed->size);
        host.onWarning = printBlock;
        PlotRenderer renderer(host);
        renderer.Redraw();
        if (!host.backgroundCleared)
            return ExitRangeRefused;

        if (!savePicture(renderer.PlotBitmap(), *parsed)) {
            printBlock(errorBoxText(
                QStringLiteral("Datei %1 kann nicht erstellt werden").arg(parsed->out)));
            return ExitFailure;
        }
        return ExitDrawn;
    } catch (const Exception& e) {
        printBlock(errorBoxText(QString::fromStdString(e.message())));
    } catch (const std::exception& e) {
        printBlock(errorBoxText(QString::fromUtf8(e.what())));
    }
    return ExitFailure;
}
