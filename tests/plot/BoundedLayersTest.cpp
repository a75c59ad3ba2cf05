// The background layers with marks denser than the pixels, numbers of
// multiples beyond the integer range and views up to the double range:
// the same picture as drawing every mark in turn wherever that can be done,
// and an end in bounded time where it cannot.

#include "PlotTestSupport.h"

#include "model/Faults.h"
#include "plot/Canvas.h"
#include "plot/Layers.h"
#include "plot/NumberText.h"
#include "plot/ViewMapping.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

using namespace kurvaro;

namespace {

enum class Layer
{
    Grid,
    Scale,
    AxisText
};

const char* nameOf(Layer layer)
{
    return layer == Layer::Grid ? "grid" : layer == Layer::Scale ? "scale" : "axis text";
}

/// Ends the whole test program when `body` does not return within `seconds`:
/// a hang must not stall the run. Generous enough for the sanitizers.
void withinSeconds(int seconds, const std::string& what, const std::function<void()>& body)
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!done.wait_for(lock, std::chrono::seconds(seconds), [&] { return finished; })) {
            std::fprintf(stderr, "%s did not end within %d s\n", what.c_str(), seconds);
            std::abort();
        }
    });
    try {
        body();
    } catch (...) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        done.notify_one();
        watchdog.join();
        throw;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex);
        finished = true;
    }
    done.notify_one();
    watchdog.join();
}

QImage blankPicture(QSize size)
{
    QImage picture = newCanvasImage(size.width(), size.height());
    picture.fill(toQColor(testcolors::background));
    return picture;
}

PlotOptions::Layer layerOf(Layer layer, double ix, double iy)
{
    const TColor colors[] = {testcolors::grid, testcolors::scale, testcolors::text};
    return PlotOptions::Layer{true, QString::number(ix, 'g', 17), QString::number(iy, 'g', 17),
                              colors[static_cast<int>(layer)]};
}

/// The painter under test.
QImage painted(Layer layer, const ViewMapping& mapping, double ix, double iy)
{
    QImage picture = blankPicture(QSize(mapping.width(), mapping.height()));
    const PlotOptions::Layer options = layerOf(layer, ix, iy);
    switch (layer) {
    case Layer::Grid:
        DrawGrid(picture, mapping, options);
        break;
    case Layer::Scale:
        DrawScale(picture, mapping, options);
        break;
    case Layer::AxisText:
        DrawAxisText(picture, mapping, options, testcolors::background);
        break;
    }
    return picture;
}

/// The multiples of `g` over [low, high] as every mark is drawn in turn:
/// k from nearest(low / g) to nearest(high / g), at k / (1 / g). False when
/// the numbers leave the 64-bit range or there are more than `limit`.
bool eachMultiple(double g, double low, double high, long long limit,
                  const std::function<void(long long, double)>& mark)
{
    if (g == 0) {
        return true;
    }
    const long double r = 1.0L / g;
    long long first = 0, last = 0;
    try {
        first = nearestInt64(low * r);
        last = nearestInt64(high * r);
    } catch (const EInvalidOp&) {
        return false;
    }
    if (last >= first && static_cast<unsigned long long>(last) - first >= 1ULL * limit) {
        return false;
    }
    for (long long k = first; k <= last; ++k) {
        mark(k, storeDouble(k / r));
    }
    return true;
}

long long clamp40(long long v)
{
    return std::clamp(v, -(1LL << 40), 1LL << 40);
}

