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

QFontMetrics canvasFontMetrics()
{
    // Metrics depend on the font and the resolution only, not on the picture.
    const QImage reference = newCanvasImage(1, 1);
    return QFontMetrics(canvasFont(), &reference);
}

CanvasPixels::CanvasPixels(QImage& image)
    // One detach for every line drawn through this object.
    : bits(image.isNull() ? nullptr : image.bits()), bytesPerLine(image.bytesPerLine()),
      width(image.width()), height(image.height())
{
}

void drawCanvasLine(QImage& image, QRgb color, long long x0, long long y0, long long x1,
                    long long y1)
{
    CanvasPixels pixels(image);
    drawCanvasLine(pixels, color, x0, y0, x1, y1);
}

namespace {

/// The steps of a line inside the picture: where the first one lies, how far
/// a step moves along the major axis and a unit of the minor axis moves.
struct Walk
{
    uchar* bits;
    qsizetype offset;
    qsizetype majorStride;
    qsizetype minorStride;
    long long count;
    QRgb pixel;
};

/// Paints `count` steps. The minor coordinate starts at `minor` with
/// `remainder` over in units of 1 / `divisor`; each step adds `whole` and
/// `part` / `divisor`. Int is wide enough for every value on the way.
template <typename Int>
void walkLine(const Walk& w, Int minor, Int minorSize, Int whole, Int part, Int remainder,
              Int divisor)
{
    qsizetype offset = w.offset;
    for (long long i = 0; i < w.count; ++i, offset += w.majorStride) {
        if (minor >= 0 && minor < minorSize) {
            *reinterpret_cast<QRgb*>(w.bits + offset +
                                     static_cast<qsizetype>(minor) * w.minorStride) = w.pixel;
        }
        minor += whole;
        remainder += part;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++minor;
        }
    }
}

/// round(i * dMinor / steps), halves up, is floor((2 i dMinor + steps) / (2 steps)).
/// It is taken for the first step and then carried along: each step adds
/// 2 dMinor to the numerator, that is `whole` to the quotient and `part` to
/// the remainder, which carries one over when it reaches the divisor.
struct Rounding
{
    Wide quotient;
    Wide remainder;
    Wide whole;
    Wide part;
    Wide divisor;
};

/// The rounding at step `first` of a line of `steps` steps that moves
/// `dMinor` (0 < |dMinor| <= steps) along the minor axis.
Rounding roundingFrom(Wide first, Wide dMinor, Wide steps)
{
    // |dMinor| <= steps, so `whole` is -1, 0 or 1 and needs no division.
    Rounding r{0, steps, 0, 2 * dMinor, 2 * steps};
    if (r.part == r.divisor) {
        r.whole = 1;
        r.part = 0;
    } else if (r.part < 0) {
        r.whole = -1;
        r.part += r.divisor;
    }
    // A line that starts inside the picture starts at quotient 0.
    if (first > 0) {
        const Wide numerator = 2 * first * dMinor + steps;
        r.quotient = numerator / r.divisor;
        r.remainder = numerator % r.divisor;
        if (r.remainder < 0) {
            r.remainder += r.divisor; // floor for negative values
            --r.quotient;
        }
    }
    return r;
}

} // namespace

void drawCanvasLine(CanvasPixels& pixels, QRgb color, long long x0, long long y0, long long x1,
                    long long y1)
{
    if (pixels.bits == nullptr) {
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
    const Wide majorSize = steep ? pixels.height : pixels.width;
    const Wide minorSize = steep ? pixels.width : pixels.height;

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
    const qsizetype pixelBytes = sizeof(QRgb);
    const int majorStart = static_cast<int>(major0 + first * direction);
    Walk w{pixels.bits,
           steep ? majorStart * pixels.bytesPerLine : majorStart * pixelBytes,
           direction * (steep ? pixels.bytesPerLine : pixelBytes),
           steep ? pixelBytes : pixels.bytesPerLine,
           static_cast<long long>(last - first) + 1,
           0xFF000000u | color};
    if (dMinor == 0) {
        // Grid lines and ticks: one row or column, no rounding to do.
        if (minor0 >= 0 && minor0 < minorSize) {
            walkLine<long long>(w, static_cast<long long>(minor0), minorSize, 0, 0, 0, 1);
        }
        return;
    }
    const Rounding r = roundingFrom(first, dMinor, steps);
    const Wide minor = minor0 + r.quotient;
    // 64 bits suffice while the divisor and the minor coordinate stay well
    // inside them; the steps inside the picture move the minor coordinate by
    // at most their number.
    constexpr Wide narrow = Wide(1) << 61;
    if (r.divisor < narrow && magnitude(minor) < narrow) {
        walkLine<long long>(w, static_cast<long long>(minor), static_cast<long long>(minorSize),
                            static_cast<long long>(r.whole), static_cast<long long>(r.part),
                            static_cast<long long>(r.remainder), static_cast<long long>(r.divisor));
    } else {
        walkLine<Wide>(w, minor, minorSize, r.whole, r.part, r.remainder, r.divisor);
    }
}

std::optional<QRect> canvasTextBox(const QFontMetrics& metrics, const QSize& picture, long long x,
                                   long long y, const QString& text)
{
    const long long width = metrics.horizontalAdvance(text);
    const long long height = metrics.height();
    if (x >= picture.width() || y >= picture.height() || x + width <= 0 || y + height <= 0) {
        return std::nullopt;
    }
    return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                 static_cast<int>(height));
}

void drawCanvasText(QPainter& painter, const QSize& picture, long long x, long long y,
                    const QString& text, const QColor& boxColor)
{
    const QFontMetrics metrics(painter.font(), painter.device());
    const std::optional<QRect> box = canvasTextBox(metrics, picture, x, y, text);
    if (!box) {
        return;
    }
    painter.fillRect(*box, boxColor);
    painter.drawText(QPoint(box->left(), box->top() + metrics.ascent()), text);
}

} // namespace kurvaro
