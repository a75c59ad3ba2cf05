#include "app/TImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QWheelEvent>

#include <cmath>
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
    // A picture of another size or layout, or a change of screen, is taken
    // whole: the part of the control beside the picture changes too.
    const bool sameLayout = source.size() == Picture.size() &&
                            source.format() == Picture.format() && source.depth() % 8 == 0 &&
                            Picture.devicePixelRatio() == devicePixelRatioF();
    if (!sameLayout || source.isNull()) {
        Picture = source.copy();
        // Device pixels shown at the logical size.
        Picture.setDevicePixelRatio(devicePixelRatioF());
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
    const qreal ratio = Picture.devicePixelRatio();
    if (ratio == 1)
        return pixels;
    // Rounded outwards, so that every control pixel a device pixel touches is repainted.
    const int left = static_cast<int>(std::floor(pixels.left() / ratio));
    const int top = static_cast<int>(std::floor(pixels.top() / ratio));
    const int right = static_cast<int>(std::ceil((pixels.right() + 1) / ratio));
    const int bottom = static_cast<int>(std::ceil((pixels.bottom() + 1) / ratio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect TImage::devicePixels(const QRect& shown) const
{
    const qreal ratio = Picture.devicePixelRatio();
    if (ratio == 1)
        return shown;
    const int left = static_cast<int>(std::floor(shown.left() * ratio));
    const int top = static_cast<int>(std::floor(shown.top() * ratio));
    const int right = static_cast<int>(std::ceil((shown.right() + 1) * ratio));
    const int bottom = static_cast<int>(std::ceil((shown.bottom() + 1) * ratio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(Picture.rect());
}

void TImage::drawOutline(QPoint a, QPoint b)
{
    if (Picture.isNull())
        return;
    const QPoint corners[] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())};
    // The corners are device pixels: the painter must not scale them.
    const qreal ratio = Picture.devicePixelRatio();
    Picture.setDevicePixelRatio(1);
    {
        QPainter painter(&Picture);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
        painter.drawPolygon(corners, 4);
    }
    Picture.setDevicePixelRatio(ratio);
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
        if (shown.isEmpty())
            continue;
        // The device pixels under the shown rectangle, drawn at the logical size.
        const qreal ratio = Picture.devicePixelRatio();
        if (ratio == 1) {
            painter.drawImage(shown.topLeft(), Picture, shown);
            continue;
        }
        const QRect pixels = devicePixels(shown);
        painter.drawImage(QRectF(QPointF(pixels.topLeft()) / ratio, QSizeF(pixels.size()) / ratio),
                          Picture, QRectF(pixels));
    }
    for (const QRect& r : event->region().subtracted(pictureArea))
        painter.fillRect(r, palette().button());
}

QSize TImage::deviceSize() const
{
    return size() * devicePixelRatioF();
}

QPoint TImage::devicePosition(const QPointF& position) const
{
    return (position * devicePixelRatioF()).toPoint();
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(devicePosition(event->position()));
}

void TImage::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMove(devicePosition(event->position()));
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(devicePosition(event->position()));
}

void TImage::wheelEvent(QWheelEvent* event)
{
    event->accept();
    emit wheelTurned(devicePosition(event->position()), event->angleDelta(), event->pixelDelta());
}

} // namespace kurvaro
