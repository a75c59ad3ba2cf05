#include "plot/PlotTarget.h"

#include <QPainter>

namespace kurvaro {

void RasterTarget::clear(const QColor& color)
{
    if (!picture.isNull()) {
        picture.fill(color);
    }
}

void RasterTarget::setLineColor(QRgb color)
{
    lineColor = color;
    pixels = CanvasPixels(picture);
}

void RasterTarget::labels(std::span<const CanvasLabel> labels, const QColor& textColor,
                          const QColor& boxColor)
{
    if (labels.empty() || picture.isNull()) {
        return;
    }
    // The painter ends with the labels, before the picture is handed out, so
    // that a copy never shares a buffer that is still being painted.
    QPainter painter(&picture);
    painter.setFont(canvasFont());
    painter.setPen(textColor);
    for (const CanvasLabel& label : labels) {
        drawCanvasText(painter, picture.size(), label.x, label.y, label.text, boxColor);
    }
}

void BothTargets::clear(const QColor& color)
{
    first.clear(color);
    second.clear(color);
}

void BothTargets::setLineColor(QRgb color)
{
    first.setLineColor(color);
    second.setLineColor(color);
}

void BothTargets::line(long long x0, long long y0, long long x1, long long y1)
{
    first.line(x0, y0, x1, y1);
    second.line(x0, y0, x1, y1);
}

void BothTargets::labels(std::span<const CanvasLabel> labels, const QColor& textColor,
                         const QColor& boxColor)
{
    first.labels(labels, textColor, boxColor);
    second.labels(labels, textColor, boxColor);
}

} // namespace kurvaro
