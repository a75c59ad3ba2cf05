#include "app/TImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <cstring>

namespace kurvaro {

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::present(const QImage& source, std::span<const QRect> changed)
{
    const bool sameLayout = source.size() == Picture.size() &&
                            source.format() == Picture.format() && source.depth() % 8 == 0;
    if (!sameLayout || source.isNull()) {
        // Another size: the part of the control beside the picture changes too.
        Picture = source.copy();
        OutlineArea.clear();
        update();
        return;
    }
    for (const QRect& area : changed)
        copyArea(source, area);
    for (const QRect& area : OutlineArea)
        copyArea(source, area);
    OutlineArea.clear();
}

void TImage::copyArea(const QImage& source, const QRect& area)
{
    const QRect r = area.intersected(Picture.rect());
    if (r.isEmpty())
        return;
    const qsizetype bytesPerPixel = Picture.depth() / 8;
    const qsizetype offset = r.left() * bytesPerPixel;
    const qsizetype bytes = r.width() * bytesPerPixel;
    uchar* const to = Picture.bits();
    const uchar* const from = source.constBits();
    const qsizetype toLine = Picture.bytesPerLine();
    const qsizetype fromLine = source.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(to + y * toLine + offset, from + y * fromLine + offset,
                    static_cast<std::size_t>(bytes));
    update(shownRect(r));
}

QRect TImage::shownRect(const QRect& pixels) const
{
    return pixels;
}

void TImage::drawOutline(QPoint a, QPoint b)
{
    if (Picture.isNull())
        return;
    const QPoint corners[] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())};
    {
        QPainter painter(&Picture);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
        painter.drawPolygon(corners, 4);
    }
    // The four sides, each as the rectangle from one corner to the next, with
    // a pixel to spare around it.
    for (int i = 0; i < 4; ++i) {
        const QRect side =
            QRect(corners[i], corners[(i + 1) % 4]).normalized().adjusted(-1, -1, 1, 1);
        const QRect onPicture = side.intersected(Picture.rect());
        if (onPicture.isEmpty())
            continue;
        OutlineArea.push_back(onPicture);
        update(shownRect(onPicture));
    }
}

void TImage::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect pictureArea = shownRect(Picture.rect());
    for (const QRect& r : event->region()) {
        const QRect shown = r.intersected(pictureArea);
        if (!shown.isEmpty())
            painter.drawImage(shown.topLeft(), Picture, shown);
    }
    for (const QRect& r : event->region().subtracted(pictureArea))
        painter.fillRect(r, palette().button());
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->position().toPoint());
}

void TImage::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMove(event->position().toPoint());
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->position().toPoint());
}

} // namespace kurvaro
