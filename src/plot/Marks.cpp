#include "plot/Marks.h"

#include "plot/NumberText.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace kurvaro {

namespace {

/// Numbers up to this magnitude are indexed exactly. Beyond it the doubles
/// are at least 2^8 intervals apart, so each of them is the position of some
/// mark (the quotient k / r carries an error far below half of that).
constexpr long double ExactLimit = 2305843009213693952.0L; // 2^61

/// The doubles in their order as 64-bit integers (-0 and +0 are one).
long long keyOf(double d)
{
    const auto bits = std::bit_cast<long long>(d);
    return bits >= 0 ? bits : -(bits & 0x7FFF'FFFF'FFFF'FFFFLL);
}

double doubleOf(long long key)
{
    if (key >= 0) {
        return std::bit_cast<double>(key);
    }
    return std::bit_cast<double>(
        static_cast<long long>(static_cast<unsigned long long>(-key) | 0x8000'0000'0000'0000ULL));
}

} // namespace

Marks::Marks(double interval, double low, double high)
{
    if (interval == 0) {
        return;
    }
    reciprocal = 1.0L / static_cast<long double>(interval);
    firstK = std::nearbyint(low * reciprocal);
    lastK = std::nearbyint(high * reciprocal);
    if (lastK < firstK) {
        return;
    }
    const auto at = [this](long double k) { return static_cast<double>(k / reciprocal); };
    const auto doublesBetween = [&](double from, double to) {
        if (keyOf(from) <= keyOf(to)) {
            runs[count++] = Run{false, keyOf(from), keyOf(to)};
        }
    };
    // A negative interval leaves at most one mark (first = last).
    const long double exactFirst = std::max(firstK, -ExactLimit);
    const long double exactLast = std::min(lastK, ExactLimit);
    if (exactFirst > exactLast || reciprocal < 0) {
        if (std::fabs(firstK) <= ExactLimit) {
            runs[count++] =
                Run{true, static_cast<long long>(firstK), static_cast<long long>(lastK)};
        } else {
            doublesBetween(at(firstK), at(lastK));
        }
        return;
    }
    if (firstK < exactFirst) {
        doublesBetween(at(firstK), std::nextafter(at(exactFirst), -HUGE_VAL));
    }
    runs[count++] =
        Run{true, static_cast<long long>(exactFirst), static_cast<long long>(exactLast)};
    if (lastK > exactLast) {
        doublesBetween(std::nextafter(at(exactLast), HUGE_VAL), at(lastK));
    }
}

double Marks::firstPosition() const
{
    return storeDouble(firstK / reciprocal);
}

double Marks::lastPosition() const
{
    return storeDouble(lastK / reciprocal);
}

double Marks::position(const Run& run, long long index) const
{
    if (run.multiples) {
        return static_cast<double>(static_cast<long double>(index) / reciprocal);
    }
    return doubleOf(index);
}

} // namespace kurvaro
