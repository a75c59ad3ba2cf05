#pragma once

#include "model/Stores.h"
#include "model/ViewRange.h"

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

} // namespace kurvaro
