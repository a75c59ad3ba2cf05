#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <span>
#include <vector>

class QMouseEvent;
class QPaintEvent;
class QPointF;
class QWheelEvent;

namespace kurvaro {

/// The drawing area: shows a picture of its own from its top left corner (a
/// picture smaller than the control leaves the rest in the face colour) and
/// reports the mouse in its own pixel coordinates. While any button is held
/// the control keeps the mouse, so moves and the release outside it arrive as
/// positions beyond its edges.
///
/// Its pixels are the screen's device pixels: on a HiDPI screen (device pixel
/// ratio r) the picture has r times the logical size and is shown at the
/// logical size, one picture pixel on one screen pixel, and every reported
/// position is the logical one times r. At ratio 1 both are the plain ones.
///
/// The picture is updated and repainted by rectangles: a presentation names
/// what changed, and only that is copied and repainted.
class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    /// The picture shown (the last presentation, with the outline if drawn).
    const QImage& picture() const { return Picture; }
    /// Shows `source`. The picture shown takes its size and, inside the
    /// rectangles `changed` (in the picture's pixels), its pixels; elsewhere
    /// `source` must equal the last picture presented. A picture of another
    /// size is taken whole. Every presentation also wipes the outline.
    void present(const QImage& source, std::span<const QRect> changed);
    /// Draws the closed outline DragStart -> (b.x, a.y) -> b -> (a.x, b.y) ->
    /// DragStart on the shown picture only, black, one pixel, plain copy,
    /// until the next presentation. Parts outside the picture are clipped; a
    /// null picture stays null.
    void drawOutline(QPoint a, QPoint b);

    /// The control's size in device pixels (W x H): the logical size times
    /// the device pixel ratio, each side rounded.
    QSize deviceSize() const;

signals:
    void mouseDown(QPoint position);
    void mouseMove(QPoint position);
    void mouseUp(QPoint position);
    /// The wheel (or a touchpad's scrolling) over the control, as the system
    /// reports it: angle in eighths of a degree, pixels where the device gives them.
    void wheelTurned(QPoint position, QPoint angleDelta, QPoint pixelDelta);

protected:
    /// Paints the picture where the region meets it and the face colour only
    /// where the picture does not reach.
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    /// A logical position as a device pixel of the control.
    QPoint devicePosition(const QPointF& position) const;
    /// Copies `area` of `source` (same size and format) into the picture and
    /// repaints it.
    void copyArea(const QImage& source, const QRect& area);
    /// The part of the control that shows `pixels` of the picture (rounded
    /// outwards to whole control pixels).
    QRect shownRect(const QRect& pixels) const;
    /// The picture's pixels under `shown`, a rectangle of the control.
    QRect devicePixels(const QRect& shown) const;

    QImage Picture;
    /// Where the outline has been drawn over the picture since the last presentation.
    std::vector<QRect> OutlineArea;
};

} // namespace kurvaro
