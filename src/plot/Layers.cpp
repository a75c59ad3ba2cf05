#include "plot/Layers.h"

#include "model/Faults.h"
#include "plot/Canvas.h"
#include "plot/Colors.h"
#include "plot/NumberText.h"
#include "plot/ViewMapping.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <functional>

namespace kurvaro {

namespace {

/// An interval text as the layers use it: a text that does not convert counts as 0.
double intervalValue(const QString& text)
{
    int errorPos = 0;
    const double value = TextToReal(text, errorPos);
    return errorPos == 0 ? value : 0;
}

/// The integer multiples k of an interval g that cover [low, high]: k runs from
/// nearest(low / g) to nearest(high / g), the mark of k lies at k / g.
struct Multiples
{
    long long first = 0;
    long long last = -1;
    long double reciprocal = 0;

    bool empty() const { return last < first; }
    /// last - first + 1, without overflow.
    unsigned long long count() const
    {
        return empty() ? 0
                       : static_cast<unsigned long long>(last) -
                             static_cast<unsigned long long>(first) + 1;
    }
    double position(long long k) const
    {
        return storeDouble(static_cast<long double>(k) / reciprocal);
    }
};

/// The multiples of `interval` over [low, high]; none for an interval of 0 or
/// one so small that a multiple's number leaves the 64-bit range.
Multiples multiplesOf(double interval, double low, double high)
{
    Multiples m;
    if (interval == 0) {
        return m;
    }
    m.reciprocal = 1.0L / static_cast<long double>(interval);
    try {
        m.first = nearestInt64(low * m.reciprocal);
        m.last = nearestInt64(high * m.reciprocal);
    } catch (const EInvalidOp&) {
        m.first = 0;
        m.last = -1;
    }
    return m;
}

/// Pixels around the picture in which a mark can still show (a label reaches
/// into the picture from up to its width outside).
constexpr long long bandMargin = 512;

/// Visits the marks of `m` in increasing k with their pixel (`pixelOf`, a
/// mapping that grows with k when `increasing`, else falls). When there are
/// many more marks than pixels, it visits per pixel of the band only the last
/// mark that lands there: grid lines and ticks come out the same, since marks on
/// one pixel paint the same line, and a tiny interval cannot stall the redraw.
void forEachMark(const Multiples& m, const std::function<long long(double)>& pixelOf,
                 bool increasing, long long bandLow, long long bandHigh,
                 const std::function<void(long long k, double position, long long pixel)>& visit)
{
    if (m.empty()) {
        return;
    }
    const unsigned long long band = static_cast<unsigned long long>(bandHigh - bandLow + 1);
    if (m.count() <= 4 * band) {
        for (long long k = m.first;; ++k) {
            const double x = m.position(k);
            visit(k, x, pixelOf(x));
            if (k == m.last) {
                break;
            }
        }
        return;
    }
    // q(k) grows with k; the ends are mapped first, so that a mapping failure
    // ends the layer as it would in the plain loop.
    auto q = [&](long long k) {
        const long long p = pixelOf(m.position(k));
        return increasing ? p : -p;
    };
    q(m.first);
    q(m.last);
    const long long qLow = increasing ? bandLow : -bandHigh;
    const long long qHigh = increasing ? bandHigh : -bandLow;
    long long from = m.first;
    for (long long target = qLow; target <= qHigh; ++target) {
        // The last k in [from, last] with q(k) <= target.
        if (q(from) > target) {
            continue;
        }
        long long lo = from, hi = m.last;
        while (lo < hi) {
            const long long mid = lo + (hi - lo + 1) / 2;
            if (q(mid) <= target) {
                lo = mid;
            } else {
                hi = mid - 1;
            }
        }
        if (q(lo) == target) {
            const double x = m.position(lo);
            visit(lo, x, pixelOf(x));
        }
        from = lo;
    }
}

/// Keeps far-away pixel values away from the 64-bit limits before an offset is
/// added; the picture is far smaller than this.
long long tame(long long pixel)
{
    constexpr long long limit = 1LL << 40;
    return std::clamp(pixel, -limit, limit);
}

} // namespace

void DrawGrid(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& grid)
{
    const double ix = intervalValue(grid.IX);
    const double iy = intervalValue(grid.IY);
    const QRgb color = toQColor(grid.Color).rgb();
    if (picture.isNull()) {
        return;
    }
    const ViewRange r = mapping.range();
    const auto xPixel = [&](double x) { return mapping.XToPixel(x); };
    const auto yPixel = [&](double y) { return mapping.YToPixel(y); };
    const long long width = mapping.width();
    const long long height = mapping.height();

    forEachMark(multiplesOf(ix, r.XMin, r.XMax), xPixel, true, -bandMargin,
                picture.width() + bandMargin, [&](long long, double, long long column) {
                    drawCanvasLine(picture, color, column, 0, column, height);
                });
    forEachMark(multiplesOf(iy, r.YMin, r.YMax), yPixel, false, -bandMargin,
                picture.height() + bandMargin, [&](long long, double, long long row) {
                    drawCanvasLine(picture, color, 0, row, width, row);
                });
}

void DrawAxes(QImage& picture, const ViewMapping& mapping, TColor axisColor)
{
    const QRgb color = toQColor(axisColor).rgb();
    if (picture.isNull()) {
        return;
    }
    const ViewRange r = mapping.range();
    if (r.XMin < 0 && 0 < r.XMax) {
        const long long column = mapping.XToPixel(0);
        drawCanvasLine(picture, color, column, 0, column, mapping.height());
    }
    if (r.YMin < 0 && 0 < r.YMax) {
        const long long row = mapping.YToPixel(0);
        drawCanvasLine(picture, color, 0, row, mapping.width(), row);
    }
}

void DrawScale(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& scale)
{
    const double ix = intervalValue(scale.IX);
    const double iy = intervalValue(scale.IY);
    const QRgb color = toQColor(scale.Color).rgb();
    if (picture.isNull()) {
        return;
    }
    const long long row0 = tame(mapping.YToPixel(0));
    const long long col0 = tame(mapping.XToPixel(0));
    const ViewRange r = mapping.range();
    const auto xPixel = [&](double x) { return mapping.XToPixel(x); };
    const auto yPixel = [&](double y) { return mapping.YToPixel(y); };

    forEachMark(multiplesOf(ix, r.XMin, r.XMax), xPixel, true, -bandMargin,
                picture.width() + bandMargin, [&](long long, double, long long column) {
                    drawCanvasLine(picture, color, column, row0 - 2, column, row0 + 3);
                });
    forEachMark(multiplesOf(iy, r.YMin, r.YMax), yPixel, false, -bandMargin,
                picture.height() + bandMargin, [&](long long, double, long long row) {
                    drawCanvasLine(picture, color, col0 - 2, row, col0 + 3, row);
                });
}

void DrawAxisText(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& axisText,
                  TColor background)
{
    const double ix = intervalValue(axisText.IX);
    const double iy = intervalValue(axisText.IY);
    const QColor fontColor = toQColor(axisText.Color);
    const QColor brushColor = toQColor(background);
    if (picture.isNull()) {
        return;
    }
    const long long row0 = tame(mapping.YToPixel(0));
    const long long col0 = tame(mapping.XToPixel(0));
    // The painter ends with this layer, before the picture is handed out, so
    // that a copy never shares a buffer that is still being painted.
    QPainter painter(&picture);
    painter.setFont(canvasFont());
    painter.setPen(fontColor);
    const QSize size = picture.size();
    const ViewRange r = mapping.range();
    const auto xPixel = [&](double x) { return mapping.XToPixel(x); };
    const auto yPixel = [&](double y) { return mapping.YToPixel(y); };

    // A label beyond the fixed-point range has no text; it is left out.
    auto label = [](double value, QString& text) {
        try {
            text = FormatLabelValue(value);
            return true;
        } catch (const EInvalidOp&) {
            return false;
        }
    };
    forEachMark(multiplesOf(ix, r.XMin, r.XMax), xPixel, true, -bandMargin,
                size.width() + bandMargin, [&](long long k, double x, long long column) {
                    QString text;
                    if (k != 0 && label(x, text)) {
                        drawCanvasText(painter, size, tame(column) - 3, row0 + 4, text, brushColor);
                    }
                });
    forEachMark(multiplesOf(iy, r.YMin, r.YMax), yPixel, false, -bandMargin,
                size.height() + bandMargin, [&](long long k, double y, long long row) {
                    QString text;
                    if (k != 0 && label(y, text)) {
                        drawCanvasText(painter, size, col0 + 4, tame(row) - 6, text, brushColor);
                    }
                });
}

} // namespace kurvaro
