#include "dialogs/SamplePlot.h"

#include "plot/PlotRenderer.h"

#include <QColor>

#include <array>

namespace kurvaro {

namespace {

constexpr QSize SampleSize{305, 234};

/// Plain data in place of the dialogs and the main window.
class SampleHost final : public PlotHost
{
public:
    FunctionSlot functionSlot(int n) const override
    {
        static const std::array<FunctionSlot, 4> curves = {
            FunctionSlot{QStringLiteral("2*SIN(X)"), true, colors::clRed},
            FunctionSlot{QStringLiteral("X^2/4-3"), true, colors::clBlue},
            FunctionSlot{QStringLiteral("ARCTAN(X)*2"), true, colors::clGreen},
            FunctionSlot{QStringLiteral("EXP(X/2)-2"), true, colors::clFuchsia},
        };
        if (n >= 1 && n <= static_cast<int>(curves.size()))
            return curves[static_cast<std::size_t>(n - 1)];
        return {};
    }

    PlotOptions plotOptions() const override { return PlotOptions{}; }

    QString rangeText(RangeField field) const override
    {
        switch (field) {
        case RangeField::XMin:
            return QStringLiteral("-5");
        case RangeField::XMax:
            return QStringLiteral("5");
        case RangeField::YMin:
            return QStringLiteral("-4");
        case RangeField::YMax:
            return QStringLiteral("4");
        }
        return {};
    }
    void setRangeText(RangeField, const QString&) override {}

    QSize drawingAreaSize() const override { return SampleSize; }

    void showWarning(const QString&) override {}
    void processEvents() override {}
    void presentPlot(const QImage& picture) override { presented = picture; }
    void setControlsEnabled(bool) override {}

    QImage presented;
};

} // namespace

QImage drawSamplePlot()
{
    QImage fallback(SampleSize, QImage::Format_RGB32);
    fallback.fill(toQColor(PlotOptions{}.BackGround.Color));
    try {
        SampleHost host;
        PlotRenderer renderer(host);
        renderer.Redraw();
        if (host.presented.size() == SampleSize)
            return host.presented;
    } catch (...) {
        // The picture is decoration; the dialog works without it.
    }
    return fallback;
}

} // namespace kurvaro
