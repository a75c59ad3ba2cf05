#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "plot/NumberText.h"
#include "plot/PlotRenderer.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

using namespace kurvaro;

namespace {

class MouseTest : public MainWindowTest
{
protected:
    TImage* image() const { return window->findChild<TImage*>(QStringLiteral("Image1")); }
    QString readout() const { return window->findChild<QLabel*>(QStringLiteral("Label1"))->text(); }
    QTimer* timer() const { return window->findChild<QTimer*>(QStringLiteral("Timer1")); }

    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), image()->mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(image(), &event);
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, at, button, button);
    }
    void move(QPoint at, Qt::MouseButtons held = Qt::LeftButton)
    {
        send(QEvent::MouseMove, at, Qt::NoButton, held);
    }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
        pump();
    }

    /// The plane value of a pixel in the default view -5..5, from the mapping's definition.
    double defaultX(int column) const
    {
        return -5 + column / (window->drawingAreaSize().width() / 10.0);
    }
    double defaultY(int row) const
    {
        const int h = window->drawingAreaSize().height();
        return -5 + (h - row) / (h / 10.0);
    }
};

TEST_F(MouseTest, TopLeftPixelReadsMinusFiveOverFive)
{
    start();
    move({0, 0}, Qt::NoButton);
    EXPECT_EQ(readout(), "-5 / 5");
}

struct ReadoutCase
{
    QLocale::Language language;
    QLocale::Country country;
    const char* expected;
    const char* reason;
};

class ReadoutTest : public MouseTest, public ::testing::WithParamInterface<ReadoutCase>
{
};

TEST_P(ReadoutTest, UsesTheLocaleDecimalSeparatorWhileFieldsKeepThePoint)
{
    const ReadoutCase& c = GetParam();
    const QLocale saved;
    QLocale::setDefault(QLocale(c.language, c.country));
    start();
    // Half a plane unit per column, a quarter per row.
    const QSize area = window->drawingAreaSize();
    setField("Editxmin", "0");
    setField("Editxmax", FormatRangeValue(area.width() / 2.0));
    setField("Editymin", "0");
    setField("Editymax", FormatRangeValue(area.height() / 4.0));
    click("BitBtn2");
    move({3, area.height() - 1}, Qt::NoButton);
    const QString shown = readout();
    press({3, area.height() - 1});
    release({3, area.height() - 1});
    QLocale::setDefault(saved);
    EXPECT_EQ(shown, QString::fromLatin1(c.expected)) << c.reason;
    EXPECT_EQ(field("Editxmin"), "1.5") << "the click's texts use a point: " << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadoutTest,
    ::testing::Values(ReadoutCase{QLocale::German, QLocale::Germany, "1,5 / 0,25", "comma"},
                      ReadoutCase{QLocale::English, QLocale::UnitedStates, "1.5 / 0.25", "point"}));

struct DragCase
{
    QPoint from;
    QPoint to;
    const char* reason;
};

class DragTest : public MouseTest, public ::testing::WithParamInterface<DragCase>
{
};

TEST_P(DragTest, AnyCornerToTheOppositeGivesTheSameOrderedView)
{
    const DragCase& c = GetParam();
    start();
    press(c.from);
    move((c.from + c.to) / 2);
    move(c.to);
    release(c.to);
    EXPECT_EQ(field("Editxmin"), FormatRangeValue(defaultX(40))) << c.reason;
    EXPECT_EQ(field("Editxmax"), FormatRangeValue(defaultX(200))) << c.reason;
    EXPECT_EQ(field("Editymax"), FormatRangeValue(defaultY(30))) << c.reason;
    EXPECT_EQ(field("Editymin"), FormatRangeValue(defaultY(250))) << c.reason;
    EXPECT_TRUE(desktop.warnings.isEmpty()) << desktop.warnings.join("|").toStdString();
    EXPECT_EQ(window->renderer().LastRange().XMin, field("Editxmin").toDouble()) << "redrawn";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DragTest,
    ::testing::Values(DragCase{{40, 30}, {200, 250}, "top left to bottom right"},
                      DragCase{{200, 250}, {40, 30}, "bottom right to top left"},
                      DragCase{{200, 30}, {40, 250}, "top right to bottom left"},
                      DragCase{{40, 250}, {200, 30}, "bottom left to top right"}));

