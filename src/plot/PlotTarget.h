#pragma once

// Where the layers and the curves draw: the picture's raster (PlotBitmap) or
// a vector picture of it. The painters decide every line and label; a target
// only puts them down, so the raster and the vector picture cannot differ in
// what is drawn, only in how.

#include "plot/Canvas.h"

#include <QColor>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>

#include <span>

namespace kurvaro {

/// An axis label: the top-left corner of its box and its text.
struct CanvasLabel
{
    long long x;
    long long y;
    QString text;
};

class PlotTarget
{
public:
    virtual ~PlotTarget() = default;

    /// The picture's size; an empty one takes no drawing.
    virtual QSize size() const = 0;
    /// Fills the whole picture.
    virtual void clear(const QColor& color) = 0;
    /// The colour of the lines that follow, until the next call. Called
    /// before the lines of each layer and each curve.
    virtual void setLineColor(QRgb color) = 0;
    /// A line by the canvas rule: from the start pixel up to but not
    /// including the end pixel (see drawCanvasLine); ends anywhere in the
    /// 64-bit range.
    virtual void line(long long x0, long long y0, long long x1, long long y1) = 0;
    /// Labels in this order, each in `textColor` on its opaque box of
    /// `boxColor` (canvasTextBox); boxes wholly outside are left out.
    virtual void labels(std::span<const CanvasLabel> labels, const QColor& textColor,
                        const QColor& boxColor) = 0;
};

/// The raster picture, exactly by the canvas rules.
class RasterTarget final : public PlotTarget
{
public:
    explicit RasterTarget(QImage& picture) : picture(picture), pixels(picture) {}

    QSize size() const override { return picture.size(); }
    void clear(const QColor& color) override;
    void setLineColor(QRgb color) override;
    void line(long long x0, long long y0, long long x1, long long y1) override
    {
        drawCanvasLine(pixels, lineColor, x0, y0, x1, y1);
    }
    void labels(std::span<const CanvasLabel> labels, const QColor& textColor,
                const QColor& boxColor) override;

private:
    QImage& picture;
    /// Taken again with each colour: the picture may have been shared (shown)
    /// or replaced since.
    CanvasPixels pixels;
    QRgb lineColor = 0;
};

/// Everything drawn into two targets: the raster picture and a vector copy.
class BothTargets final : public PlotTarget
{
public:
    BothTargets(PlotTarget& first, PlotTarget& second) : first(first), second(second) {}

    QSize size() const override { return first.size(); }
    void clear(const QColor& color) override;
    void setLineColor(QRgb color) override;
    void line(long long x0, long long y0, long long x1, long long y1) override;
    void labels(std::span<const CanvasLabel> labels, const QColor& textColor,
                const QColor& boxColor) override;

private:
    PlotTarget& first;
    PlotTarget& second;
};

} // namespace kurvaro
