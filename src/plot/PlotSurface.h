#pragma once

#include <QRect>
#include <QSize>

#include <span>

class QImage;
class QString;

namespace kurvaro {

/// The window half of a redraw: what the redraw sequence needs of the place
/// it draws for. The main window implements it; renderPlot has a plain one.
class PlotSurface
{
public:
    virtual ~PlotSurface() = default;

    /// The drawing area's current size in pixels (W x H): the screen's device
    /// pixels, so on a HiDPI screen the logical size times the ratio below.
    virtual QSize drawingAreaSize() const = 0;
    /// Device pixels per logical pixel of the drawing area's screen; the label
    /// font is drawn at its size on that screen. 1 unless the surface says otherwise.
    virtual double devicePixelRatio() const { return 1.0; }
    /// A modal warning box: caption "Warnung", one "OK". Line breaks are "\r\n".
    virtual void showWarning(const QString& text) = 0;
    /// Runs the event pump until no event is pending.
    virtual void processEvents() = 0;
    /// Shows a copy of the picture in the drawing area. `changed` lists the
    /// rectangles of the picture drawn into since the last presentation (the
    /// whole picture after it was cleared): everywhere else the picture is as
    /// it was presented then, so the copy needs to take only these.
    virtual void presentPlot(const QImage& picture, std::span<const QRect> changed) = 0;
    /// Enables or disables the right-hand panel's controls (not BitBtn5, not Image1).
    virtual void setControlsEnabled(bool enabled) = 0;
};

} // namespace kurvaro