/// The layer drawn mark by mark; nullopt where that cannot be done.
std::optional<QImage> reference(Layer layer, const ViewMapping& m, double ix, double iy,
                                long long limit)
{
    QImage picture = blankPicture(QSize(m.width(), m.height()));
    const QRgb color = toQColor(layerOf(layer, ix, iy).Color).rgb();
    const ViewRange& r = m.range();
    const long long w = m.width(), h = m.height();
    const long long row0 = layer == Layer::Grid ? 0 : clamp40(m.YToPixel(0));
    const long long col0 = layer == Layer::Grid ? 0 : clamp40(m.XToPixel(0));
    QPainter painter(&picture);
    painter.setFont(canvasFont());
    painter.setPen(toQColor(testcolors::text));
    const QColor box = toQColor(testcolors::background);
    const auto label = [&](long long k, double v, long long x, long long y) {
        if (k == 0) {
            return;
        }
        try {
            drawCanvasText(painter, picture.size(), x, y, FormatLabelValue(v), box);
        } catch (const EInvalidOp&) {
        }
    };
    const bool xDone = eachMultiple(ix, r.XMin, r.XMax, limit, [&](long long k, double x) {
        const long long c = m.XToPixel(x);
        if (layer == Layer::Grid)
            drawCanvasLine(picture, color, c, 0, c, h);
        else if (layer == Layer::Scale)
            drawCanvasLine(picture, color, c, row0 - 2, c, row0 + 3);
        else
            label(k, x, clamp40(c) - 3, row0 + 4);
    });
    const bool yDone = eachMultiple(iy, r.YMin, r.YMax, limit, [&](long long k, double y) {
        const long long row = m.YToPixel(y);
        if (layer == Layer::Grid)
            drawCanvasLine(picture, color, 0, row, w, row);
        else if (layer == Layer::Scale)
            drawCanvasLine(picture, color, col0 - 2, row, col0 + 3, row);
        else
            label(k, y, col0 + 4, clamp40(row) - 6);
    });
    if (!xDone || !yDone) {
        return std::nullopt;
    }
    painter.end();
    return picture;
}

struct ExactCase
{
    ViewRange view;
    QSize size;
    double ix;
    double iy;
    const char* reason;
};

/// Cases where every mark can still be drawn in turn, the painters' searches
/// at work: several to many marks per pixel, labels that overlap.
const ExactCase exactCases[] = {
    {{-5, 5, -5, 5}, {473, 462}, 0.00166, 1, "6000 x labels: the origin's pixel keeps k = -1"},
    {{-5, 5, -5, 5}, {473, 462}, 1, 0.00166, "the same upright"},
    {{-5, 5, -5, 5}, {473, 462}, 0.001, 0.0005, "labels with three decimals only"},
    {{-1, 1, -1, 1}, {200, 150}, 0.0010000333, 0.0009999, "decimals drifting from mark to mark"},
    {{-0.01, 0.01, -0.02, 0.01}, {300, 200}, 1e-6, 3e-6, "labels that round to 0 and -0"},
    {{922337203685470, 922337203685480, -1, 1},
     {200, 100},
     0.01,
     0.1,
     "labels that run out of the fixed-point range"},
    {{-922337203685480, -922337203685470, 922337203685470, 922337203685480},
     {150, 300},
     0.01,
     0.01,
     "the negative end of the fixed-point range, upright at the positive one"},
    {{-5, 5, -5, 5}, {473, 462}, -1, -1, "a negative interval draws nothing"},
    {{0.2, 0.8, 0.2, 0.8}, {100, 100}, 1, 1, "two marks, both outside the view"},
    {{-5, 5, -5, 5}, {1, 1}, 0.01, 0.01, "one pixel"},
};

TEST(BoundedLayersTest, DenseMarksGiveThePictureOfDrawingEveryMark)
{
    LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const ExactCase& c : exactCases) {
        const ViewMapping mapping(c.view, c.size);
        for (const Layer layer : {Layer::Grid, Layer::Scale, Layer::AxisText}) {
            const std::optional<QImage> expected = reference(layer, mapping, c.ix, c.iy, 1 << 20);
            ASSERT_TRUE(expected) << c.reason;
            EXPECT_EQ(painted(layer, mapping, c.ix, c.iy), *expected)
                << nameOf(layer) << ": " << c.reason;
        }
    }
}

TEST(BoundedLayersTest, KeepingOnlyTheLastLabelPerPixelWouldLoseLabels)
{
    // With 6000 labels over 473 columns, drawing only the last label that
    // lands on each column gives another picture than drawing them all.
    LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
    const ViewMapping mapping({-5, 5, -5, 5}, {473, 462});
    QImage lastPerColumn = blankPicture(QSize(473, 462));
    {
        std::map<long long, std::pair<long long, double>> last;
        eachMultiple(0.00166, -5, 5, 1 << 20, [&](long long k, double x) {
            last[mapping.XToPixel(x)] = {k, x};
        });
        QPainter painter(&lastPerColumn);
        painter.setFont(canvasFont());
        painter.setPen(toQColor(testcolors::text));
        for (const auto& [column, mark] : last) {
            if (mark.first != 0) {
                drawCanvasText(painter, lastPerColumn.size(), column - 3, 235,
                               FormatLabelValue(mark.second), toQColor(testcolors::background));
            }
        }
    }
    const QImage picture = painted(Layer::AxisText, mapping, 0.00166, 1e9);
    EXPECT_EQ(picture, reference(Layer::AxisText, mapping, 0.00166, 1e9, 1 << 20));
    EXPECT_NE(picture, lastPerColumn);
}

