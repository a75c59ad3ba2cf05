#pragma once

// The raster canvas rules of the picture: aliased one-pixel lines that paint
// their start pixel and leave out their end pixel, in every direction, and
// text at a top-left corner on an opaque box.
//
// Lines are rasterised here rather than by QPainter: its cosmetic flat-cap pen
// keeps the rule only for lines that run down or to the right (it paints the
// end and leaves out the start of the others), and its raster engine is not
// exact for ends millions of pixels away. Text and fills go through QPainter.

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QtGlobal>

#include <optional>

class QImage;
class QPainter;
class QString;
class QColor;

namespace kurvaro {

/// The label font: 8-point "MS Sans Serif", "DejaVu Sans" where it is missing,
/// without anti-aliasing.
QFont canvasFont();

/// A new picture of W x H device pixels at 96 dots per inch times the screen's
/// device pixel ratio: at ratio 1, 8 points are 11 pixels; at ratio 2 the
/// label font takes its device size while lines stay one pixel wide.
QImage newCanvasImage(int width, int height, double pixelRatio = 1.0);
/// The dots per meter of a picture made for `pixelRatio` (3780 at ratio 1).
int canvasDotsPerMeter(double pixelRatio);

/// The label font's metrics on a picture: what places and sizes the labels'
/// boxes on any target, raster or vector.
QFontMetrics canvasFontMetrics();

/// The pixels of a picture, taken once for many lines (a curve's segments):
/// the picture must not be changed in another way while this is in use.
struct CanvasPixels
{
    explicit CanvasPixels(QImage& image);

    uchar* bits;
    qsizetype bytesPerLine;
    int width;
    int height;
};

/// Paints the line from (x0, y0) to (x1, y1) in `color`: one pixel per step
/// along the longer axis, from the start pixel up to but not including the end
/// pixel; the other coordinate is the line's, rounded half up. Ends may lie
/// anywhere in the 64-bit range: only the steps inside the picture are visited
/// and the arithmetic is exact. A line of no length paints nothing.
void drawCanvasLine(QImage& image, QRgb color, long long x0, long long y0, long long x1,
                    long long y1);
/// The same into pixels taken beforehand.
void drawCanvasLine(CanvasPixels& pixels, QRgb color, long long x0, long long y0, long long x1,
                    long long y1);

/// The opaque box of `text` with its top-left corner at (x, y): as wide as
/// the text's advance and as high as the font; nullopt when it lies wholly
/// outside the picture.
std::optional<QRect> canvasTextBox(const QFontMetrics& metrics, const QSize& picture, long long x,
                                   long long y, const QString& text);

/// Draws `text` with its top-left corner at (x, y) on a box of `boxColor` as
/// wide as the text's advance and as high as the font; the text itself in the
/// painter's pen colour. Ignores a box that lies wholly outside the picture.
void drawCanvasText(QPainter& painter, const QSize& picture, long long x, long long y,
                    const QString& text, const QColor& boxColor);

} // namespace kurvaro
