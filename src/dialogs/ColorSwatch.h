#pragma once

#include "model/Color.h"

#include <QColor>
#include <QWidget>

#include <optional>

class QMouseEvent;
class QPaintEvent;

namespace kurvaro {

/// A colour square of the functions and options dialogs: a one-pixel black
/// frame around the colour, the hand pointer, and `clicked()` for a click on
/// the colour area. It holds the stored colour exactly as loaded (system
/// colours and clNone included) and paints what the renderer would paint for
/// it. A disabled swatch still shows its colour and ignores clicks.
class ColorSwatch : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int color READ color WRITE setColor)

public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    TColor color() const { return color_; }
    void setColor(TColor color);

    QSize sizeHint() const override;

signals:
    /// Left button pressed and released inside the colour area.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect colorArea() const;

    TColor color_ = colors::clBlack;
    bool pressed_ = false;
};

/// The stored form (0x00BBGGRR) of a colour picked in the colour dialog.
TColor toTColor(const QColor& color);

/// A form's own colour dialog. It opens through the desktop seam, preset to
/// the colour it returned last (black the first time), never to the colour of
/// the swatch that was clicked; a confirmed colour becomes the next preset.
class ColorChoice
{
public:
    /// nullopt when the user cancelled; the preset then stays as it was.
    std::optional<TColor> execute(QWidget* parent);
    /// A swatch's click: `swatch` takes the colour confirmed, if any.
    void chooseFor(ColorSwatch& swatch, QWidget* parent);
    QColor color() const { return color_; }

private:
    QColor color_{Qt::black};
};

} // namespace kurvaro
