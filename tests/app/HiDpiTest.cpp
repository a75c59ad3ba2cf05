// The main window on a screen of device pixel ratio 2 (this executable runs
// with QT_SCALE_FACTOR=2): the drawing area's pixels are device pixels.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "plot/NumberText.h"
#include "plot/PlotRenderer.h"
#include "plot/ViewMapping.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

using namespace kurvaro;

namespace {

constexpr QRgb Background = qRgb(0xF2, 0xF1, 0xFE); // the default 0x00FEF1F2
constexpr QRgb Grid = qRgb(0xEB, 0xEB, 0xEB);
constexpr QRgb Grey = qRgb(0x80, 0x80, 0x80); // axes, ticks and labels

QRgb rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

class HiDpiTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        start();
        ASSERT_EQ(window->devicePixelRatioF(), 2.0) << "run with QT_SCALE_FACTOR=2";
    }
    TImage* image() const { return window->findChild<TImage*>(QStringLiteral("Image1")); }
    QString readout() const { return window->findChild<QLabel*>(QStringLiteral("Label1"))->text(); }

    /// A mouse event at a logical position of the drawing area.
    void send(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, at, image()->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(image(), &event);
    }
};

TEST_F(HiDpiTest, PictureHasTheDeviceSizeAndIsShownOnePixelOnOne)
{
    const QSize device = image()->size() * 2;
    EXPECT_EQ(window->drawingAreaSize(), device);
    EXPECT_EQ(plotBitmap().size(), device);
    EXPECT_EQ(window->mapping().width(), device.width());
    // What the screen gets: every device pixel of the area is a picture pixel.
    const QImage screen = image()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), device);
    EXPECT_EQ(screen, plotBitmap().convertToFormat(QImage::Format_RGB32));
}

TEST_F(HiDpiTest, LinesAreOneDevicePixelWideWhereTheMappingPutsThem)
{
    const QImage picture = plotBitmap();
    const ViewMapping view = window->mapping();
    const int row = 10; // above every label and tick
    for (int x = -4; x <= 4; ++x) {
        const int column = static_cast<int>(view.XToPixel(x));
        const QRgb expected = x == 0 ? Grey : Grid;
        EXPECT_EQ(rgb(picture, column, row), expected & 0xFFFFFF) << "x = " << x;
        EXPECT_EQ(rgb(picture, column - 1, row), Background & 0xFFFFFF) << "x = " << x;
        EXPECT_EQ(rgb(picture, column + 1, row), Background & 0xFFFFFF) << "x = " << x;
    }
    const int axisRow = static_cast<int>(view.YToPixel(0));
    EXPECT_EQ(axisRow, view.height() - view.height() / 2) << "an even height halves exactly";
    const int column = 20; // left of every label
    EXPECT_EQ(rgb(picture, column, axisRow), Grey & 0xFFFFFF);
    EXPECT_EQ(rgb(picture, column, axisRow - 1), Background & 0xFFFFFF);
    EXPECT_EQ(rgb(picture, column, axisRow + 1), Background & 0xFFFFFF);
}

TEST_F(HiDpiTest, LabelsHaveTheFontsDeviceSize)
{
    // The label "1" under the x axis, from its box's top left corner on.
    const QImage picture = plotBitmap();
    const ViewMapping view = window->mapping();
    const int left = static_cast<int>(view.XToPixel(1)) - 3;
    const int top = static_cast<int>(view.YToPixel(0)) + 4;
    int firstRow = -1;
    int lastRow = -1;
    for (int y = top; y < top + 40; ++y)
        for (int x = left; x < left + 20; ++x)
            if (rgb(picture, x, y) == (Grey & 0xFFFFFF)) {
                lastRow = y;
                if (firstRow < 0)
                    firstRow = y;
            }
    ASSERT_GE(firstRow, 0) << "the label is drawn";
    // An 8-point digit is 8 pixels high at 96 dots per inch, twice that here.
    EXPECT_GE(lastRow - firstRow + 1, 14);
    EXPECT_LE(lastRow - firstRow + 1, 20);
}

