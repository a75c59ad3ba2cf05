#include "plot/ViewMapping.h"

#include "model/Faults.h"
#include "plot/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kurvaro {

namespace {

/// The product rounded once to the nearest integer (ties to even), clamped.
long long clampedNearest(long double value)
{
    constexpr long double limit = 4611686018427387904.0L; // 2^62
    return static_cast<long long>(std::nearbyint(std::clamp(value, -limit, limit)));
}

} // namespace

ViewMapping::ViewMapping(const ViewRange& range, QSize size)
    : range_(range), width_(std::max(0, size.width())), height_(std::max(0, size.height())),
      scaleX_(scaleOf(width_, range.XMin, range.XMax)),
      scaleY_(scaleOf(height_, range.YMin, range.YMax))
{
}

ViewMapping::Scale ViewMapping::scaleOf(int extent, double low, double high)
{
    // Pixels per plane unit; 0 for an empty range and for one with
    // low >= 0 >= high, which has not been put in order. An overflow is
    // reported when the scale is used, as its computation there would.
    if (low == high || (low >= 0 && high <= 0)) {
        return {};
    }
    try {
        return {storeDouble(static_cast<long double>(extent) /
                            (static_cast<long double>(high) - static_cast<long double>(low))),
                false};
    } catch (const EOverflow&) {
        return {0, true};
    }
}

double ViewMapping::checked(Scale s)
{
    if (s.overflowed) {
        faults::overflow();
    }
    return s.value;
}

double ViewMapping::ScaleX() const
{
    return checked(scaleX_);
}

double ViewMapping::ScaleY() const
{
    return checked(scaleY_);
}

long long ViewMapping::XToPixel(double x) const
{
    return nearestInt64(static_cast<long double>(ScaleX()) *
                        (static_cast<long double>(x) - range_.XMin));
}

long long ViewMapping::YToPixel(double y) const
{
    const long long n = nearestInt64(static_cast<long double>(ScaleY()) *
                                     (static_cast<long double>(y) - range_.YMin));
    if (n < height_ - std::numeric_limits<long long>::max()) {
        faults::invalidOp();
    }
    return height_ - n;
}

double ViewMapping::PixelToX(long long column) const
{
    const double s = ScaleX();
    if (s == 0) {
        return 0;
    }
    return storeDouble(range_.XMin + static_cast<long double>(column) / s);
}

double ViewMapping::PixelToY(long long row) const
{
    const double s = ScaleY();
    if (s == 0) {
        return 0;
    }
    const long double height = height_;
    return storeDouble(range_.YMin + (height - static_cast<long double>(row)) / s);
}

long long ViewMapping::clampedXToPixel(double x) const
{
    return clampedNearest(static_cast<long double>(ScaleX()) *
                          (static_cast<long double>(x) - range_.XMin));
}

long long ViewMapping::clampedYToPixel(double y) const
{
    return height_ - clampedNearest(static_cast<long double>(ScaleY()) *
                                    (static_cast<long double>(y) - range_.YMin));
}

} // namespace kurvaro
