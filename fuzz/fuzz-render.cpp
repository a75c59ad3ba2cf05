// A whole start from a hand-edited settings file: arbitrary bytes as
// Functions.ini, loaded as at start and drawn at a small size. Conversion
// errors and the faults the general error box shows are expected; a crash, a
// sanitizer report or a hang is a bug.

#include "model/Faults.h"
#include "plot/RenderPlot.h"
#include "settings/PlainStores.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace kurvaro;

namespace {

QGuiApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz-render";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
    return *app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    application();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Functions.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    PlainFunctionSlots functions;
    PlainPlotOptions options;
    PlainView view;
    try {
        LoadSettings(functions, options, view, path);
        renderPlot(functions, options, view, QSize(48, 36));
    } catch (const Exception&) {
    }
    return 0;
}
