#include "plot/Canvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtGlobal>

#include <algorithm>

namespace kurvaro {

namespace {

__extension__ typedef __int128 Wide;

Wide magnitude(Wide v)
{
    return v < 0 ? -v : v;
}

/// round(numerator / denominator) for denominator > 0, halves rounded up.
Wide roundedQuotient(Wide numerator, Wide denominator)
{
    const Wide twice = 2 * numerator + denominator;
    const Wide d = 2 * denominator;
    Wide q = twice / d;
    if (twice % d != 0 && twice < 0) {
        --q; // floor for negative values
    }
    return q;
}

} // namespace

QFont canvasFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

int canvasDotsPerMeter(double pixelRatio)
{
    constexpr int dotsPerMeterAt96Dpi = 3780;
    return qRound(dotsPerMeterAt96Dpi * pixelRatio);
}

QImage newCanvasImage(int width, int height, double pixelRatio)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMeter = canvasDotsPerMeter(pixelRatio);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

void drawCanvasLine(QImage& image, QRgb color, long long x0, long long y0, long long x1,
                    long long y1)
{
    if (image.isNull()) {
        return;
    }
    const Wide dx = Wide(x1) - x0, dy = Wide(y1) - y0;
    const bool steep = magnitude(dy) >= magnitude(dx);
    const Wide steps = steep ? magnitude(dy) : magnitude(dx);
    if (steps == 0) {
        return;
    }
    // Along the major axis the line visits major0 + i * direction for
    // i = 0 .. steps - 1; the minor coordinate is minor0 + round(i * dMinor / steps).
    const Wide major0 = steep ? y0 : x0;
    const Wide minor0 = steep ? x0 : y0;
    const Wide direction = (steep ? dy : dx) > 0 ? 1 : -1;
    const Wide dMinor = steep ? dx : dy;
    const Wide majorSize = steep ? image.height() : image.width();
    const Wide minorSize = steep ? image.width() : image.height();

    // The steps whose major coordinate lies inside the picture.
    Wide first = direction > 0 ? -major0 : major0 - (majorSize - 1);
    Wide last = direction > 0 ? majorSize - 1 - major0 : major0;
    first = std::max<Wide>(first, 0);
    last = std::min<Wide>(last, steps - 1);
    // i * dMinor must stay inside 128 bits. The lines of this renderer are
    // axis-aligned or one column wide; a line slanting across more than 2^61
    // pixels both ways is cut to its first 2^61 steps.
    constexpr Wide limit = Wide(1) << 61;
    if (magnitude(dMinor) > limit) {
        last = std::min(last, limit);
    }
    const QRgb pixel = 0xFF000000u | color;
    if (dMinor == 0) {
        // Grid lines and ticks: one row or column, no rounding to do.
        if (minor0 < 0 || minor0 >= minorSize) {
            return;
        }
        for (Wide i = first; i <= last; ++i) {
            const Wide major = major0 + i * direction;
            const int x = static_cast<int>(steep ? minor0 : major);
            const int y = static_cast<int>(steep ? major : minor0);
            reinterpret_cast<QRgb*>(image.scanLine(y))[x] = pixel;
        }
        return;
    }
    for (Wide i = first; i <= last; ++i) {
        const Wide major = major0 + i * direction;
        const Wide minor = minor0 + roundedQuotient(i * dMinor, steps);
        if (minor < 0 || minor >= minorSize) {
            continue;
        }
        const int x = static_cast<int>(steep ? minor : major);
        const int y = static_cast<int>(steep ? major : minor);
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = pixel;
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

} // namespace kurvaro