/// A random view and intervals with up to a few hundred marks per pixel.
ExactCase randomCase(std::mt19937_64& random)
{
    std::uniform_real_distribution<double> unit(0, 1);
    const auto between = [&](double lo, double hi) { return lo + (hi - lo) * unit(random); };
    const double centre = (unit(random) < 0.3 ? 0.0 : std::pow(10.0, between(-6, 14))) *
                          (unit(random) < 0.5 ? -1 : 1);
    const double extent =
        std::max(std::abs(centre) * std::pow(10.0, between(-9, 1)), std::pow(10.0, between(-6, 3)));
    const double low = centre - extent * between(0, 1);
    const double high = low + extent;
    const QSize size(static_cast<int>(between(8, 260)), static_cast<int>(between(8, 200)));
    const auto interval = [&](double span, int pixels) {
        const double perPixel = std::pow(10.0, between(-2, 1.6));
        double g = span / (pixels * perPixel);
        if (unit(random) < 0.5) { // a typed value has few digits
            g = QString::number(g, 'g', 2).toDouble();
        }
        return g;
    };
    return {{low, high, low * 0.5 - extent, high * 0.5 + extent},
            size,
            interval(high - low, size.width()),
            interval(high * 0.5 - low * 0.5 + 2 * extent, size.height()),
            "random"};
}

TEST(BoundedLayersTest, ARandomSweepMatchesDrawingEveryMark)
{
    std::mt19937_64 random(std::getenv("SEED") ? std::atoll(std::getenv("SEED")) : 20260613);
    int compared = 0;
    const int count = std::getenv("COUNT") ? std::atoi(std::getenv("COUNT")) : 300;
    for (int n = 0; n < count; ++n) {
        const ExactCase c = randomCase(random);
        // A decimal comma is narrower than a point in the label font.
        const LocaleScope locale(n % 2 == 0 ? QLocale(QLocale::English, QLocale::UnitedStates)
                                            : QLocale(QLocale::German, QLocale::Germany));
        const ViewMapping mapping(c.view, c.size);
        for (const Layer layer : {Layer::Grid, Layer::Scale, Layer::AxisText}) {
            std::optional<QImage> expected;
            try {
                expected = reference(layer, mapping, c.ix, c.iy, 40000);
            } catch (const Exception&) {
                continue; // a mapping failure of its own; the hostile cases look at those
            }
            if (!expected) {
                continue;
            }
            ++compared;
            const QImage picture = painted(layer, mapping, c.ix, c.iy);
            ASSERT_EQ(picture, *expected)
                << nameOf(layer) << " case " << n << ": view " << c.view.XMin << " .. "
                << c.view.XMax << " x " << c.view.YMin << " .. " << c.view.YMax << ", size "
                << c.size.width() << "x" << c.size.height() << ", intervals " << c.ix << ", "
                << c.iy;
        }
    }
    EXPECT_GT(compared, 600) << "most cases can be drawn mark by mark";
}

