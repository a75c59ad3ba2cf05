#include "app/Glyphs.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace kurvaro;

namespace {

struct GlyphCase
{
    Glyph glyph;
    int width;
    int height;
    const char* reason;
};

class GlyphTest : public ::testing::TestWithParam<GlyphCase>
{
};

TEST_P(GlyphTest, HasItsSizeAndBothDrawnAndTransparentPixels)
{
    const GlyphCase& c = GetParam();
    const QImage picture = glyphPicture(c.glyph).toImage();
    ASSERT_EQ(picture.size(), QSize(c.width, c.height)) << c.reason;
    int drawn = 0;
    int clear = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            (qAlpha(picture.pixel(x, y)) == 0 ? clear : drawn)++;
    EXPECT_GT(drawn, 8) << c.reason;
    EXPECT_GT(clear, 8) << c.reason << ": the face colour must show around it";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GlyphTest,
    ::testing::Values(GlyphCase{Glyph::ArrowUp, 11, 11, "pan up"},
                      GlyphCase{Glyph::ArrowLeft, 11, 11, "pan left"},
                      GlyphCase{Glyph::ArrowRight, 11, 11, "pan right"},
                      GlyphCase{Glyph::ArrowDown, 11, 11, "pan down"},
                      GlyphCase{Glyph::Minus, 11, 11, "zoom out"},
                      GlyphCase{Glyph::Plus, 11, 11, "zoom in"},
                      GlyphCase{Glyph::Rulers, 16, 16, "Funktionen bestimmen"},
                      GlyphCase{Glyph::CheckBoxes, 16, 16, "Optionen bearbeiten"},
                      GlyphCase{Glyph::Floppy, 16, 16, "Als Bitmap speichern"},
                      GlyphCase{Glyph::Brush, 16, 16, "Aktualisieren "},
                      GlyphCase{Glyph::InfoBubble, 16, 16, "Info zum Programm"},
                      GlyphCase{Glyph::Zoom, 44, 41, "the zoom picture"}));

TEST_P(GlyphTest, AtRatioTwoHasTwiceTheDevicePixelsOfItsOwn)
{
    const GlyphCase& c = GetParam();
    const QPixmap large = glyphPicture(c.glyph, 2.0);
    EXPECT_EQ(large.size(), QSize(2 * c.width, 2 * c.height)) << c.reason;
    EXPECT_EQ(large.devicePixelRatio(), 2.0) << c.reason;
    // Painted anew, not the small picture blown up: some 2 x 2 block of
    // device pixels is not one colour (plus and minus are whole-pixel bars).
    if (c.glyph == Glyph::Plus || c.glyph == Glyph::Minus)
        return;
    const QImage pixels = large.toImage();
    bool finer = false;
    for (int y = 0; y < pixels.height() && !finer; y += 2)
        for (int x = 0; x < pixels.width() && !finer; x += 2)
            finer = pixels.pixel(x, y) != pixels.pixel(x + 1, y) ||
                    pixels.pixel(x, y) != pixels.pixel(x, y + 1) ||
                    pixels.pixel(x, y) != pixels.pixel(x + 1, y + 1);
    EXPECT_TRUE(finer) << c.reason;
}

TEST_P(GlyphTest, IconShowsThePictureOfTheScreensRatioAndAtRatioOneThePlainOne)
{
    const GlyphCase& c = GetParam();
    const QSize size(c.width, c.height);
    const QIcon icon = glyphIcon(c.glyph);
    const QIcon plain(glyphPicture(c.glyph));
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active})
        EXPECT_EQ(icon.pixmap(size, 1.0, mode).toImage(), plain.pixmap(size, 1.0, mode).toImage())
            << c.reason << ", mode " << mode;
    const QPixmap large = icon.pixmap(size, 2.0);
    EXPECT_EQ(large.devicePixelRatio(), 2.0) << c.reason;
    EXPECT_EQ(large.toImage(), glyphPicture(c.glyph, 2.0).toImage()) << c.reason;
}

TEST(GlyphArrowTest, TheFourArrowsPointFourWays)
{
    const QImage up = glyphPicture(Glyph::ArrowUp).toImage();
    const QImage left = glyphPicture(Glyph::ArrowLeft).toImage();
    const QImage right = glyphPicture(Glyph::ArrowRight).toImage();
    const QImage down = glyphPicture(Glyph::ArrowDown).toImage();
    EXPECT_NE(up, down);
    EXPECT_NE(left, right);
    EXPECT_NE(up, left);
    // The tip of the up arrow is in the top row, the down arrow's in the bottom one.
    const auto rowDrawn = [](const QImage& img, int y) {
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0)
                return true;
        return false;
    };
    EXPECT_TRUE(rowDrawn(up, 1));
    EXPECT_TRUE(rowDrawn(down, 9));
}

TEST(GlyphZoomTest, LeavesTheRowsOverTheZoomButtonsClear)
{
    // The picture stands 24 rows above the zoom buttons and overlaps them below.
    const QImage zoom = glyphPicture(Glyph::Zoom).toImage();
    for (int y = 24; y < zoom.height(); ++y)
        for (int x = 0; x < zoom.width(); ++x)
            ASSERT_EQ(qAlpha(zoom.pixel(x, y)), 0) << x << "," << y;
}

} // namespace
