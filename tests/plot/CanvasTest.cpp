// The canvas rules: colours, the line end-pixel rule, segments far outside
// the picture, text on an opaque box.

#include "plot/Canvas.h"
#include "PlotTestSupport.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace kurvaro;

namespace {

TEST(ColorTest, ConvertsStoredColours)
{
    struct Case
    {
        TColor color;
        QColor expected;
        const char* reason;
    };
    const Case cases[] = {
        {colors::clRed, QColor(255, 0, 0), "red is the lowest byte"},
        {colors::clBlue, QColor(0, 0, 255), "blue is the third byte"},
        {0x00FEF1F2, QColor(0xF2, 0xF1, 0xFE), "the designed background"},
        {0x00123456, QColor(0x56, 0x34, 0x12), "byte order 0x00BBGGRR"},
        {colors::clNone, QColor(255, 255, 255), "no colour paints its low 24 bits"},
        {static_cast<TColor>(0x80000019u), QColor(0, 0, 0), "an unknown system index is black"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toQColor(c.color), c.expected) << c.reason;
    }
}

TEST(ColorTest, SystemColoursComeFromThePalette)
{
    const QPalette palette = QGuiApplication::palette();
    struct Case
    {
        int index;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
        const char* reason;
    };
    const Case cases[] = {
        {5, QPalette::Active, QPalette::Base, "window"},
        {8, QPalette::Active, QPalette::Text, "window text"},
        {13, QPalette::Active, QPalette::Highlight, "highlight"},
        {15, QPalette::Active, QPalette::Button, "button face"},
        {17, QPalette::Disabled, QPalette::Text, "grey text"},
        {24, QPalette::Active, QPalette::ToolTipBase, "info background, the last index"},
    };
    for (const Case& c : cases) {
        const TColor color = static_cast<TColor>(0x80000000u + static_cast<unsigned>(c.index));
        EXPECT_EQ(toQColor(color).rgb(), palette.color(c.group, c.role).rgb()) << c.reason;
    }
}

QImage blank(int w, int h)
{
    QImage image = newCanvasImage(w, h);
    image.fill(Qt::white);
    return image;
}

QString picture(const QImage& image)
{
    QString s;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            s += image.pixel(x, y) == qRgb(0, 0, 0) ? u'#' : u'.';
        }
        s += u'\n';
    }
    return s;
}

TEST(LineRuleTest, PaintsTheStartPixelAndLeavesOutTheEndInEveryDirection)
{
    struct Case
    {
        QLine line;
        const char* expected;
        const char* reason;
    };
    const Case cases[] = {
        {QLine(1, 1, 1, 4), ".....\n.#...\n.#...\n.#...\n.....\n", "vertical, downwards"},
        {QLine(1, 4, 1, 1), ".....\n.....\n.#...\n.#...\n.#...\n", "vertical, upwards"},
        {QLine(0, 2, 4, 2), ".....\n.....\n####.\n.....\n.....\n", "horizontal"},
        {QLine(4, 2, 0, 2), ".....\n.....\n.####\n.....\n.....\n", "horizontal, leftwards"},
        {QLine(0, 0, 4, 4), "#....\n.#...\n..#..\n...#.\n.....\n", "diagonal"},
        {QLine(4, 4, 0, 0), ".....\n.#...\n..#..\n...#.\n....#\n", "diagonal, backwards"},
        {QLine(1, 4, 2, 0), ".....\n..#..\n..#..\n.#...\n.#...\n",
         "one column across, upwards: the column changes half-way"},
        {QLine(1, 0, 2, 4), ".#...\n.#...\n..#..\n..#..\n.....\n", "the same, downwards"},
        {QLine(2, 2, 3, 2), ".....\n.....\n..#..\n.....\n.....\n", "one pixel long"},
        {QLine(2, 2, 2, 2), ".....\n.....\n.....\n.....\n.....\n", "no length, no pixel"},
        {QLine(-3, 1, 8, 1), ".....\n#####\n.....\n.....\n.....\n", "cut at both borders"},
    };
    for (const Case& c : cases) {
        QImage image = blank(5, 5);
        drawCanvasLine(image, qRgb(0, 0, 0), c.line.x1(), c.line.y1(), c.line.x2(), c.line.y2());
        EXPECT_EQ(picture(image), QString::fromLatin1(c.expected)) << c.reason;
    }
}

