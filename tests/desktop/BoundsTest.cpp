// The window's bounds on a real desktop: Width, Height, Top and Left are the
// outer frame's, the window stands where they say, and a start followed by a
// close with nothing moved writes back exactly what was read.

#include "DesktopSession.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace kurvaro;

namespace {

using Manager = VirtualDesktop::Manager;

struct BoundsCase
{
    const char* name;
    Manager manager;
    const char* settings;
    QRect outer; ///< Left, Top, Width, Height
};

void PrintTo(const BoundsCase& c, std::ostream* os)
{
    *os << c.name;
}

class BoundsRoundTripTest : public ::testing::TestWithParam<BoundsCase>
{
};

std::string describe(const QRect& r)
{
    return std::to_string(r.width()) + " x " + std::to_string(r.height()) + " at " +
           std::to_string(r.x()) + "," + std::to_string(r.y());
}

TEST_P(BoundsRoundTripTest, ThreeStartsAndClosesKeepTheOuterBounds)
{
    const BoundsCase& c = GetParam();
    VirtualDesktop desktop(c.manager);
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    if (*c.settings != '\0')
        program.writeSettings(c.settings);

    for (int cycle = 1; cycle <= 3; ++cycle) {
        SCOPED_TRACE(::testing::Message() << "start " << cycle);
        ASSERT_TRUE(program.start(desktop));
        const unsigned long window = waitForMainWindow(desktop);
        ASSERT_NE(window, 0u);
        // The frame stands where the numbers say.
        QRect outer;
        EXPECT_TRUE(eventually([&] {
            outer = desktop.outerRect(window);
            return outer == c.outer;
        })) << "outer frame "
            << describe(outer) << ", expected " << describe(c.outer);

        desktop.requestClose(window);
        ASSERT_TRUE(program.waitForExit());
        const QMap<QString, QString> view = program.settingsSection(QStringLiteral("View"));
        EXPECT_EQ(view.value(QStringLiteral("Width")).toStdString(),
                  std::to_string(c.outer.width()));
        EXPECT_EQ(view.value(QStringLiteral("Height")).toStdString(),
                  std::to_string(c.outer.height()));
        EXPECT_EQ(view.value(QStringLiteral("Top")).toStdString(), std::to_string(c.outer.y()));
        EXPECT_EQ(view.value(QStringLiteral("Left")).toStdString(), std::to_string(c.outer.x()));
    }
}

constexpr const char* Stored = "[View]\r\nWidth=640\r\nHeight=480\r\nTop=200\r\nLeft=300\r\n";
constexpr const char* InTheCorner = "[View]\r\nWidth=700\r\nHeight=520\r\nTop=0\r\nLeft=0\r\n";
const QRect Designed(183, 115, 683, 498);

INSTANTIATE_TEST_SUITE_P(
    Table, BoundsRoundTripTest,
    ::testing::Values(
        BoundsCase{"DesignedWithoutWindowManager", Manager::Bare, "", Designed},
        BoundsCase{"DesignedUnderOpenbox", Manager::Openbox, "", Designed},
        BoundsCase{"StoredWithoutWindowManager", Manager::Bare, Stored, QRect(300, 200, 640, 480)},
        BoundsCase{"StoredUnderOpenbox", Manager::Openbox, Stored, QRect(300, 200, 640, 480)},
        BoundsCase{"InTheCornerUnderOpenbox", Manager::Openbox, InTheCorner,
                   QRect(0, 0, 700, 520)}),
    [](const ::testing::TestParamInfo<BoundsCase>& info) { return info.param.name; });

} // namespace
