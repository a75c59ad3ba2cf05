#pragma once

#include "model/Stores.h"
#include "model/ViewRange.h"

#include <QPoint>

namespace kurvaro {

/// Which bounds one pan or zoom button moves by a tenth of the view's width
/// or height, and which way: +1, -1, or 0 for a bound the button leaves alone.
struct ViewStep
{
    int XMin = 0;
    int XMax = 0;
    int YMin = 0;
    int YMax = 0;
};

/// Writes the moved bounds of `last` (LastRange) into the range fields through
/// FormatRangeValue, in the order XMin, XMax, YMin, YMax, each the moment it
/// is formatted: a bound beyond the fixed-point range throws EInvalidOp with
/// the fields before it already changed. The width is XMax - XMin (the
/// height YMax - YMin), or 0 for a range left unordered by a failed read.
void StepView(ViewStore& fields, const ViewRange& last, ViewStep step);

/// The zoom buttons' step `steps` times over (positive: in, negative: out),
/// about the plane point at `fx` of the view's width from its left edge and
/// `fy` of its height from its top edge: each step changes the width and the
/// height by two tenths, as a zoom button does, and shares the change
/// between the two bounds of an axis so that the point keeps its place in the
/// picture. At the centre (fx = fy = 0.5) one step gives exactly the zoom
/// buttons' bounds. The four bounds are written as StepView writes them.
void ZoomAbout(ViewStore& fields, const ViewRange& last, int steps, double fx, double fy);

/// Counts the steps of a mouse wheel or a touchpad. One step is 120 eighths
/// of a degree of vertical wheel turn (one notch of a common wheel: 15
/// degrees); a device that reports no angle but pixels gives one step per 60
/// pixels (as far as a notch scrolls a text: three lines of 20 pixels).
/// Smaller amounts, a touchpad's fine scrolling, add up until they make
/// whole steps; turning back drops what had not made a step yet. Positive
/// steps are turns away from the user (as the system reports them).
class WheelSteps
{
public:
    static constexpr int AnglePerStep = 120;
    static constexpr int PixelsPerStep = 60;

    /// The whole steps that this turn completes; the rest is kept.
    int add(QPoint angleDelta, QPoint pixelDelta);

private:
    long long angleRest = 0;
    long long pixelRest = 0;
};

} // namespace kurvaro
