#include "dialogs/DialogGlyphs.h"

#include "dialogs/ScalableIcon.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace kurvaro {

namespace {

constexpr int GlyphSize = 16;

QIcon drawGlyph(const std::function<void(QPainter&)>& draw)
{
    // Drawn in logical pixels; on a HiDPI screen the painter scales the same
    // shapes to the screen's device pixels.
    return scalableIcon(QSize(GlyphSize, GlyphSize), [draw](qreal ratio) {
        QImage image(QSize(GlyphSize, GlyphSize) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            draw(painter);
        }
        return QPixmap::fromImage(image);
    });
}

} // namespace

QIcon okGlyph()
{
    return drawGlyph([](QPainter& p) {
        QPen pen(QColor(0x00, 0x80, 0x00), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        QPainterPath tick;
        tick.moveTo(2.5, 8.5);
        tick.lineTo(6.0, 12.5);
        tick.lineTo(13.5, 3.5);
        p.drawPath(tick);
    });
}

QIcon cancelGlyph()
{
    return drawGlyph([](QPainter& p) {
        QPen pen(QColor(0xC0, 0x00, 0x00), 2.6, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

QIcon infoGlyph()
{
    return drawGlyph([](QPainter& p) {
        const QColor magenta(0xFF, 0x00, 0xFF);
        p.setPen(Qt::NoPen);
        p.setBrush(magenta);
        p.drawEllipse(QRectF(6.0, 0.5, 4.0, 4.0));
        // Stem with a serif on the left at the top and a foot at the bottom.
        p.drawRect(QRectF(6.5, 6.0, 3.0, 8.0));
        p.drawRect(QRectF(5.0, 6.0, 2.0, 1.5));
        p.drawRect(QRectF(5.0, 13.5, 6.0, 2.0));
    });
}

} // namespace kurvaro
