// `kurvaro-cli render`: loads a settings file the way the program does at
// start and draws the picture the main window would show, without a window.

#include "Commands.h"
#include "RenderOptions.h"
#include "VectorPicture.h"

#include "model/ErrorText.h"
#include "model/Faults.h"
#include "plot/BitmapFile.h"
#include "plot/RenderPlot.h"
#include "settings/PlainStores.h"
#include "settings/Settings.h"
#include "settings/SettingsErrors.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <exception>
#include <optional>

namespace kurvaro {

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

/// Keeps stderr for the warning and error texts: Qt's own chatter (a missing
/// runtime directory on a headless machine, font notes) would mix into them.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

bool writeAll(QFile& out, const QByteArray& bytes)
{
    return out.write(bytes) == bytes.size() && out.flush();
}

/// Writes the picture to the file, or to standard output for "-"; false when
/// it cannot be written. A BMP picture has the bytes that "Als Bitmap
/// speichern" writes; SVG and PDF write `vectorBytes`.
bool savePicture(const QImage& picture, const QByteArray& vectorBytes, const RenderArgs& args)
{
    const bool toStandardOutput = args.out == QLatin1String("-");
    QFile out;
    if (toStandardOutput && !out.open(stdout, QIODevice::WriteOnly))
        return false;
    switch (args.format) {
    case PictureFormat::Bmp:
        if (!toStandardOutput) {
            SaveBitmapFile(picture, args.out);
            return true;
        }
        return writeAll(out, BitmapFileBytes(picture));
    case PictureFormat::Png:
        if (!toStandardOutput)
            return picture.save(args.out, "PNG");
        return picture.save(&out, "PNG") && out.flush();
    case PictureFormat::Svg:
    case PictureFormat::Pdf:
        if (!toStandardOutput) {
            out.setFileName(args.out);
            if (!out.open(QIODevice::WriteOnly))
                return false;
        }
        return writeAll(out, vectorBytes);
    }
    return false;
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

        std::optional<VectorPicture> vector;
        if (parsed->format == PictureFormat::Svg || parsed->format == PictureFormat::Pdf)
            vector.emplace(parsed->format, parsed->size);
        const RenderedPlot plot = renderPlot(functions, options, view, parsed->size, printBlock,
                                             vector ? &vector->target() : nullptr);
        if (!plot.drawn)
            return ExitRangeRefused;

        const QByteArray vectorBytes = vector ? vector->finish() : QByteArray();
        if (!savePicture(plot.picture, vectorBytes, *parsed))
            cannotCreateFile(parsed->out);
        return ExitDrawn;
    } catch (const Exception& e) {
        printBlock(errorBoxText(QString::fromStdString(e.message())));
    } catch (const std::exception& e) {
        printBlock(errorBoxText(QString::fromUtf8(e.what())));
    }
    return ExitFailure;
}

} // namespace kurvaro
