#include "app/Glyphs.h"

#include "dialogs/ScalableIcon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace kurvaro {

namespace {

/// A transparent picture of width x height logical pixels at `ratio`.
QPixmap blank(int width, int height, qreal ratio)
{
    QPixmap picture(QSize(width, height) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    return picture;
}

QSize glyphSize(Glyph glyph)
{
    switch (glyph) {
    case Glyph::ArrowUp:
    case Glyph::ArrowLeft:
    case Glyph::ArrowRight:
    case Glyph::ArrowDown:
    case Glyph::Minus:
    case Glyph::Plus:
        return QSize(11, 11);
    case Glyph::Zoom:
        return QSize(44, 41);
    default:
        return QSize(16, 16);
    }
}

void arrow(QPainter& p, Glyph glyph)
{
    // A filled triangle pointing up, turned for the other three directions.
    p.translate(5.5, 5.5);
    switch (glyph) {
    case Glyph::ArrowRight:
        p.rotate(90);
        break;
    case Glyph::ArrowDown:
        p.rotate(180);
        break;
    case Glyph::ArrowLeft:
        p.rotate(270);
        break;
    default:
        break;
    }
    p.translate(-5.5, -5.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(5.5, 0.5), QPointF(11, 6), QPointF(7.5, 6), QPointF(7.5, 10.5),
                             QPointF(3.5, 10.5), QPointF(3.5, 6), QPointF(0, 6)}));
}

void ruler(QPainter& p)
{
    p.setPen(QPen(QColor(96, 72, 0), 1));
    p.setBrush(QColor(255, 214, 0));
    p.drawRect(QRectF(0.5, -2.5, 15, 5));
    for (int x = 2; x < 16; x += 2)
        p.drawLine(QPointF(x + 0.5, -2.5), QPointF(x + 0.5, x % 4 == 0 ? 0 : -1));
}

void rulers(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    p.translate(8, 8);
    p.rotate(45);
    p.translate(-8, 0);
    ruler(p);
    p.restore();
    p.translate(8, 8);
    p.rotate(-45);
    p.translate(-8, 0);
    ruler(p);
}

void checkBoxes(QPainter& p)
{
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 6, 6));
    p.drawRect(QRectF(1.5, 9.5, 6, 6));
    p.setPen(QPen(QColor(0, 0, 160), 1.6));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPolyline(QPolygonF({QPointF(2.8, 4.6), QPointF(4.3, 6.2), QPointF(7.2, 2.2)}));
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawLine(10, 4, 15, 4);
    p.drawLine(10, 12, 15, 12);
}

void floppy(QPainter& p)
{
    // Drawn on a 16 x 16 grid and shrunk to leave a one-pixel margin.
    p.translate(1, 1);
    p.scale(14.0 / 16.0, 14.0 / 16.0);
    p.setPen(QPen(QColor(20, 20, 60), 1));
    p.setBrush(QColor(40, 60, 140));
    QPainterPath body;
    body.moveTo(0.5, 0.5);
    body.lineTo(13.5, 0.5);
    body.lineTo(15.5, 2.5);
    body.lineTo(15.5, 15.5);
    body.lineTo(0.5, 15.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 0.5, 7, 4));
    p.fillRect(QRect(9, 1, 2, 3), QColor(40, 60, 140));
    // The label shows a small picture: sky, sun and a green hill.
    p.setBrush(QColor(170, 210, 255));
    p.drawRect(QRectF(2.5, 7.5, 11, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 0));
    p.drawEllipse(QRectF(9.5, 8.5, 2.5, 2.5));
    p.setBrush(QColor(0, 150, 0));
    p.drawPolygon(QPolygonF({QPointF(3, 14), QPointF(6, 10.5), QPointF(9, 14)}));
}

void brush(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.rotate(45);
    // Handle, ferrule and bristles from the top down.
    p.setPen(QPen(QColor(90, 50, 10), 0.8));
    p.setBrush(QColor(170, 100, 40));
    p.drawRoundedRect(QRectF(-1.3, -9, 2.6, 9), 1, 1);
    p.setPen(QPen(QColor(80, 80, 80), 0.8));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(-2, 0, 4, 2.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    QPainterPath bristles;
    bristles.moveTo(-2, 2.5);
    bristles.lineTo(2, 2.5);
    bristles.quadTo(2.2, 6, 0, 8.5);
    bristles.quadTo(-2.2, 6, -2, 2.5);
    p.drawPath(bristles);
}

void infoBubble(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.5, 0.5, 15, 11), 4, 4);
    QPainterPath tail;
    tail.moveTo(3.5, 10);
    tail.lineTo(3, 15.5);
    tail.lineTo(8, 10);
    tail.closeSubpath();
    p.setPen(QPen(QColor(30, 60, 140), 1));
    p.setBrush(QColor(255, 255, 225));
    p.drawPath(bubble.united(tail));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 200));
    p.drawEllipse(QRectF(7, 2, 2, 2));
    p.drawRect(QRectF(7, 5, 2, 5));
}

void plusMinus(QPainter& p, bool plus)
{
    p.fillRect(QRect(1, 4, 9, 3), Qt::black);
    if (plus)
        p.fillRect(QRect(4, 1, 3, 9), Qt::black);
}

void zoom(QPainter& p)
{
    // Only the top 24 rows are painted: the zoom buttons sit below them.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(200, 230, 255, 200));
    p.drawEllipse(QRectF(15.5, 0.75, 9, 9));
    p.setPen(QPen(QColor(80, 50, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23.5, 8.5), QPointF(27, 12));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 11, 44, 13), Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Zoom"));
}

} // namespace

QPixmap glyphPicture(Glyph glyph, qreal ratio)
{
    const QSize size = glyphSize(glyph);
    QPixmap picture = blank(size.width(), size.height(), ratio);
    // The shapes are given in logical pixels; the painter scales them by the ratio.
    QPainter p(&picture);
    switch (glyph) {
    case Glyph::ArrowUp:
    case Glyph::ArrowLeft:
    case Glyph::ArrowRight:
    case Glyph::ArrowDown:
        arrow(p, glyph);
        break;
    case Glyph::Minus:
        plusMinus(p, false);
        break;
    case Glyph::Plus:
        plusMinus(p, true);
        break;
    case Glyph::Rulers:
        rulers(p);
        break;
    case Glyph::CheckBoxes:
        checkBoxes(p);
        break;
    case Glyph::Floppy:
        floppy(p);
        break;
    case Glyph::Brush:
        brush(p);
        break;
    case Glyph::InfoBubble:
        infoBubble(p);
        break;
    case Glyph::Zoom:
        zoom(p);
        break;
    }
    return picture;
}

QIcon glyphIcon(Glyph glyph)
{
    return scalableIcon(glyphSize(glyph),
                        [glyph](qreal ratio) { return glyphPicture(glyph, ratio); });
}

} // namespace kurvaro
