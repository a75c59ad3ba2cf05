// The function curves on the designed scenario: 473 x 462 pixels, the view
// -5..5 x -5..5.

#include "PlotTestSupport.h"
#include "model/Faults.h"
#include "parser/Parser10.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

using namespace kurvaro;

namespace {

class CurvesTest : public ::testing::Test
{
protected:
    CurvesTest() { host.hideAllLayers(); }

    void show(int n, const char* expression, TColor color = testcolors::curve)
    {
        host.functionSlots[n - 1] = FunctionSlot{QString::fromUtf8(expression), true, color};
    }
    const QImage& draw()
    {
        renderer.Redraw();
        return renderer.PlotBitmap();
    }
    /// The row of f at column c, if the mapping can be computed.
    std::optional<long long> row(const std::function<double(double)>& f, long long c)
    {
        try {
            return renderer.mapping().YToPixel(f(renderer.mapping().PixelToX(c)));
        } catch (const EInvalidOp&) {
            return std::nullopt;
        }
    }
    /// Checks the start pixel of every segment that the clipping rule draws,
    /// and that columns whose segments are all dropped stay clean.
    void expectCurve(const QImage& image, const std::function<double(double)>& f)
    {
        const long long h = host.size.height();
        auto inside = [h](std::optional<long long> r) { return r && *r >= 1 && *r <= h; };
        for (long long c = 1; c < host.size.width(); ++c) {
            const auto from = row(f, c), to = row(f, c + 1), before = row(f, c - 1);
            const bool drawn = from && to && (inside(from) || inside(to));
            if (drawn && *from >= 0 && *from < h) {
                EXPECT_EQ(image.pixel(int(c), int(*from)), rgbOf(testcolors::curve))
                    << "start of the segment from column " << c;
            }
            const bool drawnBefore = c > 1 && before && from && (inside(before) || inside(from));
            if (!drawn && !drawnBefore) {
                EXPECT_EQ(countColor(image, QRect(int(c), 0, 1, int(h)), testcolors::curve), 0)
                    << "column " << c << " has no segment";
            }
        }
        EXPECT_EQ(countColor(image, QRect(0, 0, 1, int(h)), testcolors::curve), 0)
            << "column 0 is never sampled";
    }