TEST(BoundedLayersTest, IntervalsCloseToRoundValuesKeepTheirRareLongerLabels)
{
    // An interval a hair off 0.001 gives labels with three decimals for long
    // stretches and four now and then; many marks share each row, so the
    // longer labels sit deep inside the marks of a row and must be found.
    std::mt19937_64 random(std::getenv("SEED") ? std::atoll(std::getenv("SEED")) : 11);
    std::uniform_real_distribution<double> unit(0, 1);
    const int count = std::getenv("COUNT") ? std::atoi(std::getenv("COUNT")) : 25;
    for (int n = 0; n < count; ++n) {
        const double round = std::pow(10.0, -1 - static_cast<int>(unit(random) * 3));
        const double drift = std::pow(10.0, -3 - 6 * unit(random)) * (unit(random) < 0.5 ? -1 : 1);
        const double g = round * (1 + drift);
        const double centre = (unit(random) - 0.5) * 2000 * round;
        const double extent = g * (2000 + 8000 * unit(random));
        const ViewRange view{centre - extent / 2, centre + extent / 2, centre - extent / 2,
                             centre + extent / 2};
        const ViewMapping mapping(view, QSize(40 + static_cast<int>(unit(random) * 200),
                                              20 + static_cast<int>(unit(random) * 120)));
        const std::optional<QImage> expected = reference(Layer::AxisText, mapping, g, g, 40000);
        ASSERT_TRUE(expected);
        ASSERT_EQ(painted(Layer::AxisText, mapping, g, g), *expected)
            << "case " << n << ": interval " << g << " around " << centre << ", size "
            << mapping.width() << "x" << mapping.height();
    }
}

TEST(BoundedLayersTest, LabelGlyphsStayInsideTheirBoxesAndDigitsShareOneWidth)
{
    // Leaving out a label whose box later boxes cover relies on its glyphs
    // lying inside the box; finding the wider labels relies on the digits
    // being of one width, so that a label's width follows from its shape.
    QImage probe = newCanvasImage(200, 60);
    const QFontMetrics metrics(canvasFont(), &probe);
    const int digit = metrics.horizontalAdvance(QStringLiteral("0"));
    for (const char* text : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "-", ",", ".",
                             "-922337203685477,5808", "11,1111", "-0,0017"}) {
        const QString label = QString::fromLatin1(text);
        if (label.size() == 1 && label.at(0).isDigit()) {
            EXPECT_EQ(metrics.horizontalAdvance(label), digit) << text;
        }
        probe.fill(Qt::white);
        {
            QPainter painter(&probe);
            painter.setFont(canvasFont());
            painter.setPen(Qt::black);
            drawCanvasText(painter, probe.size(), 50, 20, label, QColor(Qt::white));
        }
        const QRect box(50, 20, metrics.horizontalAdvance(label), metrics.height());
        int inside = 0;
        for (int y = 0; y < probe.height(); ++y) {
            for (int x = 0; x < probe.width(); ++x) {
                if (probe.pixel(x, y) == qRgb(0, 0, 0)) {
                    EXPECT_TRUE(box.contains(x, y)) << text << " at " << x << "," << y;
                    inside += 1;
                }
            }
        }
        EXPECT_GT(inside, 0) << text;
    }
}

struct HostileCase
{
    ViewRange view;
    double ix;
    double iy;
    bool everyPixelGridded; ///< marks denser than the pixels both ways
    const char* reason;
};

constexpr double Denormal = 4.9406564584124654e-324;

const HostileCase hostileCases[] = {
    {{-5e18, 5e18, -5, 5}, 1, 1, false, "10^19 multiples beyond the integer range's middle"},
    {{-5, 5, -5, 5}, 1e-18, 1, false, "a tiny x interval at the default view"},
    {{-5, 5, -5, 5}, 1, 8e-19, false, "a tiny y interval at the default view"},
    {{-1e300, 1e300, -1e300, 1e300}, 1.5e281, 1.5e281, true, "a view of +-1e300"},
    {{-5, 5, -5, 5}, Denormal, Denormal, true, "the smallest denormal interval"},
    {{-1.7e308, 1.7e308, -1.7e308, 1.7e308}, 1e-300, 1, false, "the double range in tiny steps"},
    {{-1e-300, 1e-300, -5, 5}, Denormal, 1e-3, true, "a tiny view in denormal steps"},
    {{1e19, 1e19 + 8192, 1e19, 1e19 + 8192},
     1e-3,
     1e-3,
     false,
     "a view five doubles wide, far beyond the integer range in steps"},
};

/// The columns on which the grid of IX paints: those with the grid colour in
/// a row that no horizontal line crosses.
int griddedColumns(const QImage& picture, int row)
{
    return countColor(picture, QRect(0, row, picture.width(), 1), testcolors::grid);
}

