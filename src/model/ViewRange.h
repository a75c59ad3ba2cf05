#pragma once

#include <QString>

namespace kurvaro {

/// The view rectangle in plane units. After a successful ReadViewRange,
/// XMin < XMax and YMin < YMax.
struct ViewRange
{
    double XMin = 0;
    double XMax = 0;
    double YMin = 0;
    double YMax = 0;
};

/// The four range fields of the main window.
enum class RangeField
{
    XMin,
    XMax,
    YMin,
    YMax
};

/// The range fields' designed texts: -5 .. 5 by -5 .. 5.
inline QString DesignedRangeText(RangeField f)
{
    return (f == RangeField::XMin || f == RangeField::YMin) ? QStringLiteral("-5")
                                                            : QStringLiteral("5");
}

} // namespace kurvaro
