#include "plot/LabelSearch.h"

#include "plot/NumberText.h"

#include <algorithm>
#include <limits>

namespace kurvaro {

namespace {

__extension__ typedef __int128 Wide;

unsigned long long magnitude(long long fixed)
{
    return fixed < 0 ? 0ULL - static_cast<unsigned long long>(fixed)
                     : static_cast<unsigned long long>(fixed);
}

Shape shapeOf(long long fixed)
{
    Shape s{fixed < 0, 1};
    for (unsigned long long whole = magnitude(fixed) / 10000; whole >= 10; whole /= 10) {
        ++s.digits;
    }
    return s;
}

/// The smallest fixed-point value of the shape's labels.
long long lowestOf(Shape s)
{
    unsigned long long high = 100000; // one past the largest magnitude, 10^(digits + 4)
    for (int d = 1; d < s.digits; ++d) {
        high *= 10;
    }
    if (s.negative) {
        return s.digits == 15 ? std::numeric_limits<long long>::min()
                              : -static_cast<long long>(high - 1);
    }
    return s.digits == 1 ? 0 : static_cast<long long>(high / 10);
}

} // namespace

LabelWidths::LabelWidths(const QFontMetrics& metrics) : metrics(metrics)
{
    for (auto& bySign : cache) {
        for (auto& byDigits : bySign) {
            byDigits.fill(-1);
        }
    }
    for (const bool negative : {false, true}) {
        for (int digits = 1; digits <= 15; ++digits) {
            for (int decimals = 0; decimals <= 4; ++decimals) {
                widest = std::max(widest, width({negative, digits}, decimals));
            }
        }
    }
}

int LabelWidths::width(Shape s, int decimals) const
{
    int& w =
        cache[s.negative][static_cast<std::size_t>(s.digits)][static_cast<std::size_t>(decimals)];
    if (w < 0) {
        QString text = s.negative ? QStringLiteral("-") : QString();
        text += QString(s.digits, u'0');
        if (decimals > 0) {
            text += localeDecimalSeparator() + QString(decimals, u'0');
        }
        w = metrics.horizontalAdvance(text);
    }
    return w;
}

std::pair<long long, long long> LabelSearch::withText() const
{
    const auto scaled = [&](long long i) {
        return static_cast<long double>(position(i)) * 10000.0L;
    };
    const long long first = lowerBound(
        run.first, run.last, [&](long long i) { return scaled(i) >= -9223372036854775808.0L; });
    const long long end = lowerBound(
        run.first, run.last, [&](long long i) { return scaled(i) > 9223372036854775807.0L; });
    return {first, end - 1};
}

std::optional<long long> LabelSearch::latestWider(long long first, long long last, int width) const
{
    if (marks.isOrigin(run, 0) && first <= 0 && 0 <= last) {
        if (const auto above = latestWiderBetween(1, last, width)) {
            return above;
        }
        return latestWiderBetween(first, -1, width);
    }
    return latestWiderBetween(first, last, width);
}

long long LabelSearch::fixed(long long i) const
{
    // As FormatLabelValue rounds the label's value.
    return nearestInt64(static_cast<long double>(position(i)) * 10000.0L);
}

std::optional<long long> LabelSearch::latestWiderBetween(long long first, long long last,
                                                         int width) const
{
    // Shape by shape from the latest: the widest labels of a shape are the
    // ones with the most decimals.
    while (first <= last) {
        const Shape shape = shapeOf(fixed(last));
        const long long lowest = lowestOf(shape);
        const long long start =
            lowerBound(first, last, [&](long long i) { return fixed(i) >= lowest; });
        for (int decimals = 0; decimals <= 4; ++decimals) {
            if (widths.width(shape, decimals) > width) {
                if (const auto found = latestWithDecimals(start, last, decimals)) {
                    return found;
                }
                break;
            }
        }
        last = start - 1;
    }
    return std::nullopt;
}

/// The latest mark in [first, last] whose label shows at least `decimals`
/// decimals: whose fixed-point value is no multiple of 10^(5 - decimals).
/// Stretches of equal values, and stretches in which the value falls by the
/// same multiple from mark to mark, are passed over whole.
std::optional<long long> LabelSearch::latestWithDecimals(long long first, long long last,
                                                         int decimals) const
{
    if (decimals == 0) {
        return first <= last ? std::optional<long long>(last) : std::nullopt;
    }
    long long unit = 10;
    for (int d = decimals; d < 4; ++d) {
        unit *= 10;
    }
    const auto shows = [&](long long value) { return value % unit != 0; };
    constexpr int Stretches = 64; // a bound for values that follow no simple pattern
    for (int n = 0; n < Stretches && first <= last; ++n) {
        const long long end = fixed(last);
        if (shows(end)) {
            return last;
        }
        if (first == last) {
            break;
        }
        const long long before = fixed(last - 1);
        if (shows(before)) {
            return last - 1;
        }
        const Wide step = Wide(end) - before;
        if (step == 0) {
            last = lowerBound(first, last, [&](long long i) { return fixed(i) >= end; }) - 1;
            continue;
        }
        last = lowerBound(first, last,
                          [&](long long i) {
                              return Wide(fixed(i)) == Wide(end) - (Wide(last) - i) * step;
                          }) -
               1;
    }
    return std::nullopt;
}

} // namespace kurvaro
