// The settings file's passes on a real disk: the three writing passes (each
// ending with the file flushed to disk), the loading pass, and the loading
// pass on a file just under the size bound. The file lives in a folder beside
// the benchmark's working directory, so on the disk the program would use.

#include "settings/PlainStores.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace kurvaro;

namespace {

/// Functions.ini after a first start and OK in both dialogs, with two
/// functions and a view, as a user's file looks.
QByteArray typicalFile(const QString& path)
{
    PlainFunctionSlots functions;
    functions.rows[0] = {QStringLiteral("sin(x)*2"), true, DesignedSlotColors[0]};
    functions.rows[1] = {QStringLiteral("x^2-3"), true, DesignedSlotColors[1]};
    PlainPlotOptions options;
    PlainView view;
    WriteFunctionSettings(functions, path);
    WriteOptionSettings(options, path);
    WriteViewSettings(view, path);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString scratchPath(const QTemporaryDir& dir)
{
    return QDir(dir.path()).filePath(QStringLiteral("Functions.ini"));
}

void BM_FunctionsDialogOk(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-settings-XXXXXX"));
    const QString path = scratchPath(dir);
    typicalFile(path);
    PlainFunctionSlots functions;
    functions.rows[0] = {QStringLiteral("sin(x)*2"), true, DesignedSlotColors[0]};
    for (auto _ : state)
        WriteFunctionSettings(functions, path);
}
BENCHMARK(BM_FunctionsDialogOk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OptionsDialogOk(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-settings-XXXXXX"));
    const QString path = scratchPath(dir);
    typicalFile(path);
    PlainPlotOptions options;
    for (auto _ : state)
        WriteOptionSettings(options, path);
}
BENCHMARK(BM_OptionsDialogOk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WindowClose(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-settings-XXXXXX"));
    const QString path = scratchPath(dir);
    typicalFile(path);
    PlainView view;
    for (auto _ : state)
        WriteViewSettings(view, path);
}
BENCHMARK(BM_WindowClose)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Load(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-settings-XXXXXX"));
    const QString path = scratchPath(dir);
    typicalFile(path);
    for (auto _ : state) {
        PlainFunctionSlots functions;
        PlainPlotOptions options;
        PlainView view;
        LoadSettings(functions, options, view, path);
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime();

/// A hand-grown file of almost 16 MiB: the known keys first, then many
/// unknown ones, so that every lookup of a missing key runs to the end.
void BM_LoadNearTheBound(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-settings-XXXXXX"));
    const QString path = scratchPath(dir);
    QByteArray content = typicalFile(path);
    content.append("[Padding]\r\n");
    const QByteArray line = "Key=" + QByteArray(40, 'p') + "\r\n";
    while (content.size() + line.size() < 16 * 1024 * 1024 - 1024)
        content.append(line);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    for (auto _ : state) {
        PlainFunctionSlots functions;
        PlainPlotOptions options;
        PlainView view;
        LoadSettings(functions, options, view, path);
    }
}
BENCHMARK(BM_LoadNearTheBound)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