/// The pixels of a one-column segment whose far end lies beyond its midpoint:
/// the rows from the start towards the end, without the end, in the start's
/// column when the start is the near end, else in the end's column.
QImage expectedStroke(QSize size, int k, long long start, long long end, bool nearStart)
{
    QImage image = blank(size.width(), size.height());
    const int column = nearStart ? k - 1 : k;
    const long long step = end > start ? 1 : -1;
    for (long long y = 0; y < size.height(); ++y) {
        const bool between = step > 0 ? (y >= start && y < end) : (y <= start && y > end);
        if (between) {
            image.setPixel(column, int(y), qRgb(0, 0, 0));
        }
    }
    return image;
}

TEST(SegmentTest, APoleFarOutsidePaintsExactlyItsVisiblePart)
{
    const QSize size(40, 300);
    const long long extreme = std::numeric_limits<long long>::max();
    for (long long far :
         {100000LL, 10000000LL, 3000000000LL, 1000000000000LL, 1000000000000000000LL, extreme}) {
        for (int sign : {-1, 1}) {
            for (bool farStart : {false, true}) {
                for (long long row = -1; row <= 300; row += 13) {
                    const long long f = sign * far;
                    QImage image = blank(size.width(), size.height());
                    const long long start = farStart ? f : row, end = farStart ? row : f;
                    drawCanvasLine(image, qRgb(0, 0, 0), 19, start, 20, end);
                    ASSERT_EQ(image, expectedStroke(size, 20, start, end, !farStart))
                        << "far " << f << " start " << farStart << " row " << row;
                }
            }
        }
    }
}

TEST(SegmentTest, LinesAcrossTheWholeIntegerRange)
{
    QImage image = blank(4, 4);
    const long long lo = std::numeric_limits<long long>::min();
    const long long hi = std::numeric_limits<long long>::max();
    drawCanvasLine(image, qRgb(0, 0, 0), 1, lo, 1, hi);
    drawCanvasLine(image, qRgb(0, 0, 0), hi, 2, lo, 2);
    EXPECT_EQ(picture(image), QStringLiteral(".#..\n.#..\n####\n.#..\n"));
}

/// The line rule pixel by pixel, as literally as it reads: step i of
/// `steps` along the longer axis, the other coordinate round(i * d / steps)
/// halves up, every step (not only those inside the picture) visited.
QImage literalLine(QSize size, long long x0, long long y0, long long x1, long long y1)
{
    __extension__ typedef __int128 Wide;
    QImage image = blank(size.width(), size.height());
    const Wide dx = Wide(x1) - x0, dy = Wide(y1) - y0;
    const Wide ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const bool steep = ay >= ax;
    const Wide steps = steep ? ay : ax;
    for (Wide i = 0; i < steps; ++i) {
        const Wide d = steep ? dx : dy;
        const Wide twice = 2 * i * d + steps;
        Wide rounded = twice / (2 * steps);
        if (twice % (2 * steps) != 0 && twice < 0) {
            --rounded;
        }
        const Wide along = (steep ? y0 : x0) + (((steep ? dy : dx) > 0) ? i : -i);
        const Wide across = (steep ? x0 : y0) + rounded;
        const Wide x = steep ? across : along, y = steep ? along : across;
        if (x >= 0 && x < size.width() && y >= 0 && y < size.height()) {
            image.setPixel(int(x), int(y), qRgb(0, 0, 0));
        }
    }
    return image;
}

