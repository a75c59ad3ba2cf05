#pragma once

// The raster canvas rules of the picture: aliased one-pixel lines that paint
// their start pixel and leave out their end pixel, and text at a top-left
// corner on an opaque box.

#include <QFont>
#include <QLineF>
#include <QPen>

class QColor;
class QImage;
class QPainter;
class QString;

/// A cosmetic one-pixel solid pen with flat caps: a line from P to Q paints P
/// and every pixel up to Q, but not Q.
QPen canvasPen(const QColor& color);

/// The label font: 8-point "MS Sans Serif", "DejaVu Sans" where it is missing,
/// without anti-aliasing.
QFont canvasFont();

/// Sizes a new picture to W x H at 96 dots per inch (so 8 points are 11 pixels).
QImage newCanvasImage(int width, int height);

/// Clips the segment to `bounds` in double precision. The clipped points lie on
/// the original line; a point cut at a bound sits exactly on it, and its other
/// coordinate is computed from the nearer end so that far-away ends lose no
/// precision. A start that is cut stays strictly before its end's column when
/// it truly is (the raster engine works in 1/64 pixels).
/// Returns false when nothing of the segment lies within `bounds`.
bool clipSegment(QLineF& segment, const QRectF& bounds);

/// Paints the segment from (x0, y0) to (x1, y1) into a picture of the given
/// size, exactly as the raster engine paints it for small coordinates, however
/// far outside the picture the ends lie.
void drawCanvasLine(QPainter& painter, const QSize& picture, double x0, double y0, double x1,
                    double y1);

/// The bounds that segments are clipped to: the picture and two pixels around it.
QRectF canvasClipBounds(const QSize& picture);

/// Draws `text` with its top-left corner at (x, y) on a box of `boxColor` as
/// wide as the text's advance and as high as the font; the text itself in the
/// painter's pen colour. Ignores a box that lies wholly outside the picture.
void drawCanvasText(QPainter& painter, const QSize& picture, long long x, long long y,
                    const QString& text, const QColor& boxColor);
