#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;
class QPointF;
class QWheelEvent;

namespace kurvaro {

/// The drawing area: shows a picture from its top left corner (a picture
/// smaller than the control leaves the rest in the face colour) and reports
/// the mouse in its own pixel coordinates. While any button is held the
/// control keeps the mouse, so moves and the release outside it arrive as
/// positions beyond its edges.
///
/// Its pixels are the screen's device pixels: on a HiDPI screen (device pixel
/// ratio r) the picture has r times the logical size and is shown at the
/// logical size, one picture pixel on one screen pixel, and every reported
/// position is the logical one times r. At ratio 1 both are the plain ones.
class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& picture() const { return Picture; }
    /// The picture takes the size and pixels of `image` (a copy).
    void setPicture(const QImage& image);
    /// Draws the closed outline DragStart -> (b.x, a.y) -> b -> (a.x, b.y) ->
    /// DragStart on the shown picture only, black, one pixel, plain copy.
    /// Parts outside the picture are clipped; a null picture stays null.
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
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    /// A logical position as a device pixel of the control.
    QPoint devicePosition(const QPointF& position) const;

    QImage Picture;
};

} // namespace kurvaro
