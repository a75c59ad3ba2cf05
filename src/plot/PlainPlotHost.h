#pragma once

#include "model/Stores.h"
#include "plot/PlotHost.h"

#include <QSize>
#include <QStringList>

#include <functional>

namespace kurvaro {

/// The main window's side of the renderer on the plain stores: a drawing area
/// of a fixed size, no event pump, warnings collected in order.
class PlainPlotHost : public PlotHost
{
public:
    PlainPlotHost(const FunctionSlotStore& functions, const PlotOptionsStore& options,
                  ViewStore& view, QSize size)
        : functions(functions), options(options), view(view), size(size)
    {
    }

    FunctionSlot functionSlot(int n) const override { return functions.functionSlot(n); }
    PlotOptions plotOptions() const override { return options.plotOptions(); }
    QString rangeText(RangeField field) const override { return view.rangeText(field); }
    void setRangeText(RangeField field, const QString& text) override
    {
        view.setRangeText(field, text);
    }
    QSize drawingAreaSize() const override { return size; }
    void showWarning(const QString& text) override
    {
        warnings.append(text);
        if (onWarning)
            onWarning(text);
    }
    void processEvents() override {}
    void presentPlot(const QImage&) override {}
    void setControlsEnabled(bool enabled) override
    {
        if (!enabled)
            backgroundCleared = true;
    }

    QStringList warnings;
    /// Called with each warning as it comes, when set.
    std::function<void(const QString&)> onWarning;
    /// The renderer disables the controls only after it accepted the view
    /// range: false after a redraw means the range was refused.
    bool backgroundCleared = false;

private:
    const FunctionSlotStore& functions;
    const PlotOptionsStore& options;
    ViewStore& view;
    QSize size;
};

} // namespace kurvaro
