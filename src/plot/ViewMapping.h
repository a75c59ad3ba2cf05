#pragma once

#include "model/ViewRange.h"

#include <QSize>

namespace kurvaro {

/// The mapping between plane units and the pixels of a drawing area of W x H
/// for one view range. A small value: build one wherever a range and a size
/// are at hand, so that the size is the one of that moment.
///
/// Pixel columns grow to the right from 0, rows downwards from 0 at the top;
/// XMin maps to column 0 and XMax to column W, YMax to row 0 and YMin to row H.
/// Every product is formed in extended precision and rounded once.
class ViewMapping
{
public:
    /// A negative width or height counts as 0.
    ViewMapping(const ViewRange& range, QSize size);

    const ViewRange& range() const { return range_; }
    int width() const { return width_; }
    int height() const { return height_; }

    /// W / (XMax - XMin) as a double; 0 for an empty range and for one with
    /// XMin >= 0 >= XMax, which has not been put in order.
    /// Throws EOverflow when the quotient does not fit a double.
    double ScaleX() const;
    /// H / (YMax - YMin), likewise.
    double ScaleY() const;

    /// nearest(ScaleX * (x - XMin)), ties to even. Throws EInvalidOp when the
    /// column lies outside the signed 64-bit range.
    long long XToPixel(double x) const;
    /// H - nearest(ScaleY * (y - YMin)). Throws EInvalidOp outside the range.
    long long YToPixel(double y) const;

    /// XMin + column / ScaleX as a double; 0 when ScaleX is 0.
    double PixelToX(long long column) const;
    /// YMin + (H - row) / ScaleY as a double; 0 when ScaleY is 0.
    double PixelToY(long long row) const;

    /// XToPixel and YToPixel without the failure, for searches over marks far
    /// off the picture: the same rounding, the result clamped to +-2^62. Both
    /// stay monotonic in their argument. The scale must be finite.
    long long clampedXToPixel(double x) const;
    long long clampedYToPixel(double y) const;

private:
    /// The quotient of a scale, or nothing when it overflowed.
    struct Scale
    {
        double value = 0;
        bool overflowed = false;
    };
    static Scale scaleOf(int extent, double low, double high);
    static double checked(Scale s);

    ViewRange range_;
    int width_;
    int height_;
    Scale scaleX_;
    Scale scaleY_;
};

} // namespace kurvaro
