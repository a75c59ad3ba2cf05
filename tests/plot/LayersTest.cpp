// The background layers on the designed scenario: 473 x 462 pixels, the view
// -5..5 x -5..5, all intervals 1.

#include "PlotTestSupport.h"

#include <QFontMetrics>
#include <QPainter>

#include "plot/Canvas.h"

#include <gtest/gtest.h>

using namespace kurvaro;

namespace {

/// The columns of x = -5 ... 5 and the rows of y = -5 ... 5 in the scenario.
const int gridColumns[] = {0, 47, 95, 142, 189, 236, 284, 331, 378, 426, 473};
const int gridRows[] = {462, 416, 370, 323, 277, 231, 185, 139, 92, 46, 0};

bool contains(const int (&list)[11], int v)
{
    return std::find(std::begin(list), std::end(list), v) != std::end(list);
}

class LayersTest : public ::testing::Test
{
protected:
    LayersTest() { host.hideAllLayers(); }
    const QImage& draw()
    {
        renderer.Redraw();
        return renderer.PlotBitmap();
    }
    TestHost host;
    TestRenderer renderer{host};
};

TEST_F(LayersTest, BackgroundFillsThePicture)
{
    const QImage& image = draw();
    ASSERT_EQ(image.size(), QSize(473, 462));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(countColor(image, image.rect(), testcolors::background), 473 * 462);
}

TEST_F(LayersTest, GridLinesAtTheMultiples)
{
    host.options.Grid.Visible = true;
    const QImage& image = draw();
    for (int x = 0; x < 473; ++x) {
        const int n = countColor(image, QRect(x, 0, 1, 462), testcolors::grid);
        EXPECT_EQ(n, contains(gridColumns, x) ? 462 : 10) << "column " << x;
    }
    for (int y = 0; y < 462; ++y) {
        const int n = countColor(image, QRect(0, y, 473, 1), testcolors::grid);
        EXPECT_EQ(n, contains(gridRows, y) ? 473 : 10) << "row " << y;
    }
}

TEST_F(LayersTest, AxesInColumn236AndRow231)
{
    host.options.Axis.Visible = true;
    const QImage& image = draw();
    EXPECT_EQ(countColor(image, QRect(236, 0, 1, 462), testcolors::axis), 462);
    EXPECT_EQ(countColor(image, QRect(0, 231, 473, 1), testcolors::axis), 473);
    EXPECT_EQ(countColor(image, image.rect(), testcolors::axis), 462 + 473 - 1);
}

TEST_F(LayersTest, NoAxisOnTheEdgeOfTheView)
{
    host.options.Axis.Visible = true;
    host.setRange(QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("-5"),
                  QStringLiteral("5"));
    const QImage& image = draw();
    EXPECT_EQ(countColor(image, image.rect(), testcolors::axis), 473) << "only the x axis";
}

TEST_F(LayersTest, TickAtOnePaintsFivePixels)
{
    host.options.Scale.Visible = true;
    const QImage& image = draw();
    for (int y = 226; y <= 236; ++y) {
        const bool tick = y >= 229 && y <= 233;
        EXPECT_EQ(image.pixel(284, y) == rgbOf(testcolors::scale), tick) << "row " << y;
    }
    EXPECT_EQ(countColor(image, QRect(0, 231, 473, 1), testcolors::scale), 10 + 5 - 1)
        << "ten ticks in the picture cross row 231, and the tick of y = 0 lies on it";
    EXPECT_EQ(countColor(image, image.rect(), testcolors::scale), 10 * 5 + 10 * 5 - 1);
}

TEST_F(LayersTest, TicksOfAViewStartingAtZero)
{
    host.options.Scale.Visible = true;
    host.setRange(QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("-5"),
                  QStringLiteral("5"));
    const QImage& image = draw();
    for (int row : gridRows) {
        if (row >= 462) {
            continue;
        }
        for (int x = 0; x <= 4; ++x) {
            EXPECT_EQ(image.pixel(x, row) == rgbOf(testcolors::scale), x <= 2)
                << "column " << x << " row " << row;
        }
    }
}

TEST_F(LayersTest, ANegativeIntervalDrawsNothing)
{
    host.options.Grid.Visible = true;
    host.options.Grid.IX = QStringLiteral("-1");
    const QImage& image = draw();
    EXPECT_EQ(countColor(image, QRect(47, 0, 1, 462), testcolors::grid), 10)
        << "only the horizontal lines cross the column";
}

/// The label `text` as drawn at (x, y) on a background picture of the scenario.
QImage labelAlone(const QString& text, int x, int y)
{
    QImage image = newCanvasImage(473, 462);
    image.fill(toQColor(testcolors::background));
    QPainter painter(&image);
    painter.setFont(canvasFont());
    painter.setPen(toQColor(testcolors::text));
    drawCanvasText(painter, image.size(), x, y, text, toQColor(testcolors::background));
    return image;
}

TEST_F(LayersTest, LabelsAtTheMultiplesAndNoneAtTheOrigin)
{
    LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    host.options.AxisText.Visible = true;
    const QImage& image = draw();
    QImage expected = newCanvasImage(473, 462);
    expected.fill(toQColor(testcolors::background));
    {
        QPainter painter(&expected);
        painter.setFont(canvasFont());
        painter.setPen(toQColor(testcolors::text));
        const QColor box = toQColor(testcolors::background);
        for (int k = -5; k <= 5; ++k) {
            if (k == 0) {
                continue;
            }
            drawCanvasText(painter, expected.size(), gridColumns[k + 5] - 3, 231 + 4,
                           QString::number(k), box);
        }
        for (int k = -5; k <= 5; ++k) {
            if (k == 0) {
                continue;
            }
            drawCanvasText(painter, expected.size(), 236 + 4, gridRows[k + 5] - 6,
                           QString::number(k), box);
        }
    }
    EXPECT_EQ(image, expected);
    EXPECT_EQ(countColor(image, QRect(230, 232, 10, 16), testcolors::text), 0)
        << "no label under the origin";
    EXPECT_GT(countColor(image, QRect(281, 235, 8, 13), testcolors::text), 3) << "the 1";
}

TEST_F(LayersTest, GermanLabelsUseADecimalComma)
{
    LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
    host.options.AxisText.Visible = true;
    host.options.AxisText.IY = QStringLiteral("100");
    host.options.AxisText.IX = QStringLiteral("0.5");
    host.setRange(QStringLiteral("-1"), QStringLiteral("1"), QStringLiteral("-5"),
                  QStringLiteral("5"));
    const QImage& image = draw();
    // The label of x = 0.5 lies at column 355 - 3, alone on its part of the picture.
    const QImage alone = labelAlone(QStringLiteral("0,5"), 355 - 3, 231 + 4);
    const QRect box(300, 230, 100, 20);
    EXPECT_EQ(image.copy(box), alone.copy(box));
    EXPECT_NE(labelAlone(QStringLiteral("0.5"), 352, 235).copy(box), alone.copy(box))
        << "a point would look different";
}

TEST_F(LayersTest, LabelsHideTheLinesBeneathThem)
{
    host.options.Grid.Visible = true;
    host.options.AxisText.Visible = true;
    const QImage& image = draw();
    const int height = QFontMetrics(canvasFont(), &image).height();
    EXPECT_EQ(countColor(image, QRect(284, 235, 1, height), testcolors::grid), 0)
        << "the box of the label 1 covers the grid line of x = 1";
    EXPECT_EQ(countColor(image, QRect(284, 235 + height, 1, 5), testcolors::grid), 5);
}

TEST_F(LayersTest, LabelsBeyondTheFixedPointRangeAreLeftOut)
{
    host.options.AxisText.Visible = true;
    host.options.AxisText.IX = QStringLiteral("1e15");
    host.setRange(QStringLiteral("1e16"), QStringLiteral("2e16"), QStringLiteral("-5"),
                  QStringLiteral("5"));
    renderer.Redraw();
    EXPECT_TRUE(host.warnings().isEmpty());
    EXPECT_EQ(host.log.last(), QStringLiteral("present:473x462"));
    EXPECT_TRUE(host.log.contains(QStringLiteral("enable:1")));
}

struct IntervalCase
{
    const char* interval;
    const char* reason;
};

TEST_F(LayersTest, UnusableIntervalsSkipTheirDirectionSilently)
{
    const IntervalCase cases[] = {
        {"0", "an interval of 0"},
        {"", "an empty text counts as 0"},
        {"0,5", "a decimal comma does not convert"},
        {"2.5x", "a text that does not convert"},
    };
    for (const IntervalCase& c : cases) {
        TestHost h;
        h.hideAllLayers();
        h.options.Grid.Visible = true;
        h.options.Scale.Visible = true;
        h.options.AxisText.Visible = true;
        h.options.Grid.IX = h.options.Scale.IX = h.options.AxisText.IX =
            QString::fromLatin1(c.interval);
        TestRenderer r(h);
        ASSERT_NO_THROW(r.Redraw()) << c.reason;
        EXPECT_TRUE(h.warnings().isEmpty()) << c.reason;
        EXPECT_EQ(h.log, (QStringList{QStringLiteral("enable:0"), QStringLiteral("enable:1"),
                                      QStringLiteral("present:473x462")}))
            << c.reason;
        const QImage& image = r.PlotBitmap();
        EXPECT_EQ(countColor(image, QRect(47, 0, 1, 462), testcolors::grid), 10)
            << c.reason << ": no vertical grid line, the horizontal ones cross";
        EXPECT_EQ(countColor(image, QRect(0, 185, 200, 1), testcolors::grid), 200)
            << c.reason << ": the other direction is drawn (left of the ticks and labels)";
    }
}

TEST_F(LayersTest, ATinyIntervalFillsEveryColumnWithoutStalling)
{
    host.options.Grid.Visible = true;
    host.options.Grid.IX = QStringLiteral("1e-12"); // 10^13 multiples
    host.options.Grid.IY = QStringLiteral("0.001"); // 10001 multiples
    const QImage& image = draw();
    EXPECT_EQ(countColor(image, image.rect(), testcolors::grid), 473 * 462);
}

TEST_F(LayersTest, ManyMarksGiveTheSamePictureEitherWay)
{
    // 10001 and 5001 marks over 473 columns: both land on every column.
    host.options.Grid.Visible = true;
    host.options.Scale.Visible = true;
    host.setRange(QStringLiteral("-5"), QStringLiteral("5"), QStringLiteral("-0.5"),
                  QStringLiteral("0.5"));
    host.options.Grid.IX = host.options.Scale.IX = QStringLiteral("0.001"); // 10001 marks
    host.options.Grid.IY = host.options.Scale.IY = QStringLiteral("0.01");
    const QImage perPixel = draw();
    host.options.Grid.IX = host.options.Scale.IX = QStringLiteral("0.002"); // 5001 marks
    const QImage plain = draw();
    EXPECT_EQ(countColor(perPixel, perPixel.rect(), testcolors::grid),
              countColor(plain, plain.rect(), testcolors::grid));
    EXPECT_EQ(perPixel, plain);
}

} // namespace
