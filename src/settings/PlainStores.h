#pragma once

#include "PlotHost.h"
#include "PlotTypes.h"
#include "SettingsStores.h"

#include <QSize>
#include <QStringList>

#include <array>
#include <functional>

// The stores on plain data, for the command-line tool and the tests. Each
// starts with the designed contents of the control it stands for.

/// Ten rows: empty, unchecked, with the functions dialog's swatch colours.
class PlainFunctionSlots : public FunctionSlotStore
{
public:
    PlainFunctionSlots();
    /// Throws std::out_of_range unless 1 <= n <= 10.
    FunctionSlot functionSlot(int n) const override;
    void setFunctionSlot(int n, const FunctionSlot& slot) override;

    std::array<FunctionSlot, FunctionSlotCount> rows;
};

/// The options dialog's designed values.
class PlainPlotOptions : public PlotOptionsStore
{
public:
    PlotOptions plotOptions() const override { return options; }
    void setPlotOptions(const PlotOptions& o) override { options = o; }

    PlotOptions options;
};

/// The main window's designed range texts and bounds.
class PlainView : public ViewStore
{
public:
    PlainView();
    QString rangeText(RangeField field) const override;
    void setRangeText(RangeField field, const QString& text) override;
    int windowBound(WindowBound bound) const override;
    void setWindowBound(WindowBound bound, int value) override;

    std::array<QString, 4> rangeTexts;
    std::array<int, 4> windowBounds{};
};

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