TEST_F(MouseTest, PlainClickGivesTheXZeroRangeWarningAndKeepsThePicture)
{
    start();
    const QImage before = plotBitmap();
    press({100, 100});
    release({100, 100});
    EXPECT_EQ(
        desktop.warnings,
        QStringList({QString::fromUtf8("X-Breich ist 0. Überprüfen Sie den Bereich Xmin-Xmax.")}));
    EXPECT_EQ(field("Editxmin"), field("Editxmax"));
    EXPECT_EQ(field("Editymin"), field("Editymax"));
    EXPECT_EQ(plotBitmap(), before);
}

TEST_F(MouseTest, ReleaseBeyondTheEdgeExtendsTheView)
{
    start();
    const QSize area = window->drawingAreaSize();
    press({0, 0});
    release({area.width() + 48, area.height() + 50});
    EXPECT_EQ(field("Editxmin"), "-5");
    EXPECT_GT(field("Editxmax").toDouble(), 5.5);
    EXPECT_EQ(field("Editymax"), "5");
    EXPECT_LT(field("Editymin").toDouble(), -5.5);
}

TEST_F(MouseTest, ReleaseWithoutPressUsesTheStoredStartZeroAtFirst)
{
    start();
    release({100, 120});
    EXPECT_EQ(field("Editxmin"), "-5");
    EXPECT_EQ(field("Editxmax"), FormatRangeValue(defaultX(100)));
    EXPECT_EQ(field("Editymax"), "5");
    EXPECT_EQ(field("Editymin"), FormatRangeValue(defaultY(120)));
}

TEST_F(MouseTest, OutlineAppearsOnlyAfterThePointerRestsAndNeverInPlotBitmap)
{
    start();
    const QImage clean = plotBitmap();
    const auto black = [](const QImage& img, QPoint p) { return (img.pixel(p) & 0xFFFFFF) == 0; };
    press({20, 30});
    move({60, 70});
    move({120, 130});
    EXPECT_TRUE(timer()->isActive()) << "each move restarts the one-shot";
    EXPECT_EQ(timer()->interval(), 40);
    EXPECT_FALSE(black(shownPicture(), {70, 30})) << "no outline while the pointer moves";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer()->isActive(); }, 5000));
    pump();
    EXPECT_FALSE(timer()->isActive()) << "it fired once and stopped";
    for (QPoint p : {QPoint(70, 30), QPoint(120, 80), QPoint(70, 130), QPoint(20, 80)}) {
        EXPECT_TRUE(black(shownPicture(), p)) << p.x() << "," << p.y();
        EXPECT_FALSE(black(plotBitmap(), p)) << "PlotBitmap stays clean";
    }
    EXPECT_EQ(plotBitmap(), clean);
    // A later move redraws the outline from the press position only.
    move({60, 90});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer()->isActive(); }, 5000));
    pump();
    EXPECT_TRUE(black(shownPicture(), {40, 90}));
    EXPECT_FALSE(black(shownPicture(), {70, 130})) << "the old outline was wiped";
}

TEST_F(MouseTest, ReleaseWhileCurvesAreDrawnStartsNoSecondRedraw)
{
    start();
    FunctionSlot s;
    s.Expression = QStringLiteral("x^2");
    s.Visible = true;
    window->Form2()->setFunctionSlot(1, s);
    QTimer::singleShot(0, window.get(), [&] {
        press({50, 50});
        release({50, 50});
    });
    click("BitBtn2");
    EXPECT_TRUE(desktop.warnings.isEmpty()) << desktop.warnings.join("|").toStdString();
    EXPECT_EQ(field("Editxmin"), "-5");
    EXPECT_EQ(field("Editxmax"), "5");
    EXPECT_FALSE(window->renderer().isDrawing());
}

TEST_F(MouseTest, AnyButtonStartsAndEndsADrag)
{
    start();
    press({40, 30}, Qt::RightButton);
    release({200, 250}, Qt::RightButton);
    EXPECT_EQ(field("Editxmin"), FormatRangeValue(defaultX(40)));
    EXPECT_EQ(field("Editymin"), FormatRangeValue(defaultY(250)));
}

} // namespace
