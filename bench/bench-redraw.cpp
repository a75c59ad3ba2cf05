// A full redraw at 1920 x 1080: the background with every layer, then ten
// visible typical formulas, each compiled again for every pixel column.
// The split: compiling alone, evaluating alone, and the drawing without any
// formula work.

#include "parser/Parser10.h"
#include "plot/RenderPlot.h"
#include "settings/PlainStores.h"

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

/// The ten formulas, visible or not, in the designed slot colours.
PlainFunctionSlots benchFunctions(bool visible)
{
    PlainFunctionSlots functions;
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        functions.rows[n - 1] =
            FunctionSlot{QString::fromLatin1(formulas[n - 1]), visible, DesignedSlotColors[n - 1]};
    }
    return functions;
}

/// One picture of 1920 x 1080 from the designed view and options.
void redraw(const PlainFunctionSlots& functions)
{
    const PlainPlotOptions options;
    PlainView view;
    const RenderedPlot plot = renderPlot(functions, options, view, QSize(width, height));
    benchmark::DoNotOptimize(plot.picture.constBits());
}

/// The plane x of every sampled column, as the curves compute it (-5..5).
double columnX(int k)
{
    return -5 + k / (width / 10.0);
}

void BM_FullRedraw(benchmark::State& state)
{
    const PlainFunctionSlots functions = benchFunctions(true);
    for (auto _ : state) {
        redraw(functions);
    }
    if (const char* file = std::getenv("KURVARO_BENCH_PICTURE")) {
        PlainView view;
        renderPlot(functions, PlainPlotOptions{}, view, QSize(width, height))
            .picture.save(QString::fromLocal8Bit(file));
    }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_BackgroundOnly(benchmark::State& state)
{
    const PlainFunctionSlots functions = benchFunctions(false);
    for (auto _ : state) {
        redraw(functions);
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
    PlainFunctionSlots functions;
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        functions.rows[n - 1] =
            FunctionSlot{QString::number(n - 5), true, DesignedSlotColors[n - 1]};
    }
    for (auto _ : state) {
        redraw(functions);
    }
}
BENCHMARK(BM_DrawingOnly)->Unit(benchmark::kMillisecond);

/// Views and intervals whose marks are far denser than the pixels or whose
/// numbers leave the integer range: every layer on, no curve. Each redraw
/// must end well within a second.
void BM_HostileRedraw(benchmark::State& state)
{
    struct Case
    {
        const char* range[4];
        const char* intervalX;
        const char* intervalY;
    };
    static const Case cases[] = {
        {{"-5e18", "5e18", "-5", "5"}, "1", "1"},
        {{"-5", "5", "-5", "5"}, "1e-18", "1"},
        {{"-5", "5", "-5", "5"}, "1", "8e-19"},
        {{"-1e300", "1e300", "-1e300", "1e300"}, "1.5e281", "1.5e281"},
        {{"-5", "5", "-5", "5"}, "4.9406564584124654e-324", "4.9406564584124654e-324"},
        {{"-5", "5", "-5", "5"}, "0.00166", "0.00166"},
    };
    const Case& c = cases[state.range(0)];
    const PlainFunctionSlots functions = benchFunctions(false);
    PlainPlotOptions options;
    for (PlotOptions::Layer* layer :
         {&options.options.Grid, &options.options.Scale, &options.options.AxisText}) {
        layer->IX = QString::fromLatin1(c.intervalX);
        layer->IY = QString::fromLatin1(c.intervalY);
    }
    PlainView view;
    for (int f = 0; f < 4; ++f) {
        view.rangeTexts[static_cast<std::size_t>(f)] = QString::fromLatin1(c.range[f]);
    }
    for (auto _ : state) {
        PlainView fields = view;
        const RenderedPlot plot = renderPlot(functions, options, fields, QSize(width, height));
        benchmark::DoNotOptimize(plot.picture.constBits());
    }
}
BENCHMARK(BM_HostileRedraw)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // fonts and palettes for the labels
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
