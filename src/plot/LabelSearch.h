#pragma once

// Searching the labels of a stretch of marks by their texts. A label's text
// is its plane value as a four-decimal fixed-point number: the marks' order
// is the order of those numbers, so every search is a bisection.
//
// Finding the latest wider label rests on the label font having digits of
// one width (true of the sans-serif fonts the canvas uses): a label's width
// then depends only on its sign, the number of its integer digits and the
// number of its decimals.

#include "plot/Marks.h"

#include <QFontMetrics>
#include <QString>

#include <array>
#include <optional>
#include <utility>

namespace kurvaro {

/// Labels of one sign and one number of integer digits (1 to 15).
struct Shape
{
    bool negative = false;
    int digits = 1;
};

/// The widths of label texts by shape and decimals, measured on demand.
class LabelWidths
{
public:
    explicit LabelWidths(const QFontMetrics& metrics);

    int width(Shape s, int decimals) const;
    int textWidth(const QString& text) const { return metrics.horizontalAdvance(text); }

    /// The width of the widest label there can be.
    int widest = 0;

private:
    const QFontMetrics& metrics;
    mutable std::array<std::array<std::array<int, 5>, 16>, 2> cache{};
};

/// The labels of one stretch of marks, searched by their fixed-point values.
class LabelSearch
{
public:
    LabelSearch(const Marks& marks, const Marks::Run& run, const LabelWidths& widths)
        : marks(marks), run(run), widths(widths)
    {
    }

    /// The marks of the run whose labels have a text at all, as [first, last].
    std::pair<long long, long long> withText() const;

    /// The latest mark in [first, last] whose label is wider than `width`,
    /// the origin left out; nullopt when there is none.
    std::optional<long long> latestWider(long long first, long long last, int width) const;

    double position(long long i) const { return marks.position(run, i); }

private:
    long long fixed(long long i) const;
    std::optional<long long> latestWiderBetween(long long first, long long last, int width) const;
    std::optional<long long> latestWithDecimals(long long first, long long last,
                                                int decimals) const;

    const Marks& marks;
    const Marks::Run& run;
    const LabelWidths& widths;
};

} // namespace kurvaro
