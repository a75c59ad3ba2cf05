// Values a user may type or hand-edit that sit at the edges of what the
// program can compute. Each must end in a picture, a warning or the general
// error box, and in every case the window must come back usable.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "plot/PlotRenderer.h"

#include <QAbstractButton>
#include <QTest>

using namespace kurvaro;

namespace {

QByteArray slotSection(int n, const QByteArray& expression)
{
    return "[Function" + QByteArray::number(n) + "]\r\nExpression=" + expression +
           "\r\nVisible=1\r\n";
}

QByteArray viewSection(const char* xmin, const char* xmax, const char* ymin, const char* ymax)
{
    return QByteArray("[View]\r\nXMin=") + xmin + "\r\nXMax=" + xmax + "\r\nYMin=" + ymin +
           "\r\nYMax=" + ymax + "\r\n";
}

QByteArray intervals(const char* value)
{
    QByteArray s;
    for (const char* section : {"Grid", "Scale", "AxisText"})
        s += QByteArray("[") + section + "]\r\nIX=" + value + "\r\nIY=" + value + "\r\n";
    return s;
}

QByteArray nestedCalls(int depth)
{
    QByteArray s;
    for (int i = 0; i < depth; ++i)
        s += "SIN(";
    s += "X";
    for (int i = 0; i < depth; ++i)
        s += ")";
    return s;
}

/// A valid expression of exactly 2047 characters: brackets add no nesting level.
QByteArray longExpression()
{
    const int pairs = (2047 - 5) / 2;
    QByteArray s = QByteArray(pairs, '(') + "X*0.5" + QByteArray(pairs, ')');
    return s;
}

struct HostileCase
{
    const char* name;
    QByteArray settings;
    int errors;   ///< general error boxes expected
    int warnings; ///< warning boxes expected
    bool drawn;   ///< a picture of the view is expected
};

class HostileValues : public MainWindowTest, public ::testing::WithParamInterface<HostileCase>
{
protected:
    /// Shows the window and lets its first redraw (or its failure) run out.
    void startAndSettle()
    {
        window = std::make_unique<TMatheMain>();
        window->CreateDialogs();
        window->show();
        for (int i = 0; i < 500 && (i < 5 || window->renderer().isDrawing()); ++i)
            pump(5);
    }
};

TEST_P(HostileValues, EndInAPictureOrAMessageAndLeaveTheWindowUsable)
{
    const HostileCase& c = GetParam();
    writeSettings(c.settings);
    startAndSettle();
    ASSERT_FALSE(window->renderer().isDrawing());
    if (c.errors == 0 && c.warnings == 0) {
        // Draw once more by hand: the first picture came from the show.
        click("BitBtn2");
    }
    EXPECT_EQ(desktop.errors.size(), c.errors) << desktop.errors.join(u'|').toStdString();
    EXPECT_EQ(desktop.warnings.size() > 0, c.warnings > 0)
        << desktop.warnings.join(u'|').toStdString();
    EXPECT_EQ(!plotBitmap().isNull(), c.drawn);

    // Usable: every control is back and a plain view draws.
    auto* refresh = window->findChild<QWidget*>(QStringLiteral("Panel1"))
                        ->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"));
    EXPECT_TRUE(refresh->isEnabled());
    window->resize(683, 498);
    for (const RangeField f :
         {RangeField::XMin, RangeField::XMax, RangeField::YMin, RangeField::YMax})
        window->setRangeText(f, DesignedRangeText(f));
    desktop.warnings.clear();
    refresh->click();
    pump();
    EXPECT_FALSE(plotBitmap().isNull());
    EXPECT_TRUE(refresh->isEnabled());
}

const QByteArray Sine = slotSection(1, "sin(x)");

INSTANTIATE_TEST_SUITE_P(
    Ranges, HostileValues,
    ::testing::Values(
        // Beyond the double range: the conversion overflows.
        HostileCase{"Overflow", Sine + viewSection("-5", "1e400", "-5", "5"), 1, 0, false},
        // Both ends fit, their difference only in extended precision.
        HostileCase{"WidestView", Sine + viewSection("-1e308", "1e308", "-5", "5"), 0, 0, true},
        // A denormal width: the scale overflows once the picture is cleared.
        HostileCase{"DenormalWidth", Sine + viewSection("0", "1e-320", "-5", "5"), 1, 0, true},
        HostileCase{"HugeView", Sine + viewSection("-1e300", "1e300", "-1e300", "1e300"), 0, 0,
                    true},
        HostileCase{"EqualBounds", Sine + viewSection("1e-320", "1e-320", "-5", "5"), 0, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Intervals, HostileValues,
    ::testing::Values(
        HostileCase{"Tiny", Sine + intervals("1e-300"), 0, 0, true},
        HostileCase{"DenseButFinite", Sine + intervals("1e-7"), 0, 0, true},
        HostileCase{"NegativeZero", Sine + intervals("-0"), 0, 0, true},
        HostileCase{"Huge", Sine + intervals("1e300"), 0, 0, true},
        HostileCase{"Empty", Sine + intervals(""), 0, 0, true},
        // Marks far denser than the pixels, numbers of multiples
        // beyond the integer range: the redraw still ends at once.
        HostileCase{"TenToTheNineteenUnits", Sine + viewSection("-5e18", "5e18", "-5", "5"), 0, 0,
                    true},
        HostileCase{"TinyX",
                    Sine + "[Grid]\r\nIX=1e-18\r\n[Scale]\r\nIX=1e-18\r\n"
                           "[AxisText]\r\nIX=1e-18\r\n",
                    0, 0, true},
        HostileCase{"TinyY",
                    Sine + "[Grid]\r\nIY=8e-19\r\n[Scale]\r\nIY=8e-19\r\n"
                           "[AxisText]\r\nIY=8e-19\r\n",
                    0, 0, true},
        HostileCase{"HugeViewFineSteps",
                    Sine + viewSection("-1e300", "1e300", "-1e300", "1e300") + intervals("1.5e281"),
                    0, 0, true},
        HostileCase{"SmallestDenormal", Sine + intervals("4.9406564584124654e-324"), 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Expressions, HostileValues,
    ::testing::Values(HostileCase{"Longest", slotSection(1, longExpression()), 0, 0, true},
                      HostileCase{"TwentyNestedCalls", slotSection(1, nestedCalls(20)), 0, 0, true},
                      HostileCase{"TwentyOneNestedCalls", slotSection(1, nestedCalls(21)), 0, 1,
                                  true},
                      HostileCase{"FaultsEverywhere",
                                  slotSection(1, "sqrt(0-1-x^2)") + slotSection(2, "ln(x-x)") +
                                      slotSection(3, "exp(1000+x*x)") + slotSection(4, "1/(x-x)"),
                                  0, 0, true},
                      HostileCase{"AllTenSlotsLong",
                                  [] {
                                      QByteArray s;
                                      for (int n = 1; n <= 10; ++n)
                                          s += slotSection(n, nestedCalls(20));
                                      return s;
                                  }(),
                                  0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, DrawingAreaOfOnePixelAndOfEightThousandPixelsSquare)
{
    writeSettings(Sine + slotSection(2, "1/x"));
    start();
    for (const QSize area : {QSize(1, 1), QSize(8000, 8000), QSize(0, 0)}) {
        const QSize frame = window->size() - window->drawingAreaSize();
        window->resize(area + frame);
        click("BitBtn2");
        EXPECT_EQ(window->drawingAreaSize(), area);
        EXPECT_EQ(plotBitmap().size(), area);
        EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join(u'|').toStdString();
        EXPECT_FALSE(window->renderer().isDrawing());
    }
}

} // namespace
