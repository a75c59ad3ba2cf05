// The redraw sequence as the window sees it: warnings, presentations and the
// controls, also when something fails.

#include "PlotTestSupport.h"
#include "model/Faults.h"

#include <gtest/gtest.h>

using namespace kurvaro;

namespace {

TEST(RedrawTest, AnInvalidRangeShowsThePreviousPicture)
{
    TestHost host;
    TestRenderer renderer(host);
    renderer.Redraw();
    const QImage first = renderer.PlotBitmap();
    host.log.clear();
    host.ranges[RangeField::XMin] = QStringLiteral("abc");
    host.size = QSize(100, 100);
    renderer.Redraw();
    EXPECT_EQ(host.log, (QStringList{"warning:Fehler in XMin an Stelle: 1", "present:473x462"}))
        << "the controls are never disabled";
    EXPECT_EQ(host.lastPresented, first);
}

TEST(RedrawTest, AnOverflowingRangeLeavesForTheGeneralErrorBox)
{
    TestHost host;
    TestRenderer renderer(host);
    host.ranges[RangeField::XMax] = QStringLiteral("1e400");
    EXPECT_THROW(renderer.Redraw(), EOverflow);
    EXPECT_EQ(host.log, (QStringList{"present:0x0"})) << "presented, controls untouched";
    EXPECT_FALSE(renderer.isDrawing());
    host.ranges[RangeField::XMax] = QStringLiteral("5");
    host.log.clear();
    renderer.Redraw();
    EXPECT_EQ(host.log, (QStringList{"enable:0", "enable:1", "present:473x462"}));
}

TEST(RedrawTest, AFailingLayerEnablesTheControlsAgainBeforeItPropagates)
{
    // 5000 columns over a range two units of the last place wide: the y axis
    // lies 2.25e19 columns away, beyond the 64-bit range, and the ticks need it.
    TestHost host;
    host.size = QSize(5000, 10);
    host.setRange(QStringLiteral("1"), QStringLiteral("1.0000000000000004"), QStringLiteral("-5"),
                  QStringLiteral("5"));
    TestRenderer renderer(host);
    EXPECT_THROW(renderer.Redraw(), EInvalidOp);
    EXPECT_EQ(host.log, (QStringList{"enable:0", "enable:1", "present:5000x10"}));
    EXPECT_FALSE(renderer.isDrawing());
}

TEST(RedrawTest, ARedrawRequestedFromTheEventPumpIsIgnored)
{
    TestHost host;
    host.functionSlots[0] = FunctionSlot{QStringLiteral("x"), true, colors::clBlack};
    TestRenderer renderer(host);
    int nested = 0;
    host.onPump = [&] {
        ++nested;
        EXPECT_TRUE(renderer.isDrawing());
        renderer.Redraw();
    };
    renderer.Redraw();
    EXPECT_EQ(nested, 2);
    EXPECT_EQ(host.log, (QStringList{"enable:0", "pump", "present:473x462", "pump", "enable:1",
                                     "present:473x462"}));
    EXPECT_FALSE(renderer.isDrawing());
}

TEST(RedrawTest, AReleasedPictureIsNeverDrawnInto)
{
    TestHost host;
    for (int n = 0; n < 3; ++n) {
        host.functionSlots[n] = FunctionSlot{QStringLiteral("x"), true, colors::clBlack};
    }
    TestRenderer renderer(host);
    host.onPump = [&] { renderer.releasePicture(); };
    renderer.Redraw();
    EXPECT_TRUE(renderer.pictureReleased());
    EXPECT_TRUE(renderer.PlotBitmap().isNull());
    EXPECT_EQ(host.log, (QStringList{"enable:0", "pump", "enable:1"}))
        << "the window is closing: nothing more is drawn or shown";
    host.log.clear();
    renderer.Redraw();
    EXPECT_TRUE(host.log.isEmpty()) << "no redraw after the release";
}

TEST(RedrawTest, TheModelIsReadFreshBetweenCurves)
{
    TestHost host;
    host.hideAllLayers();
    host.functionSlots[0] = FunctionSlot{QStringLiteral("1"), true, colors::clRed};
    TestRenderer renderer(host);
    // The functions dialog changes slot 2 while slot 1's pump runs.
    host.onPump = [&] {
        host.functionSlots[1] = FunctionSlot{QStringLiteral("2"), true, colors::clBlue};
    };
    renderer.Redraw();
    EXPECT_EQ(countColor(renderer.PlotBitmap(), QRect(1, 139, 472, 1), colors::clBlue), 472);
}

TEST(RedrawTest, TheCopyShownStaysAsItWasPresented)
{
    TestHost host;
    host.hideAllLayers();
    host.functionSlots[0] = FunctionSlot{QStringLiteral("0"), true, colors::clRed};
    host.functionSlots[1] = FunctionSlot{QStringLiteral("1"), true, colors::clBlue};
    TestRenderer renderer(host);
    QImage beforeSlot2;
    int pumps = 0;
    host.onPump = [&] {
        if (++pumps == 4) { // after the presentation before slot 2
            beforeSlot2 = host.lastPresented;
        }
    };
    renderer.Redraw();
    EXPECT_EQ(countColor(beforeSlot2, beforeSlot2.rect(), colors::clRed), 472);
    EXPECT_EQ(countColor(beforeSlot2, beforeSlot2.rect(), colors::clBlue), 0)
        << "drawing slot 2 did not change the copy shown before it";
}

TEST(RedrawTest, ThePictureFollowsTheScreensRatioAtTheSameSize)
{
    TestHost host;
    TestRenderer renderer(host);
    renderer.Redraw();
    const QImage plain = renderer.PlotBitmap();
    EXPECT_EQ(plain.dotsPerMeterX(), 3780);
    host.ratio = 2.0;
    renderer.Redraw();
    EXPECT_EQ(renderer.PlotBitmap().size(), plain.size()) << "W x H is what the surface says";
    EXPECT_EQ(renderer.PlotBitmap().dotsPerMeterX(), 7560) << "a new picture for the new ratio";
    EXPECT_NE(renderer.PlotBitmap(), plain) << "the labels are larger";
    host.ratio = 1.0;
    renderer.Redraw();
    EXPECT_EQ(renderer.PlotBitmap(), plain) << "and back, pixel for pixel";
}

} // namespace
