// The axis labels. Every label of a multiple is drawn in the order of the
// multiples, each on an opaque box that hides what lies beneath, so a later
// label overwrites an earlier one where their boxes meet. Drawing each of a
// tiny interval's countless labels would never end; but a label whose box
// later labels cover wholly leaves no trace, and the picture has room for
// few boxes that still show. So the labels are looked at from the last one
// backwards, and a label is drawn only when its box reaches a pixel that no
// later label covers: at most a few per pixel row or column, drawn in their
// order. The picture is exactly the one of drawing them all.

#include "plot/Layers.h"

#include "plot/Canvas.h"
#include "plot/Colors.h"
#include "plot/LabelSearch.h"
#include "plot/LayerMarks.h"
#include "plot/NumberText.h"
#include "plot/PlotTarget.h"

#include <QFontMetrics>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace kurvaro {

namespace {

/// A label chosen to be drawn: its plane value and the pixel of its tick.
struct Label
{
    double value;
    long long pixel;
};

/// Below the x axis the boxes share their rows and start 3 pixels left of
/// their ticks: which columns of the picture later boxes have covered.
class ColumnCover
{
public:
    explicit ColumnCover(long long width) : covered(static_cast<std::size_t>(width), 0) {}

    /// The tick pixels whose boxes can reach the picture.
    static std::pair<long long, long long> band(long long width, int widest)
    {
        return {4 - widest, width + 2};
    }

    /// The least width a box at `pixel` needs to show (nullopt: none shows).
    std::optional<int> uncovered(long long pixel, int widest) const
    {
        const long long left = pixel - 3;
        const long long width = static_cast<long long>(covered.size());
        for (long long d = std::max(0LL, -left); d < widest && left + d < width; ++d) {
            if (!covered[static_cast<std::size_t>(left + d)]) {
                return static_cast<int>(d);
            }
        }
        return std::nullopt;
    }

    void cover(long long pixel, int boxWidth)
    {
        const long long left = pixel - 3;
        const long long end = std::min(left + boxWidth, static_cast<long long>(covered.size()));
        for (long long c = std::max(0LL, left); c < end; ++c) {
            covered[static_cast<std::size_t>(c)] = 1;
        }
    }

private:
    std::vector<char> covered;
};

/// Right of the y axis the boxes start in the same column `left` and reach 6
/// pixels above their ticks: per row, how far from `left` later boxes reach
/// (the part left of the picture counts as reached).
class RowCover
{
public:
    RowCover(long long width, long long height, long long left, long long boxHeight)
        : reached(static_cast<std::size_t>(height), std::max(0LL, -left)), visible(width - left),
          boxHeight(boxHeight)
    {
    }

    static std::pair<long long, long long> band(long long height, long long boxHeight)
    {
        return {height + 5, 7 - boxHeight};
    }

    std::optional<int> uncovered(long long pixel, int widest) const
    {
        long long least = visible;
        for (long long r = top(pixel); r < bottom(pixel); ++r) {
            least = std::min(least, reached[static_cast<std::size_t>(r)]);
        }
        if (least >= visible || least >= widest) {
            return std::nullopt;
        }
        return static_cast<int>(least);
    }

    void cover(long long pixel, int boxWidth)
    {
        for (long long r = top(pixel); r < bottom(pixel); ++r) {
            long long& reach = reached[static_cast<std::size_t>(r)];
            reach = std::max(reach, static_cast<long long>(boxWidth));
        }
    }

private:
    long long top(long long pixel) const { return std::max(0LL, pixel - 6); }
    long long bottom(long long pixel) const
    {
        return std::min(static_cast<long long>(reached.size()), pixel - 6 + boxHeight);
    }

