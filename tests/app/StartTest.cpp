// The time between the first showing and the user's first input, in which the
// window manager places and frames the window: the first picture keeps
// fitting the drawing area, and afterwards a resize leaves it alone.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "plot/PlotRenderer.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <QDeadlineTimer>

#include <functional>

using namespace kurvaro;

namespace {

struct BeforeResize
{
    const char* name;
    std::function<void(TMatheMain&)> act;
    bool pictureFollows;
};

class FirstPictureFitTest : public MainWindowTest,
                            public ::testing::WithParamInterface<BeforeResize>
{
};

QWidget* part(TMatheMain& window, const char* name)
{
    return window.findChild<QWidget*>(QString::fromLatin1(name));
}

TEST_P(FirstPictureFitTest, FollowsTheDrawingAreaUntilTheUsersFirstInput)
{
    const BeforeResize& c = GetParam();
    start();
    const QSize first = plotBitmap().size();
    c.act(*window);
    pump();
    // As a window manager does when it frames the window.
    window->setWindowBound(WindowBound::Width, 760);
    window->setWindowBound(WindowBound::Height, 460);
    pump();
    pump();
    ASSERT_NE(window->drawingAreaSize(), first);
    if (c.pictureFollows) {
        EXPECT_EQ(plotBitmap().size(), window->drawingAreaSize());
        EXPECT_EQ(shownPicture().size(), window->drawingAreaSize());
    } else {
        EXPECT_EQ(plotBitmap().size(), first);
        EXPECT_EQ(shownPicture().size(), first);
    }
    EXPECT_TRUE(desktop.warnings.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, FirstPictureFitTest,
    ::testing::Values(
        BeforeResize{"NothingDone", [](TMatheMain&) {}, true},
        BeforeResize{"PointerMovedOverTheDrawing",
                     [](TMatheMain& w) { QTest::mouseMove(part(w, "Image1"), QPoint(30, 40)); },
                     true},
        BeforeResize{"KeyPressed",
                     [](TMatheMain& w) { QTest::keyClick(part(w, "Editxmin"), Qt::Key_Shift); },
                     false},
        BeforeResize{"ClickedOnThePanel",
                     [](TMatheMain& w) { QTest::mouseClick(part(w, "Label6"), Qt::LeftButton); },
                     false},
        BeforeResize{"WheelTurnedOverTheDrawing",
                     [](TMatheMain& w) {
                         QWidget* image = part(w, "Image1");
                         QWheelEvent wheel(QPointF(20, 20), image->mapToGlobal(QPointF(20, 20)),
                                           QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                           Qt::NoScrollPhase, false);
                         QApplication::sendEvent(image, &wheel);
                     },
                     false}),
    [](const ::testing::TestParamInfo<BeforeResize>& info) { return info.param.name; });

TEST_F(MainWindowTest, ARefusedFirstPictureIsNotTriedAgainWhenTheAreaChanges)
{
    writeSettings("[View]\r\nXMin=abc\r\n");
    window = std::make_unique<TMatheMain>();
    window->CreateDialogs();
    window->show();
    const QDeadlineTimer deadline(10000);
    while (desktop.warnings.isEmpty() && !deadline.hasExpired())
        pump(10);
    ASSERT_EQ(desktop.warnings.size(), 1);
    window->setWindowBound(WindowBound::Width, 760);
    pump();
    pump();
    EXPECT_EQ(desktop.warnings.size(), 1) << "one message for one start";
    EXPECT_TRUE(plotBitmap().isNull());
}

TEST_F(MainWindowTest, AFittedFirstPictureDoesNotRepeatItsMessages)
{
    writeSettings("[Function1]\r\nVisible=1\r\nExpression=sin(\r\n"
                  "[Function2]\r\nVisible=1\r\nExpression=x/2\r\n");
    start();
    ASSERT_EQ(desktop.warnings.size(), 1) << "slot 1 does not compile";
    window->setWindowBound(WindowBound::Width, 760);
    pump();
    pump();
    EXPECT_EQ(plotBitmap().size(), window->drawingAreaSize());
    EXPECT_EQ(desktop.warnings.size(), 1) << desktop.warnings.join(u'|').toStdString();
    // A redraw that the user asks for reports the slot again.
    click("BitBtn2");
    EXPECT_EQ(desktop.warnings.size(), 2);
}

TEST_F(MainWindowTest, AnAreaChangedWhileAPictureIsDrawnIsFittedAfterIt)
{
    writeSettings("[Function1]\r\nVisible=1\r\nExpression=sin(x)\r\n"
                  "[Function2]\r\nVisible=1\r\nExpression=x*x\r\n");
    start();
    // The curves are drawn with the event pump running, where the window
    // manager's resize arrives.
    QTimer::singleShot(0, window.get(), [this] {
        window->setWindowBound(WindowBound::Width, 760);
        window->setWindowBound(WindowBound::Height, 460);
    });
    window->Redraw();
    ASSERT_FALSE(window->renderer().isDrawing());
    pump();
    pump();
    EXPECT_EQ(plotBitmap().size(), window->drawingAreaSize());
    EXPECT_EQ(shownPicture().size(), window->drawingAreaSize());
}

} // namespace
