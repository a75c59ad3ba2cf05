#include "plot/Canvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace kurvaro {

namespace {

__extension__ typedef __int128 Wide;

Wide magnitude(Wide v)
{
    return v < 0 ? -v : v;
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

QImage newCanvasImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    constexpr int dotsPerMeterAt96Dpi = 3780;
    image.setDotsPerMeterX(dotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(dotsPerMeterAt96Dpi);
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
    const int direction = (steep ? dy : dx) > 0 ? 1 : -1;
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
    if (first > last) {
        return;
    }
    // One detach for the whole line; from here on pixels are addressed directly.
    uchar* const bits = image.bits();
    const qsizetype bytesPerLine = image.bytesPerLine();
    // A step along the major axis moves this far through the pixels; one
    // along the minor axis this far.
    const qsizetype majorStride =
        direction * (steep ? bytesPerLine : static_cast<qsizetype>(sizeof(QRgb)));
    const qsizetype minorStride = steep ? static_cast<qsizetype>(sizeof(QRgb)) : bytesPerLine;
    const int majorStart = static_cast<int>(major0 + first * direction);
    const qsizetype majorOffset =
        steep ? majorStart * bytesPerLine : majorStart * static_cast<qsizetype>(sizeof(QRgb));
    const QRgb pixel = 0xFF000000u | color;
    const long long count = static_cast<long long>(last - first) + 1;
    if (dMinor == 0) {
        // Grid lines and ticks: one row or column, no rounding to do.
        if (minor0 < 0 || minor0 >= minorSize) {
            return;
        }
        qsizetype offset = majorOffset + static_cast<qsizetype>(minor0) * minorStride;
        for (long long i = 0; i < count; ++i, offset += majorStride) {
            *reinterpret_cast<QRgb*>(bits + offset) = pixel;
        }
        return;
    }
    // round(i * dMinor / steps), halves up, is floor((2 i dMinor + steps) / (2 steps)).
    // It is divided once for the first step and then carried along: each
    // step adds 2 dMinor to the numerator, that is `whole` to the quotient
    // and `part` to the remainder, which carries one over when it reaches
    // the divisor.
    const Wide divisor = 2 * steps;
    const Wide numerator = 2 * first * dMinor + steps;
    Wide quotient = numerator / divisor;
    Wide remainder = numerator % divisor;
    if (remainder < 0) {
        remainder += divisor; // floor for negative values
        --quotient;
    }
    Wide whole = (2 * dMinor) / divisor;
    Wide part = (2 * dMinor) % divisor;
    if (part < 0) {
        part += divisor;
        --whole;
    }
    Wide minor = minor0 + quotient;
    qsizetype offset = majorOffset;
    for (long long i = 0; i < count; ++i, offset += majorStride) {
        if (minor >= 0 && minor < minorSize) {
            *reinterpret_cast<QRgb*>(bits + offset + static_cast<qsizetype>(minor) * minorStride) =
                pixel;
        }
        minor += whole;
        remainder += part;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++minor;
        }
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
