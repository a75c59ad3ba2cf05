#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/PanZoom.h"
#include "model/Faults.h"
#include "plot/PlotRenderer.h"

#include <QLocale>
#include <QPoint>

#include <utility>
#include <vector>

using namespace kurvaro;

namespace {

/// Range fields that log each write as "FIELD=TEXT".
class LoggedFields : public ViewStore
{
public:
    QString rangeText(RangeField) const override { return {}; }
    void setRangeText(RangeField field, const QString& text) override
    {
        static const char* const names[] = {"XMin", "XMax", "YMin", "YMax"};
        log << QString::fromLatin1(names[static_cast<int>(field)]) + u'=' + text;
    }
    int windowBound(WindowBound) const override { return 0; }
    void setWindowBound(WindowBound, int) override {}

    QStringList log;
};

struct StepCase
{
    ViewRange last;
    ViewStep step;
    QStringList writes;
    const char* reason;
};

TEST(StepViewTest, WritesTheMovedBoundsInFieldOrder)
{
    const StepCase cases[] = {
        {{-5, 5, -5, 5},
         {.XMin = +1, .XMax = -1, .YMin = +1, .YMax = -1},
         {"XMin=-4", "XMax=4", "YMin=-4", "YMax=4"},
         "zoom in moves every bound inwards"},
        {{-5, 5, -5, 5},
         {.YMin = -1, .YMax = -1},
         {"YMin=-6", "YMax=4"},
         "a pan leaves the other axis's fields alone"},
        {{0, 0, 3, -2},
         {.XMin = +1, .XMax = +1, .YMin = -1, .YMax = +1},
         {"XMin=0", "XMax=0", "YMin=3", "YMax=-2"},
         "a range left unordered has no extent"},
        {{1, 2, -1, 1}, {.XMin = +1, .XMax = +1}, {"XMin=1.1", "XMax=2.1"}, "a tenth of the width"},
    };
    for (const StepCase& c : cases) {
        LoggedFields fields;
        StepView(fields, c.last, c.step);
        EXPECT_EQ(fields.log, c.writes) << c.reason;
    }
}

TEST(StepViewTest, ABoundBeyondTheFixedPointRangeStopsAfterTheFieldsBeforeIt)
{
    LoggedFields fields;
    EXPECT_THROW(StepView(fields, {-5, 1e300, -5, 5}, {.XMin = -1, .XMax = +1, .YMin = -1}),
                 EInvalidOp);
    EXPECT_TRUE(fields.log.isEmpty()) << "XMin - w/10 is already beyond the range";
    LoggedFields later;
    EXPECT_THROW(StepView(later, {-5, 5, -5, 1e300}, {.XMin = -1, .XMax = +1, .YMax = +1}),
                 EInvalidOp);
    EXPECT_EQ(later.log, (QStringList{"XMin=-6", "XMax=6"}));
}

struct ZoomAboutCase
{
    ViewRange last;
    int steps;
    double fx;
    double fy;
    QStringList writes;
    const char* reason;
};

TEST(ZoomAboutTest, SharesTheZoomButtonsChangeBetweenTheBoundsByThePointsPlace)
{
    const ZoomAboutCase cases[] = {
        {{-5, 5, -5, 5}, 1, 0.5, 0.5, {"XMin=-4", "XMax=4", "YMin=-4", "YMax=4"}, "centre, in"},
        {{-5, 5, -5, 5}, -1, 0.5, 0.5, {"XMin=-6", "XMax=6", "YMin=-6", "YMax=6"}, "centre, out"},
        {{-5, 5, -5, 5},
         1,
         0,
         0,
         {"XMin=-5", "XMax=3", "YMin=-3", "YMax=5"},
         "top left: XMin and YMax stay"},
        {{-5, 5, -5, 5},
         -1,
         1,
         1,
         {"XMin=-7", "XMax=5", "YMin=-5", "YMax=7"},
         "bottom right: XMax and YMin stay"},
        {{0, 10, 0, 20},
         1,
         0.25,
         0.75,
         {"XMin=0.5", "XMax=8.5", "YMin=1", "YMax=17"},
         "a quarter from the left, three quarters down"},
        {{-5, 5, -5, 5},
         2,
         0.5,
         0.5,
         {"XMin=-3.2", "XMax=3.2", "YMin=-3.2", "YMax=3.2"},
         "two steps"},
        {{0, 0, 3, -2},
         1,
         0.3,
         0.3,
         {"XMin=0", "XMax=0", "YMin=3", "YMax=-2"},
         "a range left unordered has no extent"},
    };
    for (const ZoomAboutCase& c : cases) {
        LoggedFields fields;
        ZoomAbout(fields, c.last, c.steps, c.fx, c.fy);
        EXPECT_EQ(fields.log, c.writes) << c.reason;
    }
}

TEST(ZoomAboutTest, AtTheCentreWritesWhatTheZoomButtonsWrite)
{
    // Halving the fifth is exact, so no range may round differently.
    const ViewRange ranges[] = {{-5, 5, -5, 5},
                                {0.1, 0.7, -3.3, 1e-3},
                                {-1234.5678, 98765.4321, 1.0 / 3, 2.0 / 3},
                                {1, 1.0004, -7e5, 3e-4}};
    for (const ViewRange& r : ranges) {
        for (const int direction : {+1, -1}) {
            LoggedFields wheel;
            ZoomAbout(wheel, r, direction, 0.5, 0.5);
            LoggedFields button;
            StepView(
                button, r,
                {.XMin = direction, .XMax = -direction, .YMin = direction, .YMax = -direction});
            EXPECT_EQ(wheel.log, button.log) << r.XMin << ".." << r.XMax << " " << direction;
        }
    }
}

TEST(ZoomAboutTest, ABoundBeyondTheFixedPointRangeStopsAfterTheFieldsBeforeIt)
{
    LoggedFields fields;
    EXPECT_THROW(ZoomAbout(fields, {-5, 5, -5, 1e300}, -1, 0.5, 0.5), EInvalidOp);
    EXPECT_EQ(fields.log, (QStringList{"XMin=-6", "XMax=6"}));
}

struct WheelCase
{
    std::vector<std::pair<QPoint, QPoint>> turns; ///< angle delta, pixel delta
    std::vector<int> steps;
    const char* reason;
};

TEST(WheelStepsTest, CountsWholeStepsAndAddsUpFineOnes)
{
    const WheelCase cases[] = {
        {{{{0, 120}, {}}, {{0, -120}, {}}}, {1, -1}, "one notch each way"},
        {{{{0, 360}, {}}}, {3}, "three notches in one event"},
        {{{{0, 40}, {}}, {{0, 40}, {}}, {{0, 40}, {}}, {{0, 40}, {}}}, {0, 0, 1, 0}, "fine steps"},
        {{{{0, 100}, {}}, {{0, 50}, {}}, {{0, 100}, {}}}, {0, 1, 1}, "the rest is kept"},
        {{{{0, 90}, {}}, {{0, -60}, {}}, {{0, -60}, {}}}, {0, 0, -1}, "turning back starts afresh"},
        {{{{120, 0}, {}}, {{0, 0}, {0, 0}}}, {0, 0}, "sideways and nothing"},
        {{{{0, 0}, {0, 30}}, {{0, 0}, {0, 30}}, {{0, 0}, {0, -90}}},
         {0, 1, -1},
         "pixels only: 60 per step"},
        {{{{0, 60}, {0, 500}}, {{0, 60}, {0, 500}}}, {0, 1}, "an angle outranks pixels"},
        {{{{0, 2147483647}, {}}, {{0, 2147483647}, {}}},
         {17895697, 17895697},
         "no overflow from huge turns"},
    };
    for (const WheelCase& c : cases) {
        WheelSteps wheel;
        std::vector<int> steps;
        for (const auto& [angle, pixels] : c.turns)
            steps.push_back(wheel.add(angle, pixels));
        EXPECT_EQ(steps, c.steps) << c.reason;
    }
}

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
