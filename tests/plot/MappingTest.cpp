// Reading the range fields and the mapping between plane and pixels.

#include "PlotTestSupport.h"
#include "model/Faults.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kurvaro;

namespace {

struct RangeCase
{
    const char* xmin;
    const char* xmax;
    const char* ymin;
    const char* ymax;
    bool accepted;
    const char* warning; // empty: none
    const char* reason;
};

const RangeCase rangeCases[] = {
    {"-5", "5", "-5", "5", true, "", "the designed range"},
    {"x", "abc", "-5", "5", false, "Fehler in XMax an Stelle: 1", "XMax is read first"},
    {"-5", "0,5", "-5", "5", false, "Fehler in XMax an Stelle: 2", "a decimal comma"},
    {"-5", "  7", "-5", "5", true, "", "leading blanks are accepted"},
    {"-5", "7 ", "-5", "5", false, "Fehler in XMax an Stelle: 2", "a trailing blank"},
    {"-5", "5", "", "5", false, "Fehler in YMin an Stelle: 1", "an empty Ymin"},
    {"1-", "5", "-5", "5", false, "Fehler in XMin an Stelle: 2", "XMin second"},
    {"-5", "5", "-5", "5e", false, "Fehler in YMax an Stelle: 3", "YMax third"},
    {".", "0", "-5", "5", false, "X-Breich ist 0. Überprüfen Sie den Bereich Xmin-Xmax.",
     "both x bounds are 0"},
    {"-5", "5", "2", "2.0", false, "Y-Breich ist 0. Überprüfen Sie den Bereich Ymin-Ymax.",
     "equal y bounds"},
    {"3", "3", "1", "1", false, "X-Breich ist 0. Überprüfen Sie den Bereich Xmin-Xmax.",
     "the x check comes before the y check"},
};

TEST(ReadViewRangeTest, ReportsTheFirstProblem)
{
    for (const RangeCase& c : rangeCases) {
        TestHost host;
        TestRenderer renderer(host);
        host.setRange(QString::fromUtf8(c.xmin), QString::fromUtf8(c.xmax),
                      QString::fromUtf8(c.ymin), QString::fromUtf8(c.ymax));
        EXPECT_EQ(renderer.ReadViewRange(), c.accepted) << c.reason;
        const QStringList expected =
            *c.warning ? QStringList{QString::fromUtf8(c.warning)} : QStringList{};
        EXPECT_EQ(host.warnings(), expected) << c.reason;
    }
}

TEST(ReadViewRangeTest, ReversedBoundsAreExchangedInTextsAndValues)
{
    TestHost host;
    TestRenderer renderer(host);
    host.setRange(QStringLiteral("2"), QStringLiteral("-3"), QStringLiteral("7.5"),
                  QStringLiteral(" 1"));
    ASSERT_TRUE(renderer.ReadViewRange());
    EXPECT_TRUE(host.warnings().isEmpty());
    EXPECT_EQ(host.ranges[RangeField::XMin], QStringLiteral("-3"));
    EXPECT_EQ(host.ranges[RangeField::XMax], QStringLiteral("2"));
    EXPECT_EQ(host.ranges[RangeField::YMin], QStringLiteral(" 1"));
    EXPECT_EQ(host.ranges[RangeField::YMax], QStringLiteral("7.5"));
    const ViewRange& r = renderer.LastRange();
    EXPECT_EQ(r.XMin, -3);
    EXPECT_EQ(r.XMax, 2);
    EXPECT_EQ(r.YMin, 1);
    EXPECT_EQ(r.YMax, 7.5);
}

TEST(ReadViewRangeTest, ValuesAreStoredAsTheyAreRead)
{
    TestHost host;
    TestRenderer renderer(host);
    ASSERT_TRUE(renderer.ReadViewRange());
    host.setRange(QStringLiteral("-1"), QStringLiteral("9"), QStringLiteral("bad"),
                  QStringLiteral("8"));
    EXPECT_FALSE(renderer.ReadViewRange());
    const ViewRange& r = renderer.LastRange();
    EXPECT_EQ(r.XMax, 9) << "read before the failing field";
    EXPECT_EQ(r.XMin, -1);
    EXPECT_EQ(r.YMax, 8);
    EXPECT_EQ(r.YMin, 0) << "a text that does not convert leaves 0";
}

TEST(ReadViewRangeTest, AValueTooLargeRaisesOverflow)
{
    TestHost host;
    TestRenderer renderer(host);
    host.ranges[RangeField::YMax] = QStringLiteral("1e400");
    EXPECT_THROW(renderer.ReadViewRange(), EOverflow);
    EXPECT_TRUE(host.warnings().isEmpty());
}

TEST(MappingTest, TheDesignedScenario)
{
    TestHost host;
    TestRenderer renderer(host);
    ASSERT_TRUE(renderer.ReadViewRange());
    EXPECT_EQ(renderer.mapping().ScaleX(), 47.3);
    EXPECT_EQ(renderer.mapping().ScaleY(), 46.2);
    struct Case
    {
        double plane;
        long long column;
        long long row;
        const char* reason;
    };
    const Case cases[] = {
        {0, 236, 231, "236.5 goes to the even 236; 231 exactly"},
        {-5, 0, 462, "the low bound maps to column 0 and row H"},
        {5, 473, 0, "the high bound maps one past the right edge and to row 0"},
        {1, 284, 185, "a multiple"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(renderer.mapping().XToPixel(c.plane), c.column) << c.reason;
        EXPECT_EQ(renderer.mapping().YToPixel(c.plane), c.row) << c.reason;
    }
    EXPECT_NEAR(renderer.mapping().PixelToX(473), 5.0, 1e-15);
    EXPECT_NEAR(renderer.mapping().PixelToY(0), 5.0, 1e-15);
    EXPECT_NEAR(renderer.mapping().PixelToX(1), -5 + 1 / 47.3, 1e-15);
    EXPECT_EQ(renderer.mapping().PixelToY(462), -5.0);
}

TEST(MappingTest, TheSizeIsReadAtEveryComputation)
{
    TestHost host;
    TestRenderer renderer(host);
    ASSERT_TRUE(renderer.ReadViewRange());
    host.size = QSize(1000, 100);
    EXPECT_EQ(renderer.mapping().ScaleX(), 100);
    EXPECT_EQ(renderer.mapping().YToPixel(0), 50);
}

TEST(MappingTest, AnEmptyOrUnorderedRangeHasNoScale)
{
    TestHost host;
    TestRenderer renderer(host);
    host.setRange(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("3"),
                  QStringLiteral("-2"));
    EXPECT_FALSE(renderer.ReadViewRange()); // leaves 0, 0 and 3, -2 behind
    EXPECT_EQ(renderer.mapping().ScaleX(), 0);
    EXPECT_EQ(renderer.mapping().ScaleY(), 0) << "YMin >= 0 >= YMax";
    EXPECT_EQ(renderer.mapping().PixelToX(100), 0);
    EXPECT_EQ(renderer.mapping().PixelToY(100), 0);
}

TEST(MappingTest, PixelsBeyondTheIntegerRangeRaiseInvalidOp)
{
    TestHost host;
    TestRenderer renderer(host);
    ASSERT_TRUE(renderer.ReadViewRange());
    EXPECT_THROW(renderer.mapping().YToPixel(1e18), EInvalidOp);
    EXPECT_THROW(renderer.mapping().XToPixel(-1e18), EInvalidOp);
    EXPECT_GT(renderer.mapping().YToPixel(-1e17), 4'000'000'000'000'000'000LL)
        << "still in the range";
    EXPECT_THROW(renderer.mapping().YToPixel(-2e17), EInvalidOp);
}

} // namespace