    std::vector<long long> reached;
    long long visible;
    long long boxHeight;
};

/// The labels of one direction that show, in the order they are drawn: from
/// the last tick pixel of `band` backwards, the latest label of each pixel
/// whose box reaches what `cover` has not covered yet, again and again.
template <typename Cover>
std::vector<Label> visibleLabels(const Direction& direction, const Marks& marks,
                                 const LabelWidths& widths, std::pair<long long, long long> band,
                                 Cover& cover)
{
    std::vector<Label> chosen;
    std::array<std::pair<long long, long long>, 3> textRanges{};
    for (std::size_t r = 0; r < marks.runCount(); ++r) {
        textRanges[r] = LabelSearch(marks, marks.run(r), widths).withText();
    }
    forEachPixelGroupBackwards(
        marks, [&](double v) { return direction.order(v); },
        direction.orderLow(band.first, band.second), direction.orderHigh(band.first, band.second),
        [&](const Marks::Run& run, long long first, long long last, long long order) {
            const auto [textFirst, textLast] =
                textRanges[static_cast<std::size_t>(&run - &marks.run(0))];
            first = std::max(first, textFirst);
            last = std::min(last, textLast);
            const long long pixel = direction.pixelOfOrder(order);
            const LabelSearch search(marks, run, widths);
            while (first <= last) {
                const std::optional<int> need = cover.uncovered(pixel, widths.widest);
                const std::optional<long long> found =
                    need ? search.latestWider(first, last, *need) : std::nullopt;
                if (!found) {
                    break;
                }
                const double value = search.position(*found);
                cover.cover(pixel, widths.textWidth(FormatLabelValue(value)));
                chosen.push_back({value, pixel});
                last = *found - 1;
            }
        });
    std::reverse(chosen.begin(), chosen.end());
    return chosen;
}

/// The labels of `interval` in one direction, each with its box's top-left
/// corner at `place(tick pixel)`;
/// `choose` picks the ones that show. Mapping failures come as in the layers.
template <typename Choose, typename Place>
void drawLabels(PlotTarget& target, const QColor& text, const QColor& box,
                const Direction& direction, double interval, Choose choose, Place place)
{
    const Marks marks = direction.marks(interval);
    if (marks.empty()) {
        return;
    }
    const std::exception_ptr lastFailure = mapEnds(marks, direction);
    std::vector<CanvasLabel> labels;
    for (const Label& label : choose(marks)) {
        const auto [x, y] = place(label.pixel);
        labels.push_back({x, y, FormatLabelValue(label.value)});
    }
    target.labels(labels, text, box);
    if (lastFailure) {
        std::rethrow_exception(lastFailure);
    }
}

} // namespace

void DrawAxisText(PlotTarget& target, const ViewMapping& mapping,
                  const PlotOptions::Layer& axisText, TColor background)
{
    const double ix = intervalValue(axisText.IX);
    const double iy = intervalValue(axisText.IY);
    const QColor fontColor = toQColor(axisText.Color);
    const QColor box = toQColor(background);
    if (target.size().isEmpty()) {
        return;
    }
    const long long row0 = tame(mapping.YToPixel(0));
    const long long col0 = tame(mapping.XToPixel(0));
    const QFontMetrics metrics = canvasFontMetrics();
    const LabelWidths widths(metrics);
    const long long width = mapping.width();
    const long long height = mapping.height();
    const long long boxHeight = metrics.height();

    const long long top = row0 + 4;
    const Direction columns(mapping, false);
    drawLabels(
        target, fontColor, box, columns, ix,
        [&](const Marks& marks) {
            if (top >= height || top + boxHeight <= 0) {
                return std::vector<Label>{};
            }
            ColumnCover cover(width);
            return visibleLabels(columns, marks, widths, ColumnCover::band(width, widths.widest),
                                 cover);
        },
        [&](long long pixel) {
            return std::pair{pixel - 3, top};
        });

    const long long left = col0 + 4;
    const Direction rows(mapping, true);
    drawLabels(
        target, fontColor, box, rows, iy,
        [&](const Marks& marks) {
            if (left >= width) {
                return std::vector<Label>{};
            }
            RowCover cover(width, height, left, boxHeight);
            return visibleLabels(rows, marks, widths, RowCover::band(height, boxHeight), cover);
        },
        [&](long long pixel) {
            return std::pair{left, pixel - 6};
        });
}

} // namespace kurvaro
