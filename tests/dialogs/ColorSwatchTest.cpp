#include "dialogs/ColorSwatch.h"

#include "DialogsTestSupport.h"
#include "plot/Colors.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace kurvaro;

namespace {

QImage picture(ColorSwatch& swatch)
{
    return swatch.grab().toImage();
}

struct SwatchColorCase
{
    TColor color;
    QRgb painted;
    const char* reason;
};

class SwatchPaintTest : public ::testing::TestWithParam<SwatchColorCase>
{
};

TEST_P(SwatchPaintTest, FramesTheColourInOneBlackPixel)
{
    const SwatchColorCase& c = GetParam();
    ColorSwatch swatch;
    swatch.setColor(c.color);
    const QImage image = picture(swatch);
    ASSERT_EQ(image.size(), QSize(22, 22));
    for (const QPoint frame :
         {QPoint(0, 0), QPoint(21, 0), QPoint(0, 21), QPoint(21, 21), QPoint(10, 0), QPoint(0, 10)})
        EXPECT_EQ(QColor(image.pixel(frame)), QColor(Qt::black)) << c.reason;
    for (const QPoint inside : {QPoint(1, 1), QPoint(20, 20), QPoint(10, 10), QPoint(1, 20)})
        EXPECT_EQ(QColor(image.pixel(inside)), QColor(c.painted)) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SwatchPaintTest,
    ::testing::Values(
        SwatchColorCase{colors::clRed, qRgb(255, 0, 0), "red lies in the lowest byte"},
        SwatchColorCase{0x00FEF1F2, qRgb(0xF2, 0xF1, 0xFE), "the background's light blue-grey"},
        SwatchColorCase{colors::clYellow, qRgb(255, 255, 0), "two bytes set"},
        SwatchColorCase{colors::clWhite, qRgb(255, 255, 255), "white still gets its frame"}));

TEST(ColorSwatch, ShowsSystemColoursAsTheRendererPaintsThem)
{
    ColorSwatch swatch;
    const TColor clWindow = colors::SystemColorBase + 5;
    swatch.setColor(clWindow);
    EXPECT_EQ(swatch.color(), clWindow);
    EXPECT_EQ(QColor(picture(swatch).pixel(10, 10)), toQColor(clWindow).toRgb());
}

TEST(ColorSwatch, DisabledStillShowsItsColour)
{
    ColorSwatch swatch;
    swatch.setColor(colors::clBlue);
    swatch.setEnabled(false);
    EXPECT_EQ(QColor(picture(swatch).pixel(10, 10)), QColor(0, 0, 255));
}

TEST(ColorSwatch, IsA22PixelSquareWithTheHandPointerAndNoFocus)
{
    ColorSwatch swatch;
    EXPECT_EQ(swatch.size(), QSize(22, 22));
    EXPECT_EQ(swatch.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(swatch.focusPolicy(), Qt::NoFocus);
}

struct ClickCase
{
    const char* name;
    QPoint press;
    QPoint release;
    Qt::MouseButton button;
    bool enabled;
    int clicks;
};

class SwatchClickTest : public ::testing::TestWithParam<ClickCase>
{
};

TEST_P(SwatchClickTest, ReportsOnlyClicksOnTheColourArea)
{
    const ClickCase& c = GetParam();
    ColorSwatch swatch;
    swatch.setEnabled(c.enabled);
    swatch.show();
    QSignalSpy spy(&swatch, &ColorSwatch::clicked);
    QTest::mousePress(&swatch, c.button, Qt::NoModifier, c.press);
    QTest::mouseRelease(&swatch, c.button, Qt::NoModifier, c.release);
    EXPECT_EQ(spy.count(), c.clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SwatchClickTest,
    ::testing::Values(ClickCase{"Centre", {10, 10}, {10, 10}, Qt::LeftButton, true, 1},
                      ClickCase{"InnerCorner", {1, 1}, {20, 20}, Qt::LeftButton, true, 1},
                      ClickCase{"OnTheFrame", {0, 5}, {0, 5}, Qt::LeftButton, true, 0},
                      ClickCase{"ReleasedOutside", {10, 10}, {30, 30}, Qt::LeftButton, true, 0},
                      ClickCase{"RightButton", {10, 10}, {10, 10}, Qt::RightButton, true, 0},
                      ClickCase{"Disabled", {10, 10}, {10, 10}, Qt::LeftButton, false, 0}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

struct StoredColorCase
{
    QColor picked;
    TColor stored;
    const char* reason;
};

class ToTColorTest : public ::testing::TestWithParam<StoredColorCase>
{
};

TEST_P(ToTColorTest, PutsRedInTheLowestByte)
{
    const StoredColorCase& c = GetParam();
    EXPECT_EQ(toTColor(c.picked), c.stored) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToTColorTest,
    ::testing::Values(StoredColorCase{QColor(255, 0, 0), colors::clRed, "pure red"},
                      StoredColorCase{QColor(0x12, 0x34, 0x56), 0x00563412, "bytes reversed"},
                      StoredColorCase{QColor(0, 0, 255), colors::clBlue, "pure blue"},
                      StoredColorCase{QColor(10, 20, 30, 40), 0x001E140A,
                                      "transparency is dropped"},
                      StoredColorCase{QColor::fromHsv(0, 255, 255), colors::clRed,
                                      "other colour models are converted"}));

TEST(ColorChoice, PresetsBlackFirstThenTheLastConfirmedColour)
{
    RecordingDesktop desktop;
    desktop.colorAnswers = {QColor(0, 0, 255), std::nullopt, QColor(0, 255, 0)};
    ColorChoice choice;
    EXPECT_EQ(choice.execute(nullptr), std::optional<TColor>(colors::clBlue));
    EXPECT_EQ(choice.execute(nullptr), std::nullopt);
    EXPECT_EQ(choice.execute(nullptr), std::optional<TColor>(colors::clLime));
    ASSERT_EQ(desktop.colorPresets.size(), 3);
    EXPECT_EQ(desktop.colorPresets[0], QColor(Qt::black));
    EXPECT_EQ(desktop.colorPresets[1], QColor(0, 0, 255));
    EXPECT_EQ(desktop.colorPresets[2], QColor(0, 0, 255)) << "a cancel keeps the preset";
    EXPECT_EQ(choice.color(), QColor(0, 255, 0));
}

} // namespace
