// The first picture on a real desktop: drawn once the window manager has
// placed and framed the window, it is exactly as large as the drawing area.

#include "DesktopSession.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

using namespace kurvaro;

namespace {

using Manager = VirtualDesktop::Manager;

struct StartCase
{
    const char* name;
    Manager manager;
    const char* settings;
    /// Where the window's frame stands: Left, Top, Width, Height.
    QRect outer;
    /// Whether the panel is on the screen, so that the picture can be saved.
    bool panelShown;
};

void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class FirstPictureTest : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(FirstPictureTest, FillsTheDrawingAreaWithTheAxesInItsMiddle)
{
    const StartCase& c = GetParam();
    VirtualDesktop desktop(c.manager);
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    if (*c.settings != '\0')
        program.writeSettings(c.settings);
    ASSERT_TRUE(program.start(desktop));
    const unsigned long window = waitForMainWindow(desktop);
    ASSERT_NE(window, 0u) << "no main window on " << desktop.displayName().toStdString();
    // Placed and framed as stored.
    QRect outer;
    ASSERT_TRUE(eventually([&] {
        outer = desktop.outerRect(window);
        return outer == c.outer;
    })) << "frame "
        << outer.width() << " x " << outer.height() << " at " << outer.x() << "," << outer.y();

    // The view is -5..5 both ways, so the axes cross in the middle of the
    // picture; a picture of another size than the area puts them elsewhere.
    // Two looks in a row, so that a picture about to be replaced does not count.
    QRect area;
    QPoint axes;
    int agreeing = 0;
    const bool centred = eventually([&] {
        area = drawingArea(desktop.clientRect(window));
        const QImage shown = desktop.grab(area);
        axes = fullestLines(shown, AxisColor);
        const bool middle = countColor(shown, BackgroundColor) > 0 &&
                            std::abs(2 * axes.x() - area.width()) <= 2 &&
                            std::abs(2 * axes.y() - area.height()) <= 2;
        agreeing = middle ? agreeing + 1 : 0;
        return agreeing >= 2;
    });
    EXPECT_TRUE(centred) << "drawing area " << area.width() << " x " << area.height()
                         << ", axes at column " << axes.x() << ", row " << axes.y();
    if (!c.panelShown)
        return;

    // What "Als Bitmap speichern" writes is the picture itself: its size is the area's.
    const unsigned long dialog =
        openDialog(desktop, window, QStringLiteral("BitBtn3"), QStringLiteral("Speichern unter"));
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(desktop.type(QStringLiteral("erstes")));
    ASSERT_TRUE(desktop.key(QStringLiteral("Return")));
    QImage saved;
    ASSERT_TRUE(eventually([&] {
        saved = QImage(program.filePath(QStringLiteral("erstes.BMP")));
        return !saved.isNull() && !desktop.isMapped(dialog);
    }));
    area = drawingArea(desktop.clientRect(window));
    EXPECT_EQ(saved.size(), area.size())
        << "saved " << saved.width() << " x " << saved.height() << ", drawing area " << area.width()
        << " x " << area.height();
    // And the area shows exactly that picture.
    const QImage expected = saved.convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(eventually([&] { return desktop.grab(area) == expected; }));

    desktop.requestClose(window);
    EXPECT_TRUE(program.waitForExit());
}

constexpr const char* StoredBounds = "[View]\r\nWidth=900\r\nHeight=700\r\nTop=20\r\nLeft=60\r\n";
constexpr const char* BoundsLargerThanTheScreen =
    "[View]\r\nWidth=1300\r\nHeight=1000\r\nTop=10\r\nLeft=10\r\n";
const QRect Designed(183, 115, 683, 498);
const QRect Stored(60, 20, 900, 700);
const QRect Large(10, 10, 1300, 1000);

INSTANTIATE_TEST_SUITE_P(
    Table, FirstPictureTest,
    ::testing::Values(
        StartCase{"NoSettingsWithoutWindowManager", Manager::Bare, "", Designed, true},
        StartCase{"NoSettingsUnderOpenbox", Manager::Openbox, "", Designed, true},
        StartCase{"StoredBoundsWithoutWindowManager", Manager::Bare, StoredBounds, Stored, true},
        StartCase{"StoredBoundsUnderOpenbox", Manager::Openbox, StoredBounds, Stored, true},
        StartCase{"LargerThanTheScreenWithoutWindowManager", Manager::Bare,
                  BoundsLargerThanTheScreen, Large, false},
        StartCase{"LargerThanTheScreenUnderOpenbox", Manager::Openbox, BoundsLargerThanTheScreen,
                  Large, false}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return info.param.name; });

} // namespace
