// What the drawing area shows on screen after every presentation of a
// redraw: exactly PlotBitmap as it was at that moment, the face colour where
// the picture does not reach, and the zoom outline only until the next
// presentation. The screen is the window's backing store as the offscreen
// platform keeps it, so a rectangle left out of a repaint shows there.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "plot/PlotRenderer.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

using namespace kurvaro;

namespace {

/// The main window, looking at the screen at the pump after each presentation.
class WatchedMain : public TMatheMain
{
public:
    void presentPlot(const QImage& picture, std::span<const QRect> changed) override
    {
        TMatheMain::presentPlot(picture, changed);
        presented = picture.copy();
        unchecked = true;
    }

    void processEvents() override
    {
        TMatheMain::processEvents();
        if (std::exchange(unchecked, false)) {
            ++checks;
            const QString differs = screenDiffersFrom(presented);
            if (!differs.isEmpty())
                mismatches << QStringLiteral("presentation %1: %2").arg(checks).arg(differs);
        }
        if (onPump)
            onPump();
    }

    TImage* image() const { return findChild<TImage*>(QStringLiteral("Image1")); }

    /// Counts from the next presentation on.
    void restartChecks()
    {
        unchecked = false;
        checks = 0;
        mismatches.clear();
    }

    /// Empty when the drawing area on screen shows `expected` from its top
    /// left corner and the face colour where `expected` does not reach; else
    /// the first pixel that differs and how many do.
    QString screenDiffersFrom(const QImage& expected) const
    {
        const QImage shot = screen()->grabWindow(winId()).toImage();
        const QRect area(image()->mapTo(this, QPoint(0, 0)), image()->size());
        const QRgb face = image()->palette().button().color().rgb() & 0xFFFFFF;
        QString first;
        int count = 0;
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x) {
                const QRgb want = expected.rect().contains(x, y) ? expected.pixel(x, y) : face;
                const QRgb got = shot.pixel(area.x() + x, area.y() + y);
                if ((want & 0xFFFFFF) == (got & 0xFFFFFF))
                    continue;
                if (count++ == 0)
                    first = QStringLiteral("%1,%2 shows %3 instead of %4")
                                .arg(x)
                                .arg(y)
                                .arg(got & 0xFFFFFF, 6, 16, QChar(u'0'))
                                .arg(want & 0xFFFFFF, 6, 16, QChar(u'0'));
            }
        }
        return count == 0 ? QString() : QStringLiteral("%1 (%2 pixels)").arg(first).arg(count);
    }

    QImage presented;
    bool unchecked = false;
    int checks = 0;
    QStringList mismatches;
    std::function<void()> onPump;
};

/// PlotBitmap with the zoom outline from `a` to `b` over it, as the outline is drawn.
QImage withOutline(QImage picture, QPoint a, QPoint b)
{
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setPen(QPen(Qt::black, 0));
    const QPoint corners[] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())};
    painter.drawPolygon(corners, 4);
    return picture;
}

class PresentationTest : public MainWindowTest
{
protected:
    std::unique_ptr<TMatheMain> createWindow() override { return std::make_unique<WatchedMain>(); }
    WatchedMain& watched() const { return static_cast<WatchedMain&>(*window); }

    /// Four curves: a wave, steep poles, two branches and one that leaves at the top.
    void showCurves()
    {
        const char* const formulas[] = {"sin(x)*2", "tan(x)*0.2", "1/x", "x^2-3"};
        for (int n = 1; n <= 4; ++n) {
            window->Form2()->setFunctionSlot(
                n, FunctionSlot{QString::fromLatin1(formulas[n - 1]), true, DesignedSlotColors[n]});
        }
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), watched().image()->mapToGlobal(QPointF(at)), button,
                          held, Qt::NoModifier);
        QCoreApplication::sendEvent(watched().image(), &event);
    }
    /// Moves with the left button held and waits for the outline to be drawn.
    void dragTo(QPoint at)
    {
        mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        auto* timer = window->findChild<QTimer*>(QStringLiteral("Timer1"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !timer->isActive(); }, 5000));
        pump();
    }
};

TEST_F(PresentationTest, EveryPresentationShowsPlotBitmapAlsoAfterAResize)
{
    struct Step
    {
        QSize change;
        const char* reason;
    };
    const Step steps[] = {
        {QSize(0, 0), "the designed size"},
        {QSize(157, 61), "enlarged: the old picture beside the face colour until the redraw"},
        {QSize(-340, -250), "shrunk below the old picture, which is cut at the edges"},
        {QSize(0, 0), "the same size again: nothing is taken whole but the background"},
    };
    start();
    userActs();
    showCurves();
    for (const Step& step : steps) {
        const QSize outer(window->windowBound(WindowBound::Width),
                          window->windowBound(WindowBound::Height));
        window->setWindowBound(WindowBound::Width, outer.width() + step.change.width());
        window->setWindowBound(WindowBound::Height, outer.height() + step.change.height());
        pump(20);
        EXPECT_EQ(watched().screenDiffersFrom(plotBitmap()), QString()) << step.reason;
        watched().restartChecks();
        click("BitBtn2");
        EXPECT_EQ(plotBitmap().size(), window->drawingAreaSize()) << step.reason;
        EXPECT_EQ(watched().checks, 4) << "one look before each curve: " << step.reason;
        EXPECT_EQ(watched().mismatches, QStringList()) << step.reason;
        EXPECT_EQ(watched().screenDiffersFrom(plotBitmap()), QString())
            << "after the last presentation: " << step.reason;
    }
}

TEST_F(PresentationTest, AnOutlineDrawnDuringARedrawIsWipedByTheNextPresentation)
{
    start();
    userActs();
    showCurves();
    // The outline, as the drag timer draws it while the pump before a curve
    // runs, goes mostly over pixels that the next curve leaves alone.
    const QPoint a(30, 40), b(300, 200);
    bool drawn = false;
    QString shownBeforeThirdCurve;
    watched().onPump = [&] {
        if (watched().checks == 2 && !std::exchange(drawn, true)) {
            watched().image()->drawOutline(a, b);
            QCoreApplication::processEvents();
            shownBeforeThirdCurve =
                watched().screenDiffersFrom(withOutline(watched().presented, a, b));
        }
    };
    watched().restartChecks();
    click("BitBtn2");
    EXPECT_TRUE(drawn);
    EXPECT_EQ(shownBeforeThirdCurve, QString()) << "the outline was on screen";
    EXPECT_EQ(watched().checks, 4);
    EXPECT_EQ(watched().mismatches, QStringList()) << "and gone with the next presentation";
}

TEST_F(PresentationTest, DraggingShowsOnlyTheNewestOutlineOverPlotBitmap)
{
    start();
    userActs();
    showCurves();
    click("BitBtn2");
    const QPoint from(40, 30);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (const QPoint to : {QPoint(300, 250), QPoint(120, 90), QPoint(10, 5), QPoint(460, 455)}) {
        dragTo(to);
        EXPECT_EQ(watched().screenDiffersFrom(withOutline(plotBitmap(), from, to)), QString())
            << "outline to " << to.x() << "," << to.y();
    }
    mouse(QEvent::MouseButtonRelease, QPoint(460, 455), Qt::LeftButton, Qt::NoButton);
    pump();
    EXPECT_EQ(watched().screenDiffersFrom(plotBitmap()), QString()) << "the zoomed picture";
}

} // namespace
