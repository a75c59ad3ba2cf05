#pragma once

#include "model/Stores.h"
#include "plot/Colors.h"
#include "plot/PlotRenderer.h"
#include "plot/PlotSurface.h"
#include "plot/ViewMapping.h"
#include "support/LocaleScope.h"

#include <QColor>
#include <QImage>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <span>
#include <vector>

namespace kurvaro {

/// The model and the window around a renderer in one test double: it holds
/// the function slots, the options and the range texts itself, and records
/// what the redraw asks of the window, in order: "warning:TEXT",
/// "present:WxH", "enable:1"/"enable:0", "pump", and "outside:X,Y WxH" for a
/// changed rectangle that does not lie inside the picture.
class TestHost : public FunctionSlotStore,
                 public PlotOptionsStore,
                 public ViewStore,
                 public PlotSurface
{
public:
    TestHost();

    FunctionSlot functionSlot(int n) const override { return functionSlots.at(n - 1); }
    void setFunctionSlot(int n, const FunctionSlot& slot) override
    {
        functionSlots.at(n - 1) = slot;
    }
    PlotOptions plotOptions() const override { return options; }
    void setPlotOptions(const PlotOptions& o) override { options = o; }
    QString rangeText(RangeField field) const override { return ranges.at(field); }
    void setRangeText(RangeField field, const QString& text) override { ranges[field] = text; }
    int windowBound(WindowBound) const override { return 0; }
    void setWindowBound(WindowBound, int) override {}

    QSize drawingAreaSize() const override { return size; }
    double devicePixelRatio() const override { return ratio; }
    void showWarning(const QString& text) override;
    void processEvents() override;
    void presentPlot(const QImage& picture, std::span<const QRect> changed) override;
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
    double ratio = 1.0;
    QStringList log;
    /// The copy shown: the picture of the first presentation and of each of
    /// another size, else the last one with the changed rectangles copied in.
    QImage lastPresented;
    /// The rectangles named by the last presentation.
    std::vector<QRect> lastChanged;
    /// Runs inside processEvents, as the event pump of a window would.
    std::function<void()> onPump;
};

/// A renderer over a TestHost that redraws from the host's model.
class TestRenderer : public PlotRenderer
{
public:
    explicit TestRenderer(TestHost& host) : PlotRenderer(host, host), host(host) {}
    void Redraw() { PlotRenderer::Redraw(host, host); }
    /// LastRange on the host's drawing area.
    ViewMapping mapping() const { return ViewMapping(LastRange(), host.size); }

private:
    TestHost& host;
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

} // namespace kurvaro
