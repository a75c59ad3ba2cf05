#include "plot/VectorTarget.h"

#include <QFontInfo>
#include <QPainter>
#include <QPen>

#include <utility>

namespace kurvaro {

namespace {

/// How far around the picture a vector line keeps its ends: far enough that
/// a curve's steep strokes keep theirs, near enough for any viewer.
constexpr long double Margin = 65536;

/// Cuts the line from (x0, y0) to (x1, y1) to the rectangle [left, right] x
/// [top, bottom] (Liang and Barsky); false when nothing of it lies inside.
bool clipLine(long double& x0, long double& y0, long double& x1, long double& y1, long double left,
              long double top, long double right, long double bottom)
{
    const long double dx = x1 - x0, dy = y1 - y0;
    long double enter = 0, leave = 1;
    const std::pair<long double, long double> edges[] = {
        {-dx, x0 - left}, {dx, right - x0}, {-dy, y0 - top}, {dy, bottom - y0}};
    for (const auto& [p, q] : edges) {
        if (p == 0) {
            if (q < 0) {
                return false;
            }
            continue;
        }
        const long double t = q / p;
        if (p < 0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) {
        return false;
    }
    // An end inside the rectangle keeps its exact value.
    const long double sx = x0, sy = y0;
    if (leave < 1) {
        x1 = sx + leave * dx;
        y1 = sy + leave * dy;
    }
    if (enter > 0) {
        x0 = sx + enter * dx;
        y0 = sy + enter * dy;
    }
    return true;
}

} // namespace

std::optional<QLineF> vectorLine(long long x0, long long y0, long long x1, long long y1,
                                 QSize picture)
{
    // 64-bit integers are exact in long double.
    const long double dx = static_cast<long double>(x1) - x0;
    const long double dy = static_cast<long double>(y1) - y0;
    const bool steep = (dy < 0 ? -dy : dy) >= (dx < 0 ? -dx : dx);
    if (dx == 0 && dy == 0) {
        return std::nullopt;
    }
    // A line running up or left paints its pixels from the start down to the
    // one after the end: the edges one further along the axis.
    const long double along = (steep ? dy : dx) < 0 ? 1 : 0;
    long double ax = x0 + (steep ? 0.5L : along), ay = y0 + (steep ? along : 0.5L);
    long double bx = x1 + (steep ? 0.5L : along), by = y1 + (steep ? along : 0.5L);
    if (!clipLine(ax, ay, bx, by, -Margin, -Margin, picture.width() + Margin,
                  picture.height() + Margin)) {
        return std::nullopt;
    }
    return QLineF(static_cast<double>(ax), static_cast<double>(ay), static_cast<double>(bx),
                  static_cast<double>(by));
}

VectorTarget::VectorTarget(QPainter& painter, QSize size)
    : painter(painter), pictureSize(size), metrics(canvasFontMetrics()), font(canvasFont())
{
    // The device need not know the raster's font names nor its 96 dots per
    // inch: the family the raster resolves to, at the raster's pixel size.
    font.setFamilies({QFontInfo(canvasFont()).family()});
    const int dpi = painter.device() != nullptr ? painter.device()->logicalDpiY() : 96;
    font.setPointSizeF(font.pointSizeF() * 96.0 / dpi);
}

void VectorTarget::clear(const QColor& color)
{
    if (!pictureSize.isEmpty()) {
        painter.fillRect(QRect(QPoint(0, 0), pictureSize), color);
    }
}

void VectorTarget::setLineColor(QRgb color)
{
    painter.setPen(QPen(QColor(color), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
}

void VectorTarget::line(long long x0, long long y0, long long x1, long long y1)
{
    if (const std::optional<QLineF> stroke = vectorLine(x0, y0, x1, y1, pictureSize)) {
        painter.drawLine(*stroke);
    }
}

void VectorTarget::labels(std::span<const CanvasLabel> labels, const QColor& textColor,
                          const QColor& boxColor)
{
    painter.setFont(font);
    painter.setPen(textColor);
    for (const CanvasLabel& label : labels) {
        const std::optional<QRect> box =
            canvasTextBox(metrics, pictureSize, label.x, label.y, label.text);
        if (!box) {
            continue;
        }
        painter.fillRect(*box, boxColor);
        painter.drawText(QPointF(box->left(), box->top() + metrics.ascent()), label.text);
    }
}

} // namespace kurvaro
