#pragma once

// The vector picture: the same lines and labels as the raster picture, put
// down with a QPainter on a vector device (an SVG generator, a PDF writer)
// whose units are the picture's pixels.

#include "plot/PlotTarget.h"

#include <QFont>
#include <QFontMetrics>
#include <QLineF>
#include <QSize>

#include <optional>

class QPainter;

namespace kurvaro {

/// The stroke, one unit wide with flat ends, that covers the pixels the
/// raster line from (x0, y0) to (x1, y1) paints: along the longer axis it
/// runs from the start pixel's edge to the end pixel's edge (the start
/// painted, the end left out), across it through the middle of the pixels.
/// An end more than 65536 pixels outside the picture is moved along the line
/// onto that margin, so that far ends (up to 2^63) stay small numbers;
/// nullopt for a line of no length and for one wholly outside the margin.
std::optional<QLineF> vectorLine(long long x0, long long y0, long long x1, long long y1,
                                 QSize picture);

class VectorTarget final : public PlotTarget
{
public:
    /// `painter` paints on a device of `size` units, one unit per pixel.
    VectorTarget(QPainter& painter, QSize size);

    QSize size() const override { return pictureSize; }
    void clear(const QColor& color) override;
    void setLineColor(QRgb color) override;
    void line(long long x0, long long y0, long long x1, long long y1) override;
    void labels(std::span<const CanvasLabel> labels, const QColor& textColor,
                const QColor& boxColor) override;

private:
    QPainter& painter;
    QSize pictureSize;
    /// The boxes are placed and sized as on the raster picture.
    QFontMetrics metrics;
    /// The raster's font, named by the family it resolves to and sized for
    /// the device's resolution to the same pixel height.
    QFont font;
};

} // namespace kurvaro
