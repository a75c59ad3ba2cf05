#pragma once

#include "model/FunctionSlot.h"
#include "model/PlotOptions.h"
#include "model/ViewRange.h"

#include <QSize>
#include <QString>

class QImage;

namespace kurvaro {

/// What the renderer needs of the program around it. The main window, the
/// command-line tool and the tests each implement it; the renderer reads the
/// model through it fresh at every use and keeps no copy.
class PlotHost
{
public:
    virtual ~PlotHost() = default;

    /// Slot n, 1 to 10, as the functions dialog holds it now.
    virtual FunctionSlot functionSlot(int n) const = 0;
    /// The options as the options dialog holds them now.
    virtual PlotOptions plotOptions() const = 0;

    virtual QString rangeText(RangeField field) const = 0;
    virtual void setRangeText(RangeField field, const QString& text) = 0;

    /// The drawing area's current size in pixels (W x H).
    virtual QSize drawingAreaSize() const = 0;

    /// A modal warning box: caption "Warnung", one "OK". Line breaks are "\r\n".
    virtual void showWarning(const QString& text) = 0;
    /// Runs the event pump until no event is pending.
    virtual void processEvents() = 0;
    /// Shows a copy of the picture in the drawing area.
    virtual void presentPlot(const QImage& picture) = 0;
    /// Enables or disables the right-hand panel's controls (not BitBtn5, not Image1).
    virtual void setControlsEnabled(bool enabled) = 0;
};

} // namespace kurvaro
