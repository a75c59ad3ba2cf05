// What a presentation hands over: the whole picture after clearing, then
// only what was drawn since the presentation before, so that a window which
// copies just those rectangles always shows PlotBitmap.

#include "PlotTestSupport.h"
#include "plot/ChangedArea.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <vector>

// Rectangles in failure messages as x,y WxH (found by argument lookup).
void PrintTo(const QRect& r, std::ostream* out)
{
    *out << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

using namespace kurvaro;

namespace {

constexpr int strip = ChangedArea::StripWidth;
/// The rows a strip may grow by when it is joined to a neighbour of one row.
constexpr int slackRows = static_cast<int>(ChangedArea::MergeSlack / strip);

TEST(ChangedAreaTest, SegmentsBecomeOneRectanglePerStripInsideThePicture)
{
    struct Segment
    {
        long long x0, y0, x1, y1;
    };
    struct Case
    {
        std::vector<Segment> segments;
        std::vector<QRect> expected;
        const char* reason;
    };
    const long long far = std::numeric_limits<long long>::max();
    const Case cases[] = {
        {{}, {}, "nothing drawn, nothing to show"},
        {{{3, 10, 4, 20}}, {QRect(0, 10, strip, 11)}, "one segment, one strip"},
        {{{4, 20, 3, 10}}, {QRect(0, 10, strip, 11)}, "ends in any order"},
        {{{3, 10, 4, 20}, {4, 20, 5, 5}, {5, 5, 6, 7}},
         {QRect(0, 5, strip, 16)},
         "the strip reaches from the highest to the lowest row"},
        {{{strip - 1, 40, strip, 50}},
         {QRect(0, 40, 2 * strip, 11)},
         "a segment across a strip's border marks both strips, shown as one"},
        {{{strip - 1, 10, strip - 1, 10}, {strip, 10, strip, 10 + slackRows}},
         {QRect(0, 10, 2 * strip, slackRows + 1)},
         "neighbours whose union adds just the slack are joined"},
        {{{strip - 1, 10, strip - 1, 10}, {strip, 10, strip, 10 + slackRows + 1}},
         {QRect(0, 10, strip, 1), QRect(strip, 10, strip, slackRows + 2)},
         "one row more and they stay apart"},
        {{{1, -far, 2, far}}, {QRect(0, 0, strip, 90)}, "rows far outside are cut"},
        {{{1, -5, 2, -1}}, {}, "wholly above the picture"},
        {{{1, 90, 2, 500}}, {}, "wholly below"},
        {{{-far, 3, -1, 3}, {100, 3, far, 3}}, {}, "wholly beside it"},
        {{{3 * strip + 1, 0, 3 * strip + 2, 89}},
         {QRect(3 * strip, 0, 100 - 3 * strip, 90)},
         "the last strip ends with the picture"},
        {{{3, 10, 4, 10}, {2 * strip + 1, 30, 2 * strip + 2, 31}},
         {QRect(0, 10, strip, 1), QRect(2 * strip, 30, strip, 2)},
         "strips without a change are left out"},
    };
    for (const Case& c : cases) {
        ChangedArea changed;
        changed.setWhole(QSize(100, 90));
        changed.clear();
        for (const Segment& s : c.segments) {
            changed.add(s.x0, s.y0, s.x1, s.y1);
        }
        EXPECT_EQ(changed.rects(), c.expected) << c.reason;
        EXPECT_EQ(changed.isEmpty(), c.expected.empty()) << c.reason;
    }
}

TEST(ChangedAreaTest, AfterClearingTheWholePictureAndThenOnlyWhatFollows)
{
    ChangedArea changed;
    changed.setWhole(QSize(100, 90));
    changed.add(3, 10, 4, 20);
    EXPECT_EQ(changed.rects(), std::vector<QRect>{QRect(0, 0, 100, 90)}) << "cleared: all of it";
    changed.clear();
    EXPECT_TRUE(changed.isEmpty());
    changed.add(3, 10, 4, 20);
    EXPECT_EQ(changed.rects(), std::vector<QRect>{QRect(0, 10, strip, 11)});
    changed.clear();
    EXPECT_TRUE(changed.rects().empty()) << "presented: nothing left over";
    changed.setWhole(QSize(0, 0));
    EXPECT_TRUE(changed.isEmpty()) << "an empty picture has nothing to show";
    changed.add(0, 0, 5, 5);
    EXPECT_TRUE(changed.isEmpty());
}

/// A renderer whose host checks, at the pump after each presentation, that
/// the copy it keeps from the changed rectangles alone is PlotBitmap.
struct CheckedRedraw
{
    explicit CheckedRedraw(TestHost& host) : host(host), renderer(host)
    {
        host.onPump = [this] { check(); };
    }

    void check()
    {
        if (this->host.log.size() < 2 ||
            !this->host.log[this->host.log.size() - 2].startsWith(QStringLiteral("present:"))) {
            return; // the pump before a presentation: the picture has moved on
        }
        ++checks;
        EXPECT_EQ(host.lastPresented, renderer.PlotBitmap()) << "presentation " << checks;
        long long area = 0;
        for (const QRect& r : host.lastChanged) {
            area += static_cast<long long>(r.width()) * r.height();
        }
        areas.push_back(area);
    }

    void redraw()
    {
        host.log.clear();
        areas.clear();
        checks = 0;
        renderer.Redraw();
        EXPECT_EQ(host.lastPresented, renderer.PlotBitmap()) << "the last presentation";
        EXPECT_FALSE(host.log.join(u' ').contains(QStringLiteral("outside:")))
            << host.log.join(u' ').toStdString();
    }

    TestHost& host;
    TestRenderer renderer;
    int checks = 0;
    std::vector<long long> areas;
};

TEST(PresentationTest, EveryPresentationMakesTheCopyShownEqualPlotBitmap)
{
    struct Case
    {
        QSize size;
        std::vector<const char*> formulas;
        const char* reason;
    };
    const Case cases[] = {
        {QSize(473, 462), {"sin(x)*2", "x^2-3", "tan(x)*0.2"}, "ordinary curves and steep poles"},
        {QSize(473, 462), {"1/x^10", "1/x", "ln(x)"}, "rows beyond the range, failing samples"},
        {QSize(473, 462), {"", "4.99", "-5"}, "lines along the edges and y = 0"},
        {QSize(97, 1000), {"x^3", "sin(x*20)*5"}, "narrow and tall"},
        {QSize(1000, 7), {"sin(x)", "x"}, "wide and flat"},
        {QSize(1, 30), {"x", "x^2"}, "one column: no segment"},
    };
    for (const Case& c : cases) {
        TestHost host;
        host.size = c.size;
        for (std::size_t n = 0; n < c.formulas.size(); ++n) {
            host.functionSlots[n] =
                FunctionSlot{QString::fromLatin1(c.formulas[n]), true, DesignedSlotColors[n]};
        }
        CheckedRedraw redraw(host);
        redraw.redraw();
        EXPECT_EQ(redraw.checks, static_cast<int>(c.formulas.size())) << c.reason;
        // A second redraw of the same picture goes through the same steps.
        redraw.redraw();
        EXPECT_EQ(redraw.checks, static_cast<int>(c.formulas.size())) << c.reason;
    }
}

TEST(PresentationTest, AfterTheBackgroundOnlyWhatTheCurvesTouched)
{
    TestHost host;
    host.functionSlots[0] = FunctionSlot{QStringLiteral("1"), true, colors::clRed};
    host.functionSlots[1] = FunctionSlot{QStringLiteral("x/100"), true, colors::clBlue};
    host.functionSlots[2] = FunctionSlot{QStringLiteral("x"), true, colors::clGreen};
    CheckedRedraw redraw(host);
    redraw.redraw();
    const long long whole = 473LL * 462;
    // The pumps follow the presentations before slots 1, 2 and 3; the last
    // presentation (after slot 3) is checked after the redraw.
    ASSERT_EQ(redraw.areas.size(), 3u);
    EXPECT_EQ(redraw.areas[0], whole) << "after clearing: the whole picture";
    EXPECT_EQ(redraw.areas[1], 473LL * 1) << "slot 1, a level line: one row across";
    EXPECT_LE(redraw.areas[2], 473LL * 6) << "slot 2, almost level: a few rows across";
    long long diagonal = 0;
    for (const QRect& r : host.lastChanged) {
        diagonal += static_cast<long long>(r.width()) * r.height();
    }
    EXPECT_LT(diagonal, whole / 4) << "slot 3, the diagonal: strips along it";
}

TEST(PresentationTest, ARedrawAtAnotherSizeStartsWithTheWholePicture)
{
    TestHost host;
    host.functionSlots[0] = FunctionSlot{QStringLiteral("sin(x)"), true, colors::clRed};
    CheckedRedraw redraw(host);
    for (const QSize size :
         {QSize(473, 462), QSize(600, 300), QSize(200, 500), QSize(0, 0), QSize(473, 462)}) {
        host.size = size;
        redraw.redraw();
        ASSERT_FALSE(redraw.areas.empty());
        EXPECT_EQ(redraw.areas.front(), static_cast<long long>(size.width()) * size.height());
    }
}

TEST(PresentationTest, APresentationWithoutDrawingNamesNothing)
{
    TestHost host;
    host.functionSlots[0] = FunctionSlot{QStringLiteral("sin(x)"), true, colors::clRed};
    TestRenderer renderer(host);
    renderer.Redraw();
    renderer.PresentPlot();
    EXPECT_TRUE(host.lastChanged.empty()) << "again, as the zoom outline's wipe asks for it";
    host.ranges[RangeField::XMin] = QStringLiteral("abc");
    renderer.Redraw();
    EXPECT_TRUE(host.lastChanged.empty()) << "a refused range draws nothing";
    EXPECT_EQ(host.lastPresented, renderer.PlotBitmap());
}

} // namespace
