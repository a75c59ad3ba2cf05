// The wheel, the keyboard and the clipboard on the main window.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "dialogs/ShellTargets.h"
#include "plot/PlotRenderer.h"
#include "plot/ViewMapping.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
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

// ---- Enter and the shortcuts ----

struct EnterCase
{
    const char* field;
    double ViewRange::*bound;
};

class EnterTest : public InputTest, public ::testing::WithParamInterface<EnterCase>
{
};

TEST_P(EnterTest, EnterInARangeFieldRedraws)
{
    const EnterCase& c = GetParam();
    start();
    setField(c.field, "-2");
    QLineEdit* field = edit(c.field);
    field->setFocus();
    key(Qt::Key_Return, Qt::NoModifier, field);
    EXPECT_EQ(window->renderer().LastRange().*c.bound, -2.0) << c.field;
    setField(c.field, "abc");
    key(Qt::Key_Enter, Qt::KeypadModifier, field);
    EXPECT_EQ(desktop.warnings.size(), 1) << "the keypad's Enter as well: " << c.field;
}

INSTANTIATE_TEST_SUITE_P(Fields, EnterTest,
                         ::testing::Values(EnterCase{"Editxmin", &ViewRange::XMin},
                                           EnterCase{"Editxmax", &ViewRange::XMax},
                                           EnterCase{"Editymin", &ViewRange::YMin},
                                           EnterCase{"Editymax", &ViewRange::YMax}));

struct ViewKeyCase
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* xmin;
    const char* xmax;
    const char* ymin;
    const char* ymax;
    const char* reason;
};

class ViewKeyTest : public InputTest, public ::testing::WithParamInterface<ViewKeyCase>
{
};

TEST_P(ViewKeyTest, MovesTheViewAsItsButtonDoes)
{
    const ViewKeyCase& c = GetParam();
    startActive();
    key(c.key, c.modifiers);
    expectFields(c.xmin, c.xmax, c.ymin, c.ymax, c.reason);
    EXPECT_EQ(window->renderer().LastRange().XMin, field("Editxmin").toDouble()) << "redrawn";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewKeyTest,
    ::testing::Values(
        ViewKeyCase{Qt::Key_Plus, Qt::ControlModifier, "-4", "4", "-4", "4", "Ctrl+Plus"},
        ViewKeyCase{Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, "-4", "4", "-4", "4",
                    "Ctrl and the keypad's plus"},
        ViewKeyCase{Qt::Key_Equal, Qt::ControlModifier, "-4", "4", "-4", "4",
                    "Ctrl+= (plus without Shift on US keyboards)"},
        ViewKeyCase{Qt::Key_Minus, Qt::ControlModifier, "-6", "6", "-6", "6", "Ctrl+Minus"},
        ViewKeyCase{Qt::Key_Left, Qt::AltModifier, "-6", "4", "-5", "5", "Alt+Left"},
        ViewKeyCase{Qt::Key_Right, Qt::AltModifier, "-4", "6", "-5", "5", "Alt+Right"},
        ViewKeyCase{Qt::Key_Up, Qt::AltModifier, "-5", "5", "-4", "6", "Alt+Up"},
        ViewKeyCase{Qt::Key_Down, Qt::AltModifier, "-5", "5", "-6", "4", "Alt+Down"},
        ViewKeyCase{Qt::Key_Left, Qt::NoModifier, "-5", "5", "-5", "5", "a plain arrow is no pan"},
        ViewKeyCase{Qt::Key_Plus, Qt::NoModifier, "-5", "5", "-5", "5",
                    "a plain plus is no zoom"}));

TEST_F(InputTest, F5RedrawsTheTypedView)
{
    startActive();
    setField("Editxmin", "-2");
    key(Qt::Key_F5);
    EXPECT_EQ(window->renderer().LastRange().XMin, -2.0);
}

TEST_F(InputTest, F5InAFocusedRangeFieldRedrawsToo)
{
    startActive();
    setField("Editymax", "3");
    edit("Editymax")->setFocus();
    key(Qt::Key_F5, Qt::NoModifier, edit("Editymax"));
    EXPECT_EQ(window->renderer().LastRange().YMax, 3.0);
    EXPECT_EQ(field("Editymax"), "3") << "the field keeps its text";
}

struct DialogKeyCase
{
    Qt::Key key;
    const char* dialog;
};

class DialogKeyTest : public InputTest, public ::testing::WithParamInterface<DialogKeyCase>
{
};