TEST(LineRuleTest, EveryLineIsTheLiteralRule)
{
    // Lines of every slope and direction whose ends lie inside, near and a
    // few thousand pixels outside a small picture; the literal rule visits
    // every step, so the ends stay within its reach.
    struct Case
    {
        int spread;
        const char* reason;
    };
    const Case cases[] = {
        {12, "ends in and around the picture"},
        {60, "ends up to a picture's width outside"},
        {3000, "long lines cut at the borders"},
    };
    const QSize size(23, 17);
    std::mt19937_64 random(11);
    for (const Case& c : cases) {
        std::uniform_int_distribution<long long> coordinate(-c.spread, c.spread + 22);
        for (int n = 0; n < 3000; ++n) {
            const long long x0 = coordinate(random), y0 = coordinate(random);
            const long long x1 = coordinate(random), y1 = coordinate(random);
            QImage image = blank(size.width(), size.height());
            drawCanvasLine(image, qRgb(0, 0, 0), x0, y0, x1, y1);
            ASSERT_EQ(image, literalLine(size, x0, y0, x1, y1))
                << c.reason << ": " << x0 << "," << y0 << " -> " << x1 << "," << y1;
        }
    }
}

TEST(LineRuleTest, OneColumnSegmentsOfEveryLengthAndSign)
{
    // The curves' segments: one column across, any rise, both directions.
    const QSize size(4, 40);
    for (long long from = -45; from <= 85; ++from) {
        for (long long to : {-45LL, -1LL, 0LL, 1LL, 7LL, 19LL, 20LL, 39LL, 40LL, 85LL}) {
            QImage image = blank(size.width(), size.height());
            drawCanvasLine(image, qRgb(0, 0, 0), 1, from, 2, to);
            ASSERT_EQ(image, literalLine(size, 1, from, 2, to)) << from << " -> " << to;
        }
    }
}

TEST(CanvasTextTest, TextSitsOnAnOpaqueBoxAtItsTopLeftCorner)
{
    QImage image = blank(60, 40);
    {
        QPainter painter(&image);
        painter.setFont(canvasFont());
        painter.setPen(QColor(0, 0, 255));
        drawCanvasText(painter, image.size(), 10, 5, QStringLiteral("-5"), QColor(255, 0, 0));
    }
    const QFontMetrics metrics(canvasFont(), &image);
    EXPECT_EQ(metrics.height(), 13) << "8 points at 96 dpi with the fallback font";
    const QRect box(10, 5, metrics.horizontalAdvance(QStringLiteral("-5")), metrics.height());
    int red = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (!box.contains(x, y)) {
                EXPECT_EQ(p, qRgb(255, 255, 255)) << x << "," << y << " outside the box";
            } else if (p == qRgb(255, 0, 0)) {
                ++red;
            } else if (p == qRgb(0, 0, 255)) {
                ++blue;
            } else {
                ADD_FAILURE() << x << "," << y << ": neither box nor text colour";
            }
        }
    }
    EXPECT_GT(blue, 5) << "the text is drawn without anti-aliasing in its colour";
    EXPECT_GT(red, blue) << "the box fills the rest";
}

TEST(CanvasTextTest, TheFontTakesItsDeviceSizeOnAHiDpiPicture)
{
    const struct
    {
        double ratio;
        int dotsPerMeter;
    } cases[] = {{1.0, 3780}, {1.5, 5670}, {2.0, 7560}};
    const QImage plain = newCanvasImage(20, 20);
    const int plainHeight = QFontMetrics(canvasFont(), &plain).height();
    for (const auto& c : cases) {
        const QImage picture = newCanvasImage(20, 10, c.ratio);
        EXPECT_EQ(picture.size(), QSize(20, 10)) << "device pixels: " << c.ratio;
        EXPECT_EQ(picture.dotsPerMeterX(), c.dotsPerMeter) << c.ratio;
        EXPECT_EQ(picture.dotsPerMeterY(), c.dotsPerMeter) << c.ratio;
        EXPECT_EQ(picture.devicePixelRatio(), 1.0) << "painted in device pixels: " << c.ratio;
        const int height = QFontMetrics(canvasFont(), &picture).height();
        EXPECT_NEAR(height, plainHeight * c.ratio, 2) << c.ratio;
    }
}

TEST(CanvasTextTest, TheFontIsAnEightPointSansSerif)
{
    const QFontInfo info(canvasFont());
    EXPECT_EQ(info.pointSize(), 8);
    const QStringList accepted = {QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")};
    EXPECT_TRUE(accepted.contains(info.family())) << info.family().toStdString();
}

} // namespace
