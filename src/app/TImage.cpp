#include "app/TImage.h"

#include <QMouseEvent>
#include <QPainter>

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
    update();
}

void TImage::drawOutline(QPoint a, QPoint b)
{
    if (Picture.isNull())
        return;
    {
        QPainter painter(&Picture);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
        const QPoint corners[] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())};
        painter.drawPolygon(corners, 4);
    }
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    if (!Picture.isNull())
        painter.drawImage(QPoint(0, 0), Picture);
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
