#include "plot/ChangedArea.h"

#include <algorithm>
#include <utility>

namespace kurvaro {

void ChangedArea::setWhole(QSize newSize)
{
    size = QSize(std::max(0, newSize.width()), std::max(0, newSize.height()));
    strips.assign(static_cast<std::size_t>((size.width() + StripWidth - 1) / StripWidth), Rows{});
    whole = !size.isEmpty();
    any = false;
}

void ChangedArea::add(long long x0, long long y0, long long x1, long long y1)
{
    if (whole) {
        return;
    }
    if (x0 > x1) {
        std::swap(x0, x1);
    }
    if (y0 > y1) {
        std::swap(y0, y1);
    }
    const long long left = std::max(x0, 0LL);
    const long long right = std::min(x1, static_cast<long long>(size.width()) - 1);
    const long long top = std::max(y0, 0LL);
    const long long bottom = std::min(y1, static_cast<long long>(size.height()) - 1);
    if (left > right || top > bottom) {
        return;
    }
    for (long long s = left / StripWidth; s <= right / StripWidth; ++s) {
        Rows& rows = strips[static_cast<std::size_t>(s)];
        if (rows.top > rows.bottom) {
            rows = Rows{static_cast<int>(top), static_cast<int>(bottom)};
        } else {
            rows.top = std::min(rows.top, static_cast<int>(top));
            rows.bottom = std::max(rows.bottom, static_cast<int>(bottom));
        }
    }
    any = true;
}

void ChangedArea::clear()
{
    if (any) {
        std::fill(strips.begin(), strips.end(), Rows{});
    }
    whole = false;
    any = false;
}

bool ChangedArea::isEmpty() const
{
    return !whole && !any;
}

std::vector<QRect> ChangedArea::rects() const
{
    if (whole) {
        return {QRect(QPoint(0, 0), size)};
    }
    std::vector<QRect> result;
    if (!any) {
        return result;
    }
    const auto area = [](const QRect& r) { return static_cast<long long>(r.width()) * r.height(); };
    for (std::size_t s = 0; s < strips.size(); ++s) {
        const Rows& rows = strips[s];
        if (rows.top > rows.bottom) {
            continue;
        }
        const int left = static_cast<int>(s) * StripWidth;
        const QRect strip(left, rows.top, std::min(StripWidth, size.width() - left),
                          rows.bottom - rows.top + 1);
        // Neighbours are shown as one rectangle when that adds little.
        if (!result.empty() && result.back().right() + 1 == strip.left()) {
            const QRect merged = result.back().united(strip);
            if (area(merged) - area(result.back()) - area(strip) <= MergeSlack) {
                result.back() = merged;
                continue;
            }
        }
        result.push_back(strip);
    }
    return result;
}

} // namespace kurvaro
