// The axis labels. Every label of a multiple is drawn in the order of the
// multiples, each on an opaque box that hides what lies beneath, so a later
// label overwrites an earlier one where their boxes meet. Drawing each of a
// tiny interval's countless labels would never end; but a label whose box
// later labels cover wholly leaves no trace, and the picture has room for
// few boxes that still show. So the labels are looked at from the last one
// backwards, and a label is drawn only when its box reaches a pixel that no
// later label covers: at most a few per pixel row or column, drawn in their
// order. The picture is exactly the one of drawing them all.
//
// Searching the labels of one pixel for the latest wider one rests on the
// label font having digits of one width (true of the sans-serif fonts the
// canvas uses): a label's width then depends only on its sign, the number of
// its integer digits and the number of its decimals.

#include "plot/Layers.h"

#include "plot/Canvas.h"
#include "plot/Colors.h"
#include "plot/LayerMarks.h"
#include "plot/NumberText.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace kurvaro {

namespace {

__extension__ typedef __int128 Wide;

/// The four-decimal fixed-point value of a label, as FormatLabelValue rounds it.
long long fixedOf(double value)
{
    return nearestInt64(static_cast<long double>(value) * 10000.0L);
}

unsigned long long magnitude(long long fixed)
{
    return fixed < 0 ? 0ULL - static_cast<unsigned long long>(fixed)
                     : static_cast<unsigned long long>(fixed);
}

/// Labels of one sign and one number of integer digits.
struct Shape
{
    bool negative = false;
    int digits = 1; ///< integer digits, 1 to 15
};

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

/// The widths of label texts by shape and decimals, measured on demand.
class LabelWidths
{
public:
    explicit LabelWidths(const QFontMetrics& metrics) : metrics(metrics)
    {
        for (const bool negative : {false, true}) {
            for (int digits = 1; digits <= 15; ++digits) {
                for (int decimals = 0; decimals <= 4; ++decimals) {
                    widest = std::max(widest, width({negative, digits}, decimals));
                }
            }
        }
    }

    int width(Shape s, int decimals) const
    {
        int& w = cache[s.negative][s.digits][decimals];
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
    int widest = 0;

private:
    const QFontMetrics& metrics;
    mutable std::array<std::array<std::array<int, 5>, 16>, 2> cache = [] {
        std::array<std::array<std::array<int, 5>, 16>, 2> c{};
        for (auto& a : c)
            for (auto& b : a)
                b.fill(-1);
        return c;
    }();
};

/// The labels of one stretch of marks, searched by their fixed-point values.
class LabelSearch
{
public:
    LabelSearch(const Marks& marks, const Marks::Run& run, const LabelWidths& widths)
        : marks(marks), run(run), widths(widths)
    {
    }

    /// The latest mark in [first, last] whose label is wider than `width`,
    /// the origin left out; nullopt when there is none.
    std::optional<long long> latestWider(long long first, long long last, int width) const
    {
        if (marks.isOrigin(run, 0) && first <= 0 && 0 <= last) {
            if (const auto above = latestWiderBetween(1, last, width)) {
                return above;
            }
            return latestWiderBetween(first, -1, width);
        }
        return latestWiderBetween(first, last, width);
    }

    double position(long long i) const { return marks.position(run, i); }

private:
    long long fixed(long long i) const { return fixedOf(position(i)); }

