#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "plot/PlotRenderer.h"

#include <QLocale>

using namespace kurvaro;

namespace {

struct ButtonCase
{
    const char* button;
    const char* xmin;
    const char* xmax;
    const char* ymin;
    const char* ymax;
    const char* reason;
};

class PanZoomButtonTest : public MainWindowTest, public ::testing::WithParamInterface<ButtonCase>
{
};

TEST_P(PanZoomButtonTest, WritesTheNewBoundsFromTheDefaultView)
{
    const ButtonCase& c = GetParam();
    start();
    click(c.button);
    EXPECT_EQ(field("Editxmin"), c.xmin) << c.reason;
    EXPECT_EQ(field("Editxmax"), c.xmax) << c.reason;
    EXPECT_EQ(field("Editymin"), c.ymin) << c.reason;
    EXPECT_EQ(field("Editymax"), c.ymax) << c.reason;
    EXPECT_EQ(window->renderer().LastRange().XMin, field("Editxmin").toDouble()) << "redrawn";
    EXPECT_TRUE(desktop.warnings.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PanZoomButtonTest,
    ::testing::Values(ButtonCase{"SpeedButton1", "-4", "6", "-5", "5", "arrow right"},
                      ButtonCase{"SpeedButton3", "-6", "4", "-5", "5", "arrow left"},
                      ButtonCase{"SpeedButton2", "-5", "5", "-4", "6", "arrow up"},
                      ButtonCase{"SpeedButton4", "-5", "5", "-6", "4", "arrow down"},
                      ButtonCase{"SpeedButton6", "-4", "4", "-4", "4", "zoom in (plus)"},
                      ButtonCase{"SpeedButton5", "-6", "6", "-6", "6", "zoom out (minus)"}));

TEST_F(MainWindowTest, ZoomInThenOutDoesNotRestoreTheView)
{
    start();
    click("SpeedButton6");
    click("SpeedButton5");
    EXPECT_EQ(field("Editxmin"), "-4.8");
    EXPECT_EQ(field("Editxmax"), "4.8");
    EXPECT_EQ(field("Editymin"), "-4.8");
    EXPECT_EQ(field("Editymax"), "4.8");
}

TEST_F(MainWindowTest, PanStartsFromTheLastReadRangeNotFromTypedText)
{
    start();
    setField("Editxmin", "1");
    setField("Editymin", "-2");
    click("SpeedButton1");
    EXPECT_EQ(field("Editxmin"), "-4") << "the panned axis is overwritten from LastRange";
    EXPECT_EQ(field("Editxmax"), "6");
    EXPECT_EQ(field("Editymin"), "-2") << "the other axis keeps the typed text";
    EXPECT_EQ(window->renderer().LastRange().YMin, -2.0) << "and it takes effect";
}

TEST_F(MainWindowTest, RangeFieldsReceiveAPointUnderADecimalCommaLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    start();
    setField("Editxmin", "-5");
    setField("Editxmax", "0");
    click("BitBtn2");
    click("SpeedButton6");
    QLocale::setDefault(saved);
    EXPECT_EQ(field("Editxmin"), "-4.5");
    EXPECT_EQ(field("Editxmax"), "-0.5");
}

TEST_F(MainWindowTest, TinyViewStopsChangingOnceATenthRoundsAway)
{
    start();
    setField("Editxmin", "1");
    setField("Editxmax", "1.0004");
    click("BitBtn2");
    click("SpeedButton6");
    EXPECT_EQ(field("Editxmin"), "1");
    EXPECT_EQ(field("Editxmax"), "1.0004");
    click("SpeedButton1");
    EXPECT_EQ(field("Editxmin"), "1");
}

TEST_F(MainWindowTest, BoundOutsideTheFixedPointRangeStopsWithTheInvalidOperation)
{
    start();
    setField("Editxmin", "0");
    setField("Editxmax", "9e14");
    click("BitBtn2");
    ASSERT_TRUE(desktop.errors.isEmpty());
    click("SpeedButton1");
    EXPECT_EQ(desktop.errors, QStringList({QString::fromUtf8("Ungültige Gleitkommaoperation")}));
    EXPECT_EQ(field("Editxmin"), "90000000000000") << "written before the failing bound";
    EXPECT_EQ(field("Editxmax"), "9e14") << "the failing bound is not written";
    EXPECT_EQ(window->renderer().LastRange().XMin, 0.0) << "no redraw";
}

TEST_F(MainWindowTest, ZoomAfterAFailedReadUsesWhatTheFailedReadLeft)
{
    // A failed read leaves its values in LastRange; an axis of width 0 then
    // keeps its bounds while the other one still zooms.
    start();
    setField("Editxmin", "3");
    setField("Editxmax", "3");
    click("BitBtn2");
    ASSERT_EQ(desktop.warnings.size(), 1);
    click("SpeedButton6");
    EXPECT_EQ(field("Editxmin"), "3");
    EXPECT_EQ(field("Editxmax"), "3");
    EXPECT_EQ(field("Editymin"), "-4");
    EXPECT_EQ(field("Editymax"), "4");
}

} // namespace
