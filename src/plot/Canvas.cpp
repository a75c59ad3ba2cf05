#include "Canvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cmath>

QPen canvasPen(const QColor& color)
{
    QPen pen(color, 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

QFont canvasFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage newCanvasImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    constexpr int dotsPerMeterAt96Dpi = 3780;
    image.setDotsPerMeterX(dotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(dotsPerMeterAt96Dpi);
    return image;
}

QRectF canvasClipBounds(const QSize& picture)
{
    return QRectF(QPointF(-2, -2), QPointF(picture.width() + 2, picture.height() + 2));
}

bool clipSegment(QLineF& segment, const QRectF& bounds)
{
    const double x0 = segment.x1(), y0 = segment.y1(), x1 = segment.x2(), y1 = segment.y2();
    const double dx = x1 - x0, dy = y1 - y0;
    const double limits[4] = {bounds.left(), bounds.right(), bounds.top(), bounds.bottom()};

    // Liang-Barsky: t0 and t1 bound the visible part, e0 and e1 name the bound
    // that cut each end (-1: not cut).
    double t0 = 0, t1 = 1;
    int e0 = -1, e1 = -1;
    auto edge = [&](double p, double q, int id) {
        if (p == 0) {
            return q >= 0;
        }
        const double r = q / p;
        if (p < 0) {
            if (r > t1) {
                return false;
            }
            if (r > t0) {
                t0 = r;
                e0 = id;
            }
        } else {
            if (r < t0) {
                return false;
            }
            if (r < t1) {
                t1 = r;
                e1 = id;
            }
        }
        return true;
    };
    if (!edge(-dx, x0 - limits[0], 0) || !edge(dx, limits[1] - x0, 1) ||
        !edge(-dy, y0 - limits[2], 2) || !edge(dy, limits[3] - y0, 3)) {
        return false;
    }

    // The point where bound `id` cuts the line, from the nearer end.
    auto cut = [&](int id, double t) {
        const double b = limits[id];
        if (id < 2) {
            const double y = t <= 0.5 ? y0 + (b - x0) / dx * dy : y1 - (x1 - b) / dx * dy;
            return QPointF(b, y);
        }
        const double x = t <= 0.5 ? x0 + (b - y0) / dy * dx : x1 - (y1 - b) / dy * dx;
        return QPointF(x, b);
    };
    QPointF start(x0, y0), end(x1, y1);
    if (e0 >= 0) {
        start = cut(e0, t0);
        if (e0 >= 2) {
            // Keep the start on the 1/64 grid at or before its true column
            // position, strictly before the end's when the line moves right.
            double x = std::floor(start.x() * 64) / 64;
            if (dx > 0 && x >= x1) {
                x = std::max(x0, x1 - 1.0 / 64);
            }
            start.setX(x);
        }
    }
    if (e1 >= 0) {
        end = cut(e1, t1);
    }
    segment = QLineF(start, end);
    return true;
}

void drawCanvasLine(QPainter& painter, const QSize& picture, double x0, double y0, double x1,
                    double y1)
{
    QLineF segment(x0, y0, x1, y1);
    if (clipSegment(segment, canvasClipBounds(picture))) {
        painter.drawLine(segment);
    }
}

void drawCanvasText(QPainter& painter, const QSize& picture, long long x, long long y,
                    const QString& text, const QColor& boxColor)
{
    const QFontMetrics metrics(painter.font(), painter.device());
    const long long width = metrics.horizontalAdvance(text);
    const long long height = metrics.height();
    if (x >= picture.width() || y >= picture.height() || x + width <= 0 || y + height <= 0) {
        return;
    }
    const QRect box(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                    static_cast<int>(height));
    painter.fillRect(box, boxColor);
    painter.drawText(QPoint(box.left(), box.top() + metrics.ascent()), text);
}
