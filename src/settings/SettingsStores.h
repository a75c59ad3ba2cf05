#pragma once

#include "PlotTypes.h"

#include <QString>

/// The ten function rows. Bound to the functions dialog's controls in the
/// program, to plain data in the command-line tool and the tests.
class FunctionSlotStore
{
public:
    virtual ~FunctionSlotStore() = default;
    virtual FunctionSlot functionSlot(int n) const = 0; ///< n = 1..10
    virtual void setFunctionSlot(int n, const FunctionSlot& slot) = 0;
};

/// The display options. Setting a changed Visible flag behaves like a click
/// on its check box (the options dialog's enabling rule follows).
class PlotOptionsStore
{
public:
    virtual ~PlotOptionsStore() = default;
    virtual PlotOptions plotOptions() const = 0;
    virtual void setPlotOptions(const PlotOptions& options) = 0;
};

/// The main window's range fields and outer bounds.
class ViewStore
{
public:
    virtual ~ViewStore() = default;
    virtual QString rangeText(RangeField field) const = 0;
    virtual void setRangeText(RangeField field, const QString& text) = 0;
    virtual int windowBound(WindowBound bound) const = 0;
    /// Applied to the window at once.
    virtual void setWindowBound(WindowBound bound, int value) = 0;
};
