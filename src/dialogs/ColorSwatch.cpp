#include "dialogs/ColorSwatch.h"

#include "dialogs/Desktop.h"
#include "plot/Colors.h"

#include <QMouseEvent>
#include <QPainter>

namespace kurvaro {

namespace {
constexpr int SwatchSize = 22;
}

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    // Like the panels they stand for, swatches take no keyboard focus.
    setFocusPolicy(Qt::NoFocus);
    resize(SwatchSize, SwatchSize);
}

void ColorSwatch::setColor(TColor color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

QSize ColorSwatch::sizeHint() const
{
    return {SwatchSize, SwatchSize};
}

QRect ColorSwatch::colorArea() const
{
    return rect().adjusted(1, 1, -1, -1);
}

void ColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(colorArea(), toQColor(color_));
}

void ColorSwatch::mousePressEvent(QMouseEvent* event)
{
    pressed_ =
        event->button() == Qt::LeftButton && colorArea().contains(event->position().toPoint());
    event->accept();
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       colorArea().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        emit clicked();
}

TColor toTColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return static_cast<TColor>(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}

std::optional<TColor> ColorChoice::execute(QWidget* parent)
{
    const std::optional<QColor> picked = Desktop::instance().chooseColor(parent, color_);
    if (!picked || !picked->isValid())
        return std::nullopt;
    const QColor rgb = picked->toRgb();
    color_ = QColor(rgb.red(), rgb.green(), rgb.blue());
    return toTColor(color_);
}

void ColorChoice::chooseFor(ColorSwatch& swatch, QWidget* parent)
{
    if (const std::optional<TColor> picked = execute(parent))
        swatch.setColor(*picked);
}

} // namespace kurvaro
