#include "dialogs/ScalableIcon.h"
#include "dialogs/DialogGlyphs.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kurvaro;

namespace {

/// A 16 x 16 picture whose left half is red at any ratio, one device pixel
/// in from the edge a blue column: detail that no scaling of the ratio-1
/// picture has. Records the ratios it is painted at.
struct Recorded
{
    std::vector<qreal> ratios;
    QIcon icon()
    {
        return scalableIcon(QSize(16, 16), [this](qreal ratio) {
            ratios.push_back(ratio);
            QImage image(QSize(16, 16) * ratio, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.fillRect(QRect(0, 0, image.width() / 2, image.height()), Qt::red);
            p.fillRect(QRect(1, 0, 1, image.height()), Qt::blue);
            p.end();
            return QPixmap::fromImage(image);
        });
    }
};

class ScalableIconTest : public ::testing::TestWithParam<qreal>
{
};

TEST_P(ScalableIconTest, PaintsAnewAtTheScreensRatio)
{
    const qreal ratio = GetParam();
    Recorded recorded;
    const QPixmap shown = recorded.icon().pixmap(QSize(16, 16), ratio);
    ASSERT_EQ(recorded.ratios, std::vector<qreal>{ratio});
    const int side = static_cast<int>(std::lround(16 * ratio));
    EXPECT_EQ(shown.size(), QSize(side, side));
    EXPECT_EQ(shown.devicePixelRatio(), ratio) << "shown at 16 x 16 logical pixels";
    const QImage pixels = shown.toImage();
    EXPECT_EQ(pixels.pixelColor(1, 0), QColor(Qt::blue)) << "one device pixel, not a scaled one";
    EXPECT_EQ(pixels.pixelColor(2, 0), QColor(Qt::red));
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScalableIconTest, ::testing::Values(1.0, 1.5, 2.0, 3.0));

TEST(ScalableIconModesTest, AtRatioOneEveryModeLooksAsAPlainIconOfThePicture)
{
    Recorded recorded;
    const QIcon scalable = recorded.icon();
    Recorded plainSource;
    const QIcon plain(plainSource.icon().pixmap(QSize(16, 16), 1.0));
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
        EXPECT_EQ(scalable.pixmap(QSize(16, 16), 1.0, mode).toImage(),
                  plain.pixmap(QSize(16, 16), 1.0, mode).toImage())
            << "mode " << mode;
}

TEST(ScalableIconModesTest, DisabledIsGreyedAtEveryRatio)
{
    Recorded recorded;
    const QIcon icon = recorded.icon();
    const QImage normal = icon.pixmap(QSize(16, 16), 2.0).toImage();
    const QImage disabled = icon.pixmap(QSize(16, 16), 2.0, QIcon::Disabled).toImage();
    ASSERT_EQ(disabled.size(), QSize(32, 32));
    EXPECT_NE(disabled.pixelColor(10, 10), normal.pixelColor(10, 10));
    const QColor grey = disabled.pixelColor(10, 10);
    EXPECT_LT(std::abs(grey.red() - grey.green()), 40) << "no longer plain red";
}

TEST(ScalableIconModesTest, PaintingOnAHiDpiDeviceUsesItsRatio)
{
    Recorded recorded;
    QImage target(QSize(32, 32), QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(2.0);
    target.fill(Qt::white);
    {
        QPainter p(&target);
        recorded.icon().paint(&p, QRect(0, 0, 16, 16));
    }
    EXPECT_EQ(recorded.ratios, std::vector<qreal>{2.0});
    EXPECT_EQ(target.pixelColor(1, 5), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(2, 5), QColor(Qt::red));
}

TEST(DialogGlyphsTest, AreDrawnAtTheDeviceResolution)
{
    for (const QIcon& icon : {okGlyph(), cancelGlyph(), infoGlyph()}) {
        const QPixmap at1 = icon.pixmap(QSize(16, 16), 1.0);
        const QPixmap at2 = icon.pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(at1.size(), QSize(16, 16));
        EXPECT_EQ(at2.size(), QSize(32, 32));
        EXPECT_EQ(at2.devicePixelRatio(), 2.0);
        // Not the small picture blown up: the large one has pixels of its own.
        const QImage large = at2.toImage();
        const QImage blown =
            at1.toImage().scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_NE(large.convertToFormat(QImage::Format_ARGB32),
                  blown.convertToFormat(QImage::Format_ARGB32));
    }
}

} // namespace