    std::optional<long long> latestWiderBetween(long long first, long long last, int width) const
    {
        // Shape by shape from the latest: the widest labels of a shape are
        // the ones with the most decimals.
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

    /// The latest mark in [first, last] whose label shows at least
    /// `decimals` decimals: whose fixed-point value is no multiple of
    /// 10^(5 - decimals). Stretches of equal values, and stretches in which
    /// the value falls by the same multiple from mark to mark, are passed over
    /// whole.
    std::optional<long long> latestWithDecimals(long long first, long long last, int decimals) const
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

    const Marks& marks;
    const Marks::Run& run;
    const LabelWidths& widths;
};

/// A label chosen to be drawn: its plane value and the pixel of its tick.
struct Label
{
    double value;
    long long pixel;
};

/// The marks of a run whose labels have a text, as [first, last].
std::pair<long long, long long> withText(const Marks& marks, const Marks::Run& run)
{
    const auto at = [&](long long i) { return static_cast<long double>(marks.position(run, i)); };
    const long long first = lowerBound(run.first, run.last, [&](long long i) {
        return at(i) * 10000.0L >= -9223372036854775808.0L;
    });
    const long long end = lowerBound(run.first, run.last, [&](long long i) {
        return at(i) * 10000.0L > 9223372036854775807.0L;
    });
    return {first, end - 1};
}

/// The labels of one direction that show, in the order they are drawn.
/// `pixels` is the band of tick pixels whose labels can reach the picture;
/// `uncovered(pixel, width)` gives the smallest width that a label at the
/// tick would need to show (nullopt: none can), `cover(pixel, width)` records
/// a chosen label.
template <typename Uncovered, typename Cover>
std::vector<Label> visibleLabels(const Direction& direction, const Marks& marks,
                                 const LabelWidths& widths, long long from, long long to,
                                 Uncovered uncovered, Cover cover)
{
    std::vector<Label> chosen;
    std::array<std::pair<long long, long long>, 3> textRanges{};
    for (std::size_t r = 0; r < marks.runCount(); ++r) {
        textRanges[r] = withText(marks, marks.run(r));
    }
    forEachPixelGroupBackwards(
        marks, [&](double v) { return direction.order(v); }, direction.orderLow(from, to),
        direction.orderHigh(from, to),
        [&](const Marks::Run& run, long long first, long long last, long long order) {
            const auto [textFirst, textLast] =
                textRanges[static_cast<std::size_t>(&run - &marks.run(0))];
            first = std::max(first, textFirst);
            last = std::min(last, textLast);
            const long long pixel = direction.pixelOfOrder(order);
            const LabelSearch search(marks, run, widths);
            while (first <= last) {
                const std::optional<int> need = uncovered(pixel);
                if (!need) {
                    break;
                }
                const std::optional<long long> found = search.latestWider(first, last, *need);
                if (!found) {
                    break;
                }
                const double value = search.position(*found);
                cover(pixel, FormatLabelValue(value));
                chosen.push_back({value, pixel});
                last = *found - 1;
            }
        });
    std::reverse(chosen.begin(), chosen.end());
    return chosen;
}

} // namespace

void DrawAxisText(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& axisText,
                  TColor background)
{
    const double ix = intervalValue(axisText.IX);
    const double iy = intervalValue(axisText.IY);
    const QColor fontColor = toQColor(axisText.Color);
    const QColor brushColor = toQColor(background);
    if (picture.isNull()) {
        return;
    }
    const long long row0 = tame(mapping.YToPixel(0));
    const long long col0 = tame(mapping.XToPixel(0));
    // The painter ends with this layer, before the picture is handed out, so
    // that a copy never shares a buffer that is still being painted.
    QPainter painter(&picture);
    painter.setFont(canvasFont());
    painter.setPen(fontColor);
    const QFontMetrics metrics(painter.font(), painter.device());
    const LabelWidths widths(metrics);
    const long long width = mapping.width();
    const long long height = mapping.height();
    const long long boxHeight = metrics.height();
    const QSize size = picture.size();

    // Below the x axis: boxes from 3 pixels left of each tick, all in the same rows.
    {
        const Direction direction(mapping, false);
        const Marks marks = direction.marks(ix);
        if (!marks.empty()) {
            const std::exception_ptr lastFailure = mapEnds(marks, direction);
            const long long top = row0 + 4;
            std::vector<Label> labels;
            if (top < height && top + boxHeight > 0) {
                std::vector<char> covered(static_cast<std::size_t>(width), 0);
                const auto uncovered = [&](long long pixel) -> std::optional<int> {
                    const long long left = pixel - 3;
                    for (long long d = std::max(0LL, -left); d < widths.widest; ++d) {
                        if (left + d >= width) {
                            break;
                        }
                        if (!covered[static_cast<std::size_t>(left + d)]) {
                            return static_cast<int>(d);
                        }
                    }
                    return std::nullopt;
                };
                const auto cover = [&](long long pixel, const QString& text) {
                    const long long left = pixel - 3;
                    const long long right = left + metrics.horizontalAdvance(text);
                    for (long long c = std::max(0LL, left); c < std::min(right, width); ++c) {
                        covered[static_cast<std::size_t>(c)] = 1;
                    }
                };
                labels = visibleLabels(direction, marks, widths, 4 - widths.widest, width + 2,
                                       uncovered, cover);
            }
            for (const Label& label : labels) {
                drawCanvasText(painter, size, label.pixel - 3, top, FormatLabelValue(label.value),
                               brushColor);
            }
            if (lastFailure) {
                std::rethrow_exception(lastFailure);
            }
        }
    }

    // Right of the y axis: boxes from 6 pixels above each tick, all from the same column.
    {
        const Direction direction(mapping, true);
        const Marks marks = direction.marks(iy);
        if (!marks.empty()) {
            const std::exception_ptr lastFailure = mapEnds(marks, direction);
            const long long left = col0 + 4;
            std::vector<Label> labels;
            if (left < width) {
                // Per row, how far from `left` later boxes reach (the part
                // left of the picture counts as reached).
                std::vector<long long> reached(static_cast<std::size_t>(height),
                                               std::max(0LL, -left));
                const long long visible = width - left;
                const auto rows = [&](long long pixel) {
                    return std::pair{std::max(0LL, pixel - 6),
                                     std::min(height, pixel - 6 + boxHeight)};
                };
                const auto uncovered = [&](long long pixel) -> std::optional<int> {
                    const auto [top, bottom] = rows(pixel);
                    long long least = visible;
                    for (long long r = top; r < bottom; ++r) {
                        least = std::min(least, reached[static_cast<std::size_t>(r)]);
                    }
                    if (least >= visible || least >= widths.widest) {
                        return std::nullopt;
                    }
                    return static_cast<int>(least);
                };
                const auto cover = [&](long long pixel, const QString& text) {
                    const auto [top, bottom] = rows(pixel);
                    const long long w = metrics.horizontalAdvance(text);
                    for (long long r = top; r < bottom; ++r) {
                        auto& reach = reached[static_cast<std::size_t>(r)];
                        reach = std::max(reach, w);
                    }
                };
                labels = visibleLabels(direction, marks, widths, height + 5, 7 - boxHeight,
                                       uncovered, cover);
            }
            for (const Label& label : labels) {
                drawCanvasText(painter, size, left, label.pixel - 6, FormatLabelValue(label.value),
                               brushColor);
            }
            if (lastFailure) {
                std::rethrow_exception(lastFailure);
            }
        }
    }
}

} // namespace kurvaro
