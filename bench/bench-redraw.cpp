// A full redraw at 1920 x 1080: the background with every layer, then ten
// visible typical formulas, each compiled again for every pixel column.
// The split: compiling alone, evaluating alone, and the drawing without any
// formula work.

#include "parser/Parser10.h"
#include "plot/PlotHost.h"
#include "plot/PlotRenderer.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <string>

using namespace kurvaro;

namespace {

const std::array<const char*, FunctionSlotCount> formulas = {
    "sin(x)*2",     "x^2-3",          "1/x",        "cos(x)+sin(2*x)", "exp(-x^2)*4",
    "sqrt(abs(x))", "ln(abs(x)+1)*2", "tan(x)*0.2", "x^3/10-x",        "max(sin(x),cos(x))"};

constexpr int width = 1920;
constexpr int height = 1080;

class BenchHost : public PlotHost
{
public:
    explicit BenchHost(bool withFunctions) : withFunctions_(withFunctions) {}
    FunctionSlot functionSlot(int n) const override
    {
        return FunctionSlot{QString::fromLatin1(formulas[n - 1]), withFunctions_,
                            DesignedSlotColors[n - 1]};
    }
    PlotOptions plotOptions() const override { return PlotOptions{}; }
    QString rangeText(RangeField f) const override { return DesignedRangeText(f); }
    void setRangeText(RangeField, const QString&) override {}
    QSize drawingAreaSize() const override { return QSize(width, height); }
    void showWarning(const QString&) override {}
    void processEvents() override {}
    /// A window converts the picture for the screen and keeps no share of it;
    /// that conversion is the window's cost, not the renderer's.
    void presentPlot(const QImage& picture) override
    {
        benchmark::DoNotOptimize(picture.constBits());
    }
    void setControlsEnabled(bool) override {}

private:
    bool withFunctions_;
};

/// The plane x of every sampled column, as the curves compute it (-5..5).
double columnX(int k)
{
    return -5 + k / (width / 10.0);
}

void BM_FullRedraw(benchmark::State& state)
{
    BenchHost host(true);
    PlotRenderer renderer(host);
    for (auto _ : state) {
        renderer.Redraw();
    }
    if (const char* file = std::getenv("KURVARO_BENCH_PICTURE")) {
        renderer.PlotBitmap().save(QString::fromLocal8Bit(file));
    }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_BackgroundOnly(benchmark::State& state)
{
    BenchHost host(false);
    PlotRenderer renderer(host);
    for (auto _ : state) {
        renderer.Redraw();
    }
}
BENCHMARK(BM_BackgroundOnly)->Unit(benchmark::kMillisecond);

/// The ten formulas compiled once per column, as the curves do, without evaluating.
void BM_CompileOnly(benchmark::State& state)
{
    TParser parser;
    parser.OnParserError = [](TCustomParser*, const Exception&) {};
    std::array<std::string, FunctionSlotCount> sources;
    for (int i = 0; i < FunctionSlotCount; ++i) {
        sources[i] = formulas[i];
    }
    for (auto _ : state) {
        for (const std::string& source : sources) {
            for (int k = 1; k <= width; ++k) {
                parser.X = columnX(k);
                parser.CompileExpression(source);
            }
        }
    }
}
BENCHMARK(BM_CompileOnly)->Unit(benchmark::kMillisecond);

/// The ten formulas evaluated once per column from one compiled list each.
void BM_EvaluateOnly(benchmark::State& state)
{
    TParser parser;
    parser.OnParserError = [](TCustomParser*, const Exception&) {};
    for (auto _ : state) {
        for (const char* formula : formulas) {
            parser.CompileExpression(formula);
            for (int k = 1; k <= width; ++k) {
                parser.X = columnX(k);
                try {
                    benchmark::DoNotOptimize(parser.Value());
                } catch (const Exception&) {
                }
            }
        }
    }
}
BENCHMARK(BM_EvaluateOnly)->Unit(benchmark::kMillisecond);

/// Ten constant curves: the column loop, mapping and drawing with next to no
/// formula work (a constant compiles and evaluates in almost no time).
void BM_DrawingOnly(benchmark::State& state)
{
    class ConstantHost : public BenchHost
    {
    public:
        ConstantHost() : BenchHost(true) {}
        FunctionSlot functionSlot(int n) const override
        {
            return FunctionSlot{QString::number(n - 5), true, DesignedSlotColors[n - 1]};
        }
    };
    ConstantHost host;
    PlotRenderer renderer(host);
    for (auto _ : state) {
        renderer.Redraw();
    }
}
BENCHMARK(BM_DrawingOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // fonts and palettes for the labels
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
