#include "dialogs/SamplePlot.h"

#include "model/FunctionSlot.h"
#include "model/PlotOptions.h"
#include "plot/Colors.h"
#include "plot/RenderPlot.h"
#include "settings/PlainStores.h"

#include <array>

namespace kurvaro {

namespace {

constexpr QSize SampleSize{305, 234};

/// A light grid, numbered axes and four curves over -5..5 by -4..4.
const std::array<FunctionSlot, 4> SampleCurves = {
    FunctionSlot{QStringLiteral("2*SIN(X)"), true, colors::clRed},
    FunctionSlot{QStringLiteral("X^2/4-3"), true, colors::clBlue},
    FunctionSlot{QStringLiteral("ARCTAN(X)*2"), true, colors::clGreen},
    FunctionSlot{QStringLiteral("EXP(X/2)-2"), true, colors::clFuchsia},
};

} // namespace

QImage drawSamplePlot()
{
    QImage fallback(SampleSize, QImage::Format_RGB32);
    fallback.fill(toQColor(PlotOptions{}.BackGround.Color));
    try {
        PlainFunctionSlots functions;
        for (std::size_t i = 0; i < functions.rows.size(); ++i)
            functions.rows[i] = i < SampleCurves.size() ? SampleCurves[i] : FunctionSlot{};
        PlainPlotOptions options;
        PlainView view;
        view.setRangeText(RangeField::YMin, QStringLiteral("-4"));
        view.setRangeText(RangeField::YMax, QStringLiteral("4"));
        const RenderedPlot sample = renderPlot(functions, options, view, SampleSize);
        if (sample.picture.size() == SampleSize)
            return sample.picture;
    } catch (...) {
        // The picture is decoration; the dialog works without it.
    }
    return fallback;
}

} // namespace kurvaro