TEST_F(HiDpiTest, ReadOutIsThatOfTheDevicePixelUnderThePointer)
{
    send(QEvent::MouseMove, {0, 0}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(readout(), "-5 / 5") << "the top left device pixel";
    // Half a logical pixel is one device pixel.
    const ViewMapping view = window->mapping();
    send(QEvent::MouseMove, {0.5, 0.5}, Qt::NoButton, Qt::NoButton);
    const QChar point = localeDecimalSeparator();
    EXPECT_EQ(readout(), FormatFixed4(view.PixelToX(1), point) + " / " +
                             FormatFixed4(view.PixelToY(1), point));
}

TEST_F(HiDpiTest, DragRectangleIsInDevicePixels)
{
    const ViewMapping view = window->mapping();
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {30, 40}, Qt::NoButton, Qt::LeftButton);
    auto* timer = window->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !timer->isActive(); }, 5000));
    pump();
    const QImage shown = shownPicture();
    EXPECT_EQ(rgb(shown, 40, 20), 0u) << "the top edge at device row 20";
    EXPECT_EQ(rgb(shown, 60, 50), 0u) << "the right edge at device column 60";
    EXPECT_NE(rgb(shown, 40, 21), 0u) << "one device pixel wide";
    EXPECT_NE(rgb(shown, 61, 50), 0u) << "one device pixel wide";
    send(QEvent::MouseButtonRelease, {30, 40}, Qt::LeftButton, Qt::NoButton);
    pump();
    EXPECT_EQ(field("Editxmin"), FormatRangeValue(view.PixelToX(20)));
    EXPECT_EQ(field("Editxmax"), FormatRangeValue(view.PixelToX(60)));
    EXPECT_EQ(field("Editymax"), FormatRangeValue(view.PixelToY(20)));
    EXPECT_EQ(field("Editymin"), FormatRangeValue(view.PixelToY(80)));
}

TEST_F(HiDpiTest, WheelKeepsThePlanePointOfTheDevicePixelUnderThePointer)
{
    const auto turn = [this](QPointF at) {
        QWheelEvent event(at, image()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(image(), &event);
        pump();
    };
    turn({0, 0});
    EXPECT_EQ(field("Editxmin"), "-5") << "the top left device pixel";
    EXPECT_EQ(field("Editxmax"), "3");
    EXPECT_EQ(field("Editymin"), "-3");
    EXPECT_EQ(field("Editymax"), "5");
    // The bottom right device pixel is half a logical pixel inside the edge.
    const QSize area = window->drawingAreaSize();
    const QPoint corner(area.width() - 1, area.height() - 1);
    const ViewMapping before = window->mapping();
    turn(QPointF(corner) / 2);
    const ViewMapping after = window->mapping();
    ASSERT_NEAR(after.range().XMax - after.range().XMin, 6.4, 1e-4) << "zoomed in";
    EXPECT_NEAR(after.PixelToX(corner.x()), before.PixelToX(corner.x()), 1e-4);
    EXPECT_NEAR(after.PixelToY(corner.y()), before.PixelToY(corner.y()), 1e-4);
}

TEST_F(HiDpiTest, SavedBitmapHasTheDeviceSize)
{
    const QString path = dir.filePath(QStringLiteral("kurve.bmp"));
    desktop.saveAnswers << path;
    click("BitBtn3");
    const QImage saved(path, "BMP");
    EXPECT_EQ(saved.size(), image()->size() * 2);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              plotBitmap().convertToFormat(QImage::Format_RGB32));
}

TEST_F(HiDpiTest, GlyphsArePaintedAtTheDeviceResolution)
{
    const struct
    {
        QWidget* owner;
        const char* button;
        QSize size;
    } buttons[] = {{window.get(), "SpeedButton6", {11, 11}},
                   {window.get(), "SpeedButton2", {11, 11}},
                   {window.get(), "BitBtn2", {16, 16}},
                   {window->Form2(), "BitBtn1", {16, 16}}};
    for (const auto& b : buttons) {
        auto* button = b.owner->findChild<QAbstractButton*>(QString::fromLatin1(b.button));
        ASSERT_NE(button, nullptr) << b.button;
        const QPixmap shown = button->icon().pixmap(b.size, button->devicePixelRatioF());
        EXPECT_EQ(shown.size(), b.size * 2) << b.button;
        EXPECT_EQ(shown.devicePixelRatio(), 2.0) << b.button;
    }
    const QPixmap zoom = window->findChild<QLabel*>(QStringLiteral("Image2"))->pixmap();
    EXPECT_EQ(zoom.size(), QSize(88, 82));
    EXPECT_EQ(zoom.devicePixelRatio(), 2.0);
}

} // namespace
