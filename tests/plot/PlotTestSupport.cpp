#include "PlotTestSupport.h"

namespace kurvaro {

TestHost::TestHost()
{
    setRange(QStringLiteral("-5"), QStringLiteral("5"), QStringLiteral("-5"), QStringLiteral("5"));
    options.BackGround.Color = testcolors::background;
    options.Grid.Color = testcolors::grid;
    options.Axis.Color = testcolors::axis;
    options.Scale.Color = testcolors::scale;
    options.AxisText.Color = testcolors::text;
}

void TestHost::showWarning(const QString& text)
{
    log << QStringLiteral("warning:") + text;
}

void TestHost::processEvents()
{
    log << QStringLiteral("pump");
    if (onPump) {
        onPump();
    }
}

void TestHost::presentPlot(const QImage& picture, std::span<const QRect> changed)
{
    // A copy kept as a window keeps it: whole when the size changes, else
    // only the rectangles named, so that a change left out shows.
    lastChanged.assign(changed.begin(), changed.end());
    if (lastPresented.size() != picture.size() || lastPresented.format() != picture.format()) {
        lastPresented = picture.copy();
    } else {
        for (const QRect& area : changed) {
            if (!picture.rect().contains(area)) {
                log << QStringLiteral("outside:%1,%2 %3x%4")
                           .arg(area.x())
                           .arg(area.y())
                           .arg(area.width())
                           .arg(area.height());
            }
            const QRect r = area.intersected(picture.rect());
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    lastPresented.setPixel(x, y, picture.pixel(x, y));
                }
            }
        }
    }
    log << QStringLiteral("present:%1x%2").arg(picture.width()).arg(picture.height());
}

void TestHost::setControlsEnabled(bool enabled)
{
    log << QStringLiteral("enable:%1").arg(enabled ? 1 : 0);
}

void TestHost::setRange(const QString& xmin, const QString& xmax, const QString& ymin,
                        const QString& ymax)
{
    ranges[RangeField::XMin] = xmin;
    ranges[RangeField::XMax] = xmax;
    ranges[RangeField::YMin] = ymin;
    ranges[RangeField::YMax] = ymax;
}

void TestHost::hideAllLayers()
{
    options.Grid.Visible = false;
    options.Axis.Visible = false;
    options.Scale.Visible = false;
    options.AxisText.Visible = false;
}

QStringList TestHost::warnings() const
{
    QStringList result;
    for (const QString& entry : log) {
        if (entry.startsWith(QStringLiteral("warning:"))) {
            result << entry.mid(8);
        }
    }
    return result;
}

QRgb rgbOf(TColor color)
{
    return toQColor(color).rgb();
}

int countColor(const QImage& image, const QRect& area, TColor color)
{
    const QRgb wanted = rgbOf(color);
    const QRect r = area.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return n;
}

} // namespace kurvaro