TEST(BoundedLayersTest, HostileViewsAndIntervalsEndAndDrawWhatTheMarksShow)
{
    LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    const QSize size(1920, 1080);
    for (const HostileCase& c : hostileCases) {
        const ViewMapping mapping(c.view, size);
        std::array<QImage, 3> pictures;
        for (const Layer layer : {Layer::Grid, Layer::Scale, Layer::AxisText}) {
            const auto start = std::chrono::steady_clock::now();
            withinSeconds(10, std::string(nameOf(layer)) + ": " + c.reason, [&] {
                pictures[static_cast<std::size_t>(layer)] = painted(layer, mapping, c.ix, c.iy);
            });
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            std::printf("%-9s %8.1f ms  %s\n", nameOf(layer), took.count(), c.reason);
        }
        const QImage& grid = pictures[0];
        if (c.everyPixelGridded) {
            EXPECT_EQ(countColor(grid, grid.rect(), testcolors::grid), 1920 * 1080) << c.reason;
        }
        // The row of y = 0.5 lies between the lines of interval 1.
        const int freeRow = c.iy == 1 ? static_cast<int>(mapping.YToPixel(0.5)) : 0;
        if (c.ix < 1e-3) {
            EXPECT_EQ(griddedColumns(grid, freeRow), 1920) << c.reason << ": every column";
        }
    }
}

TEST(BoundedLayersTest, AViewFewDoublesWideShowsTheColumnsOfItsDoubles)
{
    // The numbers of the multiples pass 2^63: each double of the view is the
    // position of some mark, and there are five of them.
    const ViewMapping mapping({1e19, 1e19 + 8192, -5, 5}, {1920, 100});
    const QImage grid = painted(Layer::Grid, mapping, 1e-3, 1e9);
    std::vector<int> expected;
    for (double x = 1e19; x < 1e19 + 8192; x = std::nextafter(x, HUGE_VAL)) {
        expected.push_back(static_cast<int>(mapping.XToPixel(x)));
    }
    std::vector<int> columns;
    for (int c = 0; c < 1920; ++c) {
        if (grid.pixel(c, 10) == rgbOf(testcolors::grid)) {
            columns.push_back(c);
        }
    }
    EXPECT_EQ(columns, expected);
}

TEST(BoundedLayersTest, MultiplesBeyondTheIntegerRangeAreDrawnLikeDenseOnes)
{
    // 1e-300 at -5..5 has multiples far beyond 2^63; 1e-12 has 10^13 of them.
    const ViewMapping mapping({-5, 5, -5, 5}, {473, 462});
    for (const Layer layer : {Layer::Grid, Layer::Scale}) {
        EXPECT_EQ(painted(layer, mapping, 1e-300, 1e-300), painted(layer, mapping, 1e-12, 1e-12))
            << nameOf(layer);
    }
}

TEST(BoundedLayersTest, AMarkBeyondTheDoubleRangeEndsTheLayerAsTheMappingDoes)
{
    // The first multiple of 1e308 below -1.7e308 lies at -2e308.
    const ViewMapping mapping({-1.7e308, 1.7e308, -5, 5}, {200, 100});
    for (const Layer layer : {Layer::Grid, Layer::Scale, Layer::AxisText}) {
        EXPECT_THROW(painted(layer, mapping, 1e308, 1), EOverflow) << nameOf(layer);
    }
}

TEST(BoundedLayersTest, ARandomSweepOfHostileValuesEnds)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto magnitude = [&](double lo, double hi) {
        return std::pow(10.0, lo + (hi - lo) * unit(random)) * (unit(random) < 0.5 ? -1 : 1);
    };
    for (int n = 0; n < 60; ++n) {
        double a = magnitude(-320, 308), b = magnitude(-320, 308);
        if (a == b) {
            continue;
        }
        const ViewRange view{std::min(a, b), std::max(a, b), -5, 5};
        const double ix = std::abs(magnitude(-323, 308));
        const ViewMapping mapping(view, {640, 480});
        for (const Layer layer : {Layer::Grid, Layer::Scale, Layer::AxisText}) {
            withinSeconds(10, nameOf(layer), [&] {
                try {
                    painted(layer, mapping, ix, 1);
                } catch (const EMathError&) {
                    // the mapping's own failures for marks beyond its range
                }
            });
        }
    }
}

} // namespace