    TestHost host;
    TestRenderer renderer{host};
};

TEST_F(CurvesTest, Parabola)
{
    show(1, "x^2");
    const QImage& image = draw();
    expectCurve(image, [](double x) { return x * x; });
    EXPECT_EQ(image.pixel(236, 231), rgbOf(testcolors::curve)) << "the vertex";
}

TEST_F(CurvesTest, SpacesAreRemovedBeforeCompiling)
{
    show(1, "x ^ 2");
    const QImage spaced = draw();
    show(1, "x^2");
    EXPECT_EQ(draw(), spaced);
    EXPECT_TRUE(host.warnings().isEmpty());
}

TEST_F(CurvesTest, HyperbolaBranchesAreNotJoined)
{
    show(1, "1/x");
    const QImage& image = draw();
    expectCurve(image, [](double x) { return 1 / x; });
    EXPECT_EQ(countColor(image, QRect(230, 0, 13, 462), testcolors::curve), 0)
        << "the samples next to 0 both lie far outside";
}

TEST_F(CurvesTest, TangentPolesAreNotJoined)
{
    show(1, "tan(x)*0.2");
    const QImage& image = draw();
    expectCurve(image, [](double x) { return std::tan(x) * 0.2; });
    // x = pi/2 lies between columns 310 and 311: both samples are outside.
    EXPECT_EQ(countColor(image, QRect(310, 0, 2, 462), testcolors::curve), 0);
    // The last sample inside (column 308) is joined to the first outside with a
    // steep stroke to the top border.
    for (int y = 0; y <= 75; ++y) {
        EXPECT_GT(countColor(image, QRect(308, y, 2, 1), testcolors::curve), 0) << "row " << y;
    }
}

TEST_F(CurvesTest, RowsBeyondTheIntegerRangeSkipTheirSegments)
{
    show(1, "1/x^10");
    const QImage& image = draw();
    for (long long c : {236, 237}) {
        EXPECT_THROW(renderer.mapping().YToPixel(std::pow(renderer.mapping().PixelToX(c), -10)),
                     EInvalidOp);
    }
    EXPECT_EQ(countColor(image, QRect(200, 0, 73, 462), testcolors::curve), 0);
    EXPECT_GT(countColor(image, QRect(272, 0, 10, 1), testcolors::curve), 0)
        << "the right branch enters at the top edge near x = 0.85";
    EXPECT_GT(countColor(image, QRect(192, 0, 10, 1), testcolors::curve), 0)
        << "the left branch leaves it near x = -0.85";
}

TEST_F(CurvesTest, AnEmptyVisibleExpressionDrawsTheLineYEqualsZero)
{
    show(2, "");
    const QImage& image = draw();
    EXPECT_EQ(countColor(image, QRect(1, 231, 472, 1), testcolors::curve), 472);
    EXPECT_EQ(countColor(image, image.rect(), testcolors::curve), 472) << "column 0 stays clean";
    EXPECT_TRUE(host.warnings().isEmpty());
}

TEST_F(CurvesTest, AFailedSampleCarriesTheLastGoodValueForward)
{
    // 512 columns over -4..4: column 256 lies exactly on x = 0, where x/x fails.
    host.size = QSize(512, 512);
    host.setRange(QStringLiteral("-4"), QStringLiteral("4"), QStringLiteral("-4"),
                  QStringLiteral("4"));
    show(1, "x/x");
    const QImage& image = draw();
    const int row = 512 - 64 * 5; // y = 1
    EXPECT_EQ(image.pixel(254, row), rgbOf(testcolors::curve));
    EXPECT_NE(image.pixel(255, row), rgbOf(testcolors::curve)) << "no segment into column 256";
    EXPECT_EQ(image.pixel(256, row), rgbOf(testcolors::curve))
        << "the next segment starts at the failed column from the last good value";
    EXPECT_EQ(countColor(image, image.rect(), testcolors::curve), 510);
}

TEST_F(CurvesTest, NoSegmentBeforeTheFirstGoodValue)
{
    // sqrt fails left of 0; the first good sample is x = 0 at column 256.
    host.size = QSize(512, 512);
    host.setRange(QStringLiteral("-4"), QStringLiteral("4"), QStringLiteral("-4"),
                  QStringLiteral("4"));
    show(1, "sqrt(x)*0+1");
    const QImage& image = draw();
    EXPECT_EQ(countColor(image, QRect(0, 0, 256, 512), testcolors::curve), 0);
    EXPECT_EQ(image.pixel(256, 512 - 64 * 5), rgbOf(testcolors::curve));
}

TEST_F(CurvesTest, ACompileFailureIsReportedAndTheOtherSlotsAreDrawn)
{
    show(1, "x", colors::clBlack);
    show(2, "-x", colors::clGreen);
    show(3, "x +* 2");
    show(4, "2", colors::clBlue);
    renderer.Redraw();
    const QString warning = QStringLiteral("Fehler beim Berechnen der 3. Funktion: \"x+*2\".\r\n"
                                           "Überprüfen Sie die richtige Schreibweise !");
    const QStringList expected = {"enable:0",
                                  "pump",
                                  "present:473x462",
                                  "pump", // slot 1
                                  "pump",
                                  "present:473x462",
                                  "pump", // slot 2
                                  "pump",
                                  "present:473x462",
                                  "pump",               // slot 3
                                  "warning:" + warning, //
                                  "pump",
                                  "present:473x462",
                                  "pump", // slot 4
                                  "enable:1",
                                  "present:473x462"};
    EXPECT_EQ(host.log, expected);
    const QImage& image = renderer.PlotBitmap();
    EXPECT_GT(countColor(image, image.rect(), colors::clBlack), 400);
    EXPECT_GT(countColor(image, image.rect(), colors::clGreen), 400);
    EXPECT_EQ(countColor(image, QRect(1, 139, 472, 1), colors::clBlue), 472) << "slot 4: y = 2";
    EXPECT_EQ(countColor(image, image.rect(), testcolors::curve), 0) << "slot 3 draws nothing";
    EXPECT_FALSE(renderer.ParserErrorFlag()) << "slot 4 reset it";
}

TEST_F(CurvesTest, AHiddenSlotIsNeitherCompiledNorReported)
{
    host.functionSlots[0] = FunctionSlot{QStringLiteral("((("), false, colors::clBlack};
    renderer.Redraw();
    EXPECT_TRUE(host.warnings().isEmpty());
    EXPECT_EQ(host.log, (QStringList{"enable:0", "enable:1", "present:473x462"}));
}

TEST_F(CurvesTest, AOnePixelWideAreaStillReportsACompileFailure)
{
    host.size = QSize(1, 462);
    show(1, "x+");
    show(2, "x");
    renderer.Redraw();
    EXPECT_EQ(host.warnings().size(), 1);
    EXPECT_EQ(countColor(renderer.PlotBitmap(), renderer.PlotBitmap().rect(), testcolors::curve),
              0);
}

TEST_F(CurvesTest, TheExpressionIsCompiledForEveryColumn)
{
    // The parser's text after the redraw shows it was handed the slot's text.
    show(1, "x * 2");
    renderer.Redraw();
    EXPECT_EQ(renderer.Parser1().Expression(), "x*2");
    EXPECT_DOUBLE_EQ(renderer.Parser1().X, renderer.mapping().PixelToX(473)) << "the last column";
}

} // namespace