TEST_P(DialogKeyTest, OpensTheDialogOfItsButton)
{
    const DialogKeyCase& c = GetParam();
    startActive();
    key(c.key, Qt::ControlModifier);
    EXPECT_EQ(desktop.dialogsShown, QStringList{QString::fromLatin1(c.dialog)});
}

INSTANTIATE_TEST_SUITE_P(Rows, DialogKeyTest,
                         ::testing::Values(DialogKeyCase{Qt::Key_F, "Form2"},
                                           DialogKeyCase{Qt::Key_O, "Form1"}));

TEST_F(InputTest, CtrlSOpensTheSaveDialog)
{
    startActive();
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(desktop.saveRequests.size(), 1u);
}

TEST_F(InputTest, F1OpensTheHelpTextAsTheInfoDialogsButtonDoes)
{
    startActive();
    key(Qt::Key_F1);
    EXPECT_EQ(desktop.openedUrls, QList<QUrl>{helpFileUrl()});
    EXPECT_TRUE(desktop.dialogsShown.isEmpty());
}

TEST_F(InputTest, CtrlCCopiesThePictureWithoutTheZoomOutline)
{
    startActive();
    QGuiApplication::clipboard()->clear();
    image()->drawOutline({10, 10}, {60, 40});
    ASSERT_NE(shownPicture(), plotBitmap()) << "the outline is on screen";
    key(Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), plotBitmap().size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              plotBitmap().convertToFormat(QImage::Format_RGB32));
}

TEST_F(InputTest, CtrlCInAFocusedRangeFieldCopiesItsText)
{
    startActive();
    QGuiApplication::clipboard()->clear();
    setField("Editxmax", "4.25");
    edit("Editxmax")->setFocus();
    edit("Editxmax")->selectAll();
    key(Qt::Key_C, Qt::ControlModifier, edit("Editxmax"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "4.25");
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());
}

TEST_F(InputTest, ShortcutsOfDisabledButtonsDoNothingDuringARedraw)
{
    startActive();
    showSlowCurve();
    bool drawing = false;
    QTimer::singleShot(0, window.get(), [&] {
        drawing = window->renderer().isDrawing();
        QGuiApplication::clipboard()->clear();
        for (const auto& [k, m] : std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
                 {Qt::Key_Plus, Qt::ControlModifier},
                 {Qt::Key_Right, Qt::AltModifier},
                 {Qt::Key_S, Qt::ControlModifier},
                 {Qt::Key_F, Qt::ControlModifier},
                 {Qt::Key_O, Qt::ControlModifier},
                 {Qt::Key_C, Qt::ControlModifier}})
            QTest::keyClick(window.get(), k, m);
    });
    click("BitBtn2");
    ASSERT_TRUE(drawing);
    expectFields("-5", "5", "-5", "5", "no pan or zoom");
    EXPECT_TRUE(desktop.saveRequests.empty());
    EXPECT_TRUE(desktop.dialogsShown.isEmpty());
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull()) << "no half-drawn picture";
    key(Qt::Key_Plus, Qt::ControlModifier);
    expectFields("-4", "4", "-4", "4", "and work again afterwards");
}

struct ToolTipCase
{
    const char* control;
    const char* names;
};

class ToolTipTest : public InputTest, public ::testing::WithParamInterface<ToolTipCase>
{
};

TEST_P(ToolTipTest, NamesTheShortcut)
{
    const ToolTipCase& c = GetParam();
    start();
    auto* control = window->findChild<QWidget*>(QString::fromLatin1(c.control));
    ASSERT_NE(control, nullptr) << c.control;
    EXPECT_TRUE(control->toolTip().contains(QString::fromUtf8(c.names)))
        << c.control << ": " << control->toolTip().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ToolTipTest,
    ::testing::Values(ToolTipCase{"BitBtn1", "Strg+F"}, ToolTipCase{"BitBtn4", "Strg+O"},
                      ToolTipCase{"BitBtn3", "Strg+S"}, ToolTipCase{"BitBtn3", "Strg+C"},
                      ToolTipCase{"BitBtn2", "F5"}, ToolTipCase{"BitBtn5", "F1"},
                      ToolTipCase{"SpeedButton2", "Alt+↑"}, ToolTipCase{"SpeedButton3", "Alt+←"},
                      ToolTipCase{"SpeedButton1", "Alt+→"}, ToolTipCase{"SpeedButton4", "Alt+↓"},
                      ToolTipCase{"SpeedButton6", "Strg++"}, ToolTipCase{"SpeedButton5", "Strg+-"},
                      ToolTipCase{"Editxmin", "Eingabetaste"}));

} // namespace
