#include "app/TImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace kurvaro {

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::setPicture(const QImage& image)
{
    Picture = image.copy();
    // Device pixels shown at the logical size.
    Picture.setDevicePixelRatio(devicePixelRatioF());
    update();
}

void TImage::drawOutline(QPoint a, QPoint b)
{
    if (Picture.isNull())
        return;
    // The corners are device pixels: the painter must not scale them.
    const qreal ratio = Picture.devicePixelRatio();
    Picture.setDevicePixelRatio(1);
    {
        QPainter painter(&Picture);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
        const QPoint corners[] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())};
        painter.drawPolygon(corners, 4);
    }
    Picture.setDevicePixelRatio(ratio);
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    if (!Picture.isNull())
        painter.drawImage(QPoint(0, 0), Picture);
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
