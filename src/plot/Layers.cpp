#include "plot/Layers.h"

#include "plot/Canvas.h"
#include "plot/Colors.h"
#include "plot/LayerMarks.h"
#include "plot/NumberText.h"
#include "plot/PlotTarget.h"

#include <QImage>

#include <algorithm>

namespace kurvaro {

double intervalValue(const QString& text)
{
    int errorPos = 0;
    const double value = TextToReal(text, errorPos);
    return errorPos == 0 ? value : 0;
}

long long tame(long long pixel)
{
    constexpr long long limit = 1LL << 40;
    return std::clamp(pixel, -limit, limit);
}

// Grid lines and ticks: marks that land on one pixel paint one line, so each
// pixel of the picture that a mark lands on is drawn once.

void DrawGrid(PlotTarget& target, const ViewMapping& mapping, const PlotOptions::Layer& grid)
{
    const double ix = intervalValue(grid.IX);
    const double iy = intervalValue(grid.IY);
    const QRgb color = toQColor(grid.Color).rgb();
    if (target.size().isEmpty()) {
        return;
    }
    target.setLineColor(color);
    const long long width = mapping.width();
    const long long height = mapping.height();
    forEachPixelOfMarks(Direction(mapping, false), ix, 0, width - 1,
                        [&](long long column) { target.line(column, 0, column, height); });
    forEachPixelOfMarks(Direction(mapping, true), iy, 0, height - 1,
                        [&](long long row) { target.line(0, row, width, row); });
}

void DrawAxes(PlotTarget& target, const ViewMapping& mapping, TColor axisColor)
{
    const QRgb color = toQColor(axisColor).rgb();
    if (target.size().isEmpty()) {
        return;
    }
    target.setLineColor(color);
    const ViewRange& r = mapping.range();
    if (r.XMin < 0 && 0 < r.XMax) {
        const long long column = mapping.XToPixel(0);
        target.line(column, 0, column, mapping.height());
    }
    if (r.YMin < 0 && 0 < r.YMax) {
        const long long row = mapping.YToPixel(0);
        target.line(0, row, mapping.width(), row);
    }
}

void DrawScale(PlotTarget& target, const ViewMapping& mapping, const PlotOptions::Layer& scale)
{
    const double ix = intervalValue(scale.IX);
    const double iy = intervalValue(scale.IY);
    const QRgb color = toQColor(scale.Color).rgb();
    if (target.size().isEmpty()) {
        return;
    }
    target.setLineColor(color);
    // The ticks cross the lines where the axes would be, wherever those lie.
    const long long row0 = tame(mapping.YToPixel(0));
    const long long col0 = tame(mapping.XToPixel(0));
    forEachPixelOfMarks(Direction(mapping, false), ix, 0, mapping.width() - 1,
                        [&](long long column) { target.line(column, row0 - 2, column, row0 + 3); });
    forEachPixelOfMarks(Direction(mapping, true), iy, 0, mapping.height() - 1,
                        [&](long long row) { target.line(col0 - 2, row, col0 + 3, row); });
}

void DrawGrid(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& grid)
{
    RasterTarget target(picture);
    DrawGrid(target, mapping, grid);
}

void DrawAxes(QImage& picture, const ViewMapping& mapping, TColor color)
{
    RasterTarget target(picture);
    DrawAxes(target, mapping, color);
}

void DrawScale(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& scale)
{
    RasterTarget target(picture);
    DrawScale(target, mapping, scale);
}

void DrawAxisText(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& axisText,
                  TColor background)
{
    RasterTarget target(picture);
    DrawAxisText(target, mapping, axisText, background);
}

} // namespace kurvaro
