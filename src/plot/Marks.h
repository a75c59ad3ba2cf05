#pragma once

#include <array>
#include <cstddef>

namespace kurvaro {

/// The marks of one direction of a layer: the integer multiples k of an
/// interval g, with r = 1 / g in extended precision, k running from
/// nearest(low * r) to nearest(high * r), the mark of k at the plane position
/// k / r stored as a double.
///
/// However many multiples there are, the marks are walked in time bounded by
/// the picture: they are indexed so that positions grow with the index, and
/// every search over them is a bisection. Numbers k up to 2^61 are exact
/// 64-bit integers, as written. Beyond (an interval so small, or a view so
/// large, that k leaves the integer range) the marks lie closer together than
/// the doubles there, so every double between the first and the last mark is
/// the position of some mark: those parts are indexed by the doubles
/// themselves.
class Marks
{
public:
    /// One stretch of marks: indices `first` to `last` (first <= last).
    struct Run
    {
        bool multiples = true; ///< indices are the numbers k; else ordered doubles
        long long first = 0;
        long long last = 0;
    };

    /// No marks for an interval of 0 and when last < first.
    Marks(double interval, double low, double high);

    bool empty() const { return count == 0; }
    std::size_t runCount() const { return count; }
    const Run& run(std::size_t i) const { return runs[i]; }

    /// The plane position of the first and the last mark, as the layers map
    /// them first. Throw EOverflow when the position does not fit a double.
    double firstPosition() const;
    double lastPosition() const;

    /// The position of mark `index` of `run`; infinite where it overflows.
    double position(const Run& run, long long index) const;
    /// Whether the mark is the one of k = 0, which gets no label.
    bool isOrigin(const Run& run, long long index) const { return run.multiples && index == 0; }

private:
    long double reciprocal = 0;
    long double firstK = 0;
    long double lastK = 0;
    std::array<Run, 3> runs{};
    std::size_t count = 0;
};

/// The smallest index in [from, to] for which `test` holds, `to` + 1 when it
/// holds for none (from <= to + 1). `test` must be false up to some index and
/// true from there on; it is asked about 64 times at most.
template <typename Test> long long lowerBound(long long from, long long to, Test test)
{
    // Counted in unsigned arithmetic: a stretch of doubles may span more than
    // half of the 64-bit range.
    long long first = from;
    unsigned long long n =
        static_cast<unsigned long long>(to) - static_cast<unsigned long long>(from) + 1;
    while (n > 0) {
        const unsigned long long half = n / 2;
        const long long mid = static_cast<long long>(static_cast<unsigned long long>(first) + half);
        if (test(mid)) {
            n = half;
        } else {
            first = static_cast<long long>(static_cast<unsigned long long>(mid) + 1);
            n -= half + 1;
        }
    }
    return first;
}

/// Calls `visit(pixel)` once for every pixel in [from, to] on which some mark
/// lands, in increasing order. `pixelOf` maps a position to its pixel and must
/// not decrease as the position grows; positions that overflowed map
/// anywhere beyond the band. Marks sparser than the pixels are visited one by
/// one; where many marks share a pixel, the next pixel is found by bisection.
template <typename PixelOf, typename Visit>
void forEachMarkedPixel(const Marks& marks, PixelOf pixelOf, long long from, long long to,
                        Visit visit)
{
    bool any = false;
    long long lastVisited = 0;
    for (std::size_t r = 0; r < marks.runCount(); ++r) {
        const Marks::Run& run = marks.run(r);
        const auto pixel = [&](long long i) { return pixelOf(marks.position(run, i)); };
        long long i =
            lowerBound(run.first, run.last, [&](long long j) { return pixel(j) >= from; });
        while (i <= run.last) {
            const long long p = pixel(i);
            if (p > to) {
                break;
            }
            if (!any || p != lastVisited) {
                visit(p);
                any = true;
                lastVisited = p;
            }
            if (i < run.last && pixel(i + 1) > p) {
                ++i;
            } else {
                i = lowerBound(i + 1, run.last, [&](long long j) { return pixel(j) > p; });
            }
        }
    }
}

/// Calls `visit(run, first, last, pixel)` for the marks in [from, to] grouped
/// by the pixel they land on, from the last group backwards: the indices
/// `first` to `last` of `run` share `pixel`. `pixelOf` as above.
template <typename PixelOf, typename Visit>
void forEachPixelGroupBackwards(const Marks& marks, PixelOf pixelOf, long long from, long long to,
                                Visit visit)
{
    for (std::size_t r = marks.runCount(); r-- > 0;) {
        const Marks::Run& run = marks.run(r);
        const auto pixel = [&](long long i) { return pixelOf(marks.position(run, i)); };
        long long i =
            lowerBound(run.first, run.last, [&](long long j) { return pixel(j) > to; }) - 1;
        while (i >= run.first) {
            const long long p = pixel(i);
            if (p < from) {
                break;
            }
            long long start = i;
            if (i > run.first && pixel(i - 1) >= p) {
                start = lowerBound(run.first, i, [&](long long j) { return pixel(j) >= p; });
            }
            visit(run, start, i, p);
            i = start - 1;
        }
    }
}

} // namespace kurvaro
