// The wheel on the main window.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "plot/PlotRenderer.h"
#include "plot/ViewMapping.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <functional>

using namespace kurvaro;

namespace {

class InputTest : public MainWindowTest
{
protected:
    TImage* image() const { return window->findChild<TImage*>(QStringLiteral("Image1")); }
    QLineEdit* edit(const char* name) const
    {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name));
    }

    void wheel(QPoint at, QPoint angle, QPoint pixels = {})
    {
        QWheelEvent event(QPointF(at), image()->mapToGlobal(QPointF(at)), pixels, angle,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(image(), &event);
        pump();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QWidget* target = nullptr)
    {
        QTest::keyClick(target != nullptr ? target : window.get(), k, modifiers);
        pump();
    }
    /// Starts, with the window active so that its shortcuts are live.
    void startActive()
    {
        start();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void expectFields(const char* xmin, const char* xmax, const char* ymin, const char* ymax,
                      const char* reason)
    {
        EXPECT_EQ(field("Editxmin"), xmin) << reason;
        EXPECT_EQ(field("Editxmax"), xmax) << reason;
        EXPECT_EQ(field("Editymin"), ymin) << reason;
        EXPECT_EQ(field("Editymax"), ymax) << reason;
    }
    void showSlowCurve()
    {
        FunctionSlot s;
        s.Expression = QStringLiteral("x^2");
        s.Visible = true;
        window->Form2()->setFunctionSlot(1, s);
    }
};

// ---- The wheel ----

TEST_F(InputTest, WheelAtTheCentreZoomsAsTheZoomButtonsDo)
{
    start();
    // An even drawing area has a pixel at its very centre.
    const QSize area = window->drawingAreaSize();
    window->resize(window->width() + area.width() % 2, window->height() + area.height() % 2);
    pump();
    const QSize even = window->drawingAreaSize();
    ASSERT_EQ(even.width() % 2, 0);
    ASSERT_EQ(even.height() % 2, 0);
    const QPoint centre(even.width() / 2, even.height() / 2);
    wheel(centre, {0, 120});
    expectFields("-4", "4", "-4", "4", "away from the user: the plus button's bounds");
    EXPECT_EQ(window->renderer().LastRange().XMin, -4.0) << "redrawn";
    wheel(centre, {0, -120});
    expectFields("-4.8", "4.8", "-4.8", "4.8", "towards the user: the minus button's bounds");
    EXPECT_TRUE(desktop.warnings.isEmpty());
}

struct CornerCase
{
    bool right;
    bool bottom;
    int angle;
    const char* reason;
};

class WheelCornerTest : public InputTest, public ::testing::WithParamInterface<CornerCase>
{
};

TEST_P(WheelCornerTest, ThePlanePointUnderThePointerStaysPut)
{
    const CornerCase& c = GetParam();
    start();
    const QSize area = window->drawingAreaSize();
    const QPoint at(c.right ? area.width() - 1 : 0, c.bottom ? area.height() - 1 : 0);
    const ViewMapping before = window->mapping();
    wheel(at, {0, c.angle});
    const ViewMapping after = window->mapping();
    ASSERT_NE(after.range().XMax - after.range().XMin, 10.0) << "zoomed: " << c.reason;
    // The fields hold four decimals.
    EXPECT_NEAR(after.PixelToX(at.x()), before.PixelToX(at.x()), 1e-4) << c.reason;
    EXPECT_NEAR(after.PixelToY(at.y()), before.PixelToY(at.y()), 1e-4) << c.reason;
    const double size = c.angle > 0 ? 8 : 12;
    EXPECT_NEAR(after.range().XMax - after.range().XMin, size, 1e-4) << c.reason;
    EXPECT_NEAR(after.range().YMax - after.range().YMin, size, 1e-4) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Rows, WheelCornerTest,
                         ::testing::Values(CornerCase{false, false, 120, "top left, in"},
                                           CornerCase{false, false, -120, "top left, out"},
                                           CornerCase{true, true, 120, "bottom right, in"},
                                           CornerCase{true, false, -120, "top right, out"},
                                           CornerCase{false, true, 120, "bottom left, in"}));

TEST_F(InputTest, WheelAtTheTopLeftPixelKeepsXminAndYmax)
{
    start();
    wheel({0, 0}, {0, 120});
    expectFields("-5", "3", "-3", "5", "the top left pixel is -5 / 5");
}

TEST_F(InputTest, FineWheelStepsAddUpToOneZoomStep)
{
    start();
    wheel({0, 0}, {0, 40});
    wheel({0, 0}, {0, 40});
    expectFields("-5", "5", "-5", "5", "two thirds of a step do nothing");
    wheel({0, 0}, {0, 40});
    expectFields("-5", "3", "-3", "5", "the third completes the step");
}

TEST_F(InputTest, WheelDuringARedrawIsDropped)
{
    start();
    showSlowCurve();
    QTimer::singleShot(0, window.get(), [&] { wheel({0, 0}, {0, 120}); });
    click("BitBtn2");
    expectFields("-5", "5", "-5", "5", "ignored while curves are drawn");
    wheel({0, 0}, {0, 60});
    expectFields("-5", "5", "-5", "5", "and not saved up: half a step stays half a step");
    EXPECT_FALSE(window->renderer().isDrawing());
}

} // namespace
