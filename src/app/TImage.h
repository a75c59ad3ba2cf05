#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <span>
#include <vector>

class QMouseEvent;
class QPaintEvent;

namespace kurvaro {

/// The drawing area: shows a picture of its own from its top left corner (a
/// picture smaller than the control leaves the rest in the face colour) and
/// reports the mouse in its own pixel coordinates. While any button is held
/// the control keeps the mouse, so moves and the release outside it arrive as
/// positions beyond its edges.
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

signals:
    void mouseDown(QPoint position);
    void mouseMove(QPoint position);
    void mouseUp(QPoint position);

protected:
    /// Paints the picture where the region meets it and the face colour only
    /// where the picture does not reach.
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// Copies `area` of `source` (same size and format) into the picture and
    /// repaints it.
    void copyArea(const QImage& source, const QRect& area);
    /// The part of the control that shows `pixels` of the picture.
    QRect shownRect(const QRect& pixels) const;

    QImage Picture;
    /// Where the outline has been drawn over the picture since the last presentation.
    std::vector<QRect> OutlineArea;
};

} // namespace kurvaro
