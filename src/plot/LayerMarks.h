#pragma once

// What the layers share about their marks: the interval texts, the two
// directions of the picture, and the order in which a walk over marks fails.

#include "model/Faults.h"
#include "plot/Marks.h"
#include "plot/ViewMapping.h"

#include <QString>

#include <algorithm>
#include <exception>

namespace kurvaro {

/// An interval text as the layers use it: a text that does not convert counts
/// as 0 (no marks). Throws EOverflow for a value beyond a double.
double intervalValue(const QString& text);

/// Keeps a far-away pixel away from the 64-bit limits before an offset is
/// added; the picture is far smaller than this.
long long tame(long long pixel);

/// One direction of the picture: the columns of x (growing with x) or the rows
/// of y (falling as y grows). `order` is the pixel made to grow with the
/// plane value (the column, or minus the row) and never fails.
class Direction
{
public:
    Direction(const ViewMapping& mapping, bool vertical) : mapping(mapping), vertical(vertical) {}

    /// The marks of `interval` over the view in this direction.
    Marks marks(double interval) const
    {
        const ViewRange& r = mapping.range();
        return vertical ? Marks(interval, r.YMin, r.YMax) : Marks(interval, r.XMin, r.XMax);
    }
    /// XToPixel or YToPixel; throws EInvalidOp beyond the 64-bit range.
    long long pixel(double v) const { return vertical ? mapping.YToPixel(v) : mapping.XToPixel(v); }
    long long order(double v) const
    {
        return vertical ? -mapping.clampedYToPixel(v) : mapping.clampedXToPixel(v);
    }
    /// The pixel of an order value.
    long long pixelOfOrder(long long order) const { return vertical ? -order : order; }
    /// The order values of the pixels `from` to `to` (either way round).
    long long orderLow(long long from, long long to) const
    {
        return vertical ? -std::max(from, to) : std::min(from, to);
    }
    long long orderHigh(long long from, long long to) const
    {
        return vertical ? -std::min(from, to) : std::max(from, to);
    }

private:
    const ViewMapping& mapping;
    bool vertical;
};

/// Maps the first and the last mark as the plain loop over every mark would:
/// a failure of the first ends the layer at once (it throws), a failure of
/// the last comes back to be thrown once the marks before it are drawn.
inline std::exception_ptr mapEnds(const Marks& marks, const Direction& direction)
{
    direction.pixel(marks.firstPosition());
    try {
        direction.pixel(marks.lastPosition());
    } catch (const Exception&) {
        return std::current_exception();
    }
    return nullptr;
}

/// `visit(pixel)` for each pixel from `from` to `to` that a mark of
/// `interval` lands on, then the failure of the last mark, if any.
template <typename Visit>
void forEachPixelOfMarks(const Direction& direction, double interval, long long from, long long to,
                         Visit visit)
{
    const Marks marks = direction.marks(interval);
    if (marks.empty()) {
        return;
    }
    const std::exception_ptr lastFailure = mapEnds(marks, direction);
    forEachMarkedPixel(
        marks, [&](double v) { return direction.order(v); }, direction.orderLow(from, to),
        direction.orderHigh(from, to),
        [&](long long order) { visit(direction.pixelOfOrder(order)); });
    if (lastFailure) {
        std::rethrow_exception(lastFailure);
    }
}

} // namespace kurvaro
