#pragma once

#include "model/Stores.h"
#include "settings/WindowBounds.h"

#include <QString>

#include <array>

namespace kurvaro {

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

} // namespace kurvaro
