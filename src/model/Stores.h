#pragma once

#include "model/FunctionSlot.h"
#include "model/PlotOptions.h"
#include "model/ViewRange.h"

#include <QString>

namespace kurvaro {

// The model has no copy of its own: the controls hold it. These interfaces
// reach it, bound to the dialogs' and the main window's controls in the
// program and to plain data in the command-line tool and the tests.

/// The ten function rows.
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

/// The main window's outer bounds, in the order the settings file applies them.
enum class WindowBound
{
    Width,
    Height,
    Top,
    Left
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

} // namespace kurvaro
