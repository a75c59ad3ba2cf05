#pragma once

#include "plot/PlotHost.h"
#include "plot/PlotRenderer.h"

#include <QColor>
#include <QImage>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <map>

namespace kurvaro {

/// A host that holds the model itself and records what the renderer asks of
/// the window, in order: "warning:TEXT", "present:WxH", "enable:1"/"enable:0",
/// "pump".
class TestHost : public PlotHost
{
public:
    TestHost();

    FunctionSlot functionSlot(int n) const override { return functionSlots.at(n - 1); }
    PlotOptions plotOptions() const override { return options; }
    QString rangeText(RangeField field) const override { return ranges.at(field); }
    void setRangeText(RangeField field, const QString& text) override { ranges[field] = text; }
    QSize drawingAreaSize() const override { return size; }
    void showWarning(const QString& text) override;
    void processEvents() override;
    void presentPlot(const QImage& picture) override;
    void setControlsEnabled(bool enabled) override;

    void setRange(const QString& xmin, const QString& xmax, const QString& ymin,
                  const QString& ymax);
    /// Every layer and its flag off, so that one layer can be looked at alone.
    void hideAllLayers();
    QStringList warnings() const;

    std::array<FunctionSlot, FunctionSlotCount> functionSlots{};
    PlotOptions options;
    std::map<RangeField, QString> ranges;
    QSize size{473, 462};
    QStringList log;
    QImage lastPresented;
    /// Runs inside processEvents, as the event pump of a window would.
    std::function<void()> onPump;
};

/// Distinct colours for looking at one layer in a picture.
namespace testcolors {
inline constexpr TColor background = 0x00FEF1F2;
inline constexpr TColor grid = 0x00102030;
inline constexpr TColor axis = 0x00405060;
inline constexpr TColor scale = 0x00708090;
inline constexpr TColor text = 0x00A0B0C0;
inline constexpr TColor curve = 0x000000FF;
} // namespace testcolors

QRgb rgbOf(TColor color);
/// The pixels of `image` in the rectangle that have the colour.
int countColor(const QImage& image, const QRect& area, TColor color);

/// Sets the default locale for the lifetime of the object.
class LocaleScope
{
public:
    explicit LocaleScope(const QLocale& locale);
    ~LocaleScope();

private:
    QLocale saved_;
};

} // namespace kurvaro
