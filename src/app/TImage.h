#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

namespace kurvaro {

/// The drawing area: shows a picture from its top left corner (a picture
/// smaller than the control leaves the rest in the face colour) and reports
/// the mouse in its own pixel coordinates. While any button is held the
/// control keeps the mouse, so moves and the release outside it arrive as
/// positions beyond its edges.
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

signals:
    void mouseDown(QPoint position);
    void mouseMove(QPoint position);
    void mouseUp(QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage Picture;
};

} // namespace kurvaro
