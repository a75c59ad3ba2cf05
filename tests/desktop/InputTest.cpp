// The wheel and the keyboard on a real desktop, at device pixel ratios 1 and
// 2: a wheel notch over the top left pixel of the drawing area zooms about
// that pixel's plane point, shortcuts reach the panel's buttons, and at ratio
// 2 the drawing area shows the saved picture one pixel on one screen pixel.

#include "DesktopSession.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

using namespace kurvaro;

namespace {

using Manager = VirtualDesktop::Manager;

struct InputCase
{
    const char* name;
    Manager manager;
    int scale;
};

void PrintTo(const InputCase& c, std::ostream* os)
{
    *os << c.name;
}

class DesktopInputTest : public ::testing::TestWithParam<InputCase>
{
protected:
    /// Waits until the drawing area shows the y axis at `fraction` of its
    /// width from the left edge (the view's -XMin / (XMax - XMin)).
    bool yAxisAt(const VirtualDesktop& desktop, unsigned long window, double fraction)
    {
        int agreeing = 0;
        return eventually([&] {
            const QRect area = drawingArea(desktop.clientRect(window), GetParam().scale);
            const QPoint axes = fullestLines(desktop.grab(area), AxisColor);
            const bool there = std::abs(axes.x() - fraction * area.width()) <= 2;
            agreeing = there ? agreeing + 1 : 0;
            return agreeing >= 2;
        });
    }
};

TEST_P(DesktopInputTest, WheelZoomsAboutThePointerAndShortcutsMoveTheView)
{
    const InputCase& c = GetParam();
    VirtualDesktop desktop(c.manager, QSize(1024, 768) * c.scale);
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    ASSERT_TRUE(program.start(desktop, {QStringLiteral("QT_SCALE_FACTOR=%1").arg(c.scale)}));
    const unsigned long window = waitForMainWindow(desktop);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(yAxisAt(desktop, window, 0.5)) << "the first picture";

    // One notch away from the user over the top left (device) pixel, -5 / 5:
    // the view becomes -5..3 by -3..5.
    const QRect area = drawingArea(desktop.clientRect(window), c.scale);
    ASSERT_TRUE(
        desktop.xdotool({QStringLiteral("mousemove"), QString::number(area.x()),
                         QString::number(area.y()), QStringLiteral("click"), QStringLiteral("4")}));
    ASSERT_TRUE(yAxisAt(desktop, window, 5.0 / 8)) << "zoomed in about the pointer";

    // Without a window manager nothing hands the window the keyboard: a click
    // on the panel's empty top does, as a user's would.
    if (!desktop.hasWindowManager()) {
        const QRect client = desktop.clientRect(window);
        ASSERT_TRUE(desktop.click(QPoint(client.right() - 20 * c.scale, client.y() + 5 * c.scale)));
        ASSERT_TRUE(eventually([&] { return desktop.hasInputFocus(window); }));
    }
    // Ctrl+Minus zooms out about the centre: -5.8..3.8 by -3.8..5.8.
    ASSERT_TRUE(desktop.key(QStringLiteral("ctrl+minus")));
    ASSERT_TRUE(yAxisAt(desktop, window, 5.8 / 9.6)) << "Ctrl+Minus";
    // Alt+Right pans by a tenth of the width: -4.84..4.76.
    ASSERT_TRUE(desktop.key(QStringLiteral("alt+Right")));
    ASSERT_TRUE(yAxisAt(desktop, window, 4.84 / 9.6)) << "Alt+Right";

    if (c.scale > 1) {
        // Ctrl+S saves the picture at the drawing area's device size, and the
        // area shows exactly its pixels.
        ASSERT_TRUE(desktop.key(QStringLiteral("ctrl+s")));
        unsigned long dialog = 0;
        ASSERT_TRUE(eventually([&] {
            dialog = desktop.findWindow(QStringLiteral("Speichern unter"));
            return dialog != 0 && desktop.hasInputFocus(dialog);
        }));
        ASSERT_TRUE(desktop.type(QStringLiteral("scharf")));
        ASSERT_TRUE(desktop.key(QStringLiteral("Return")));
        QImage saved;
        ASSERT_TRUE(eventually([&] {
            saved = QImage(program.filePath(QStringLiteral("scharf.BMP")));
            return !saved.isNull() && !desktop.isMapped(dialog);
        }));
        const QRect now = drawingArea(desktop.clientRect(window), c.scale);
        EXPECT_EQ(saved.size(), now.size());
        const QImage expected = saved.convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(eventually([&] { return desktop.grab(now) == expected; }))
            << "one picture pixel on one screen pixel";
    }

    desktop.requestClose(window);
    ASSERT_TRUE(program.waitForExit());
    const QMap<QString, QString> view = program.settingsSection(QStringLiteral("View"));
    EXPECT_EQ(view.value(QStringLiteral("XMin")), "-4.84");
    EXPECT_EQ(view.value(QStringLiteral("XMax")), "4.76");
    EXPECT_EQ(view.value(QStringLiteral("YMin")), "-3.8");
    EXPECT_EQ(view.value(QStringLiteral("YMax")), "5.8");
}

INSTANTIATE_TEST_SUITE_P(Table, DesktopInputTest,
                         ::testing::Values(InputCase{"Openbox", Manager::Openbox, 1},
                                           InputCase{"OpenboxAtRatioTwo", Manager::Openbox, 2},
                                           InputCase{"NoWindowManager", Manager::Bare, 1}),
                         [](const ::testing::TestParamInfo<InputCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
