// A long randomised session on the real main window: thousands of user
// actions of every kind, texts typed at random into every field. Afterwards
// the window still answers, the heap has not grown beyond a small bound, and
// Functions.ini reads back to what the controls hold.
//
// The seed is printed; KURVARO_SESSION_SEED and KURVARO_SESSION_ACTIONS replay
// or lengthen a run.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/ColorSwatch.h"
#include "dialogs/FuncForm.h"
#include "dialogs/SetupForm.h"
#include "plot/PlotRenderer.h"
#include "settings/PlainStores.h"
#include "settings/Settings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count of live heap bytes (freed memory waiting in
// its quarantine is not counted).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace kurvaro;

namespace {

std::size_t liveHeapBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

unsigned envNumber(const char* name, unsigned fallback)
{
    bool ok = false;
    const unsigned v = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? v : fallback;
}

/// Texts a user might type into a number field, hostile ones included.
const char* const NumberTexts[] = {
    "-5",
    "5",
    "0",
    "-0",
    ".",
    "1e400",
    "-1e308",
    "1e308",
    "1e-320",
    "1e-300",
    "1e300",
    "0.5",
    "0,5",
    "abc",
    "",
    "  7",
    "7 ",
    "2.5x",
    "+.5",
    "e5",
    "-",
    "1e",
    "922337203685477.5807",
    "-922337203685478",
    "1e15",
    "0.0001",
    "-0.00005",
    "3",
    "10",
    "-10",
    "100",
    "1e-5",
    // Views and intervals whose marks are far denser than the pixels or whose
    // numbers of multiples leave the integer range.
    "5e18",
    "-5e18",
    "1e-18",
    "8e-19",
    "1.5e281",
    "4.9406564584124654e-324",
    "0.00166",
};

/// Expressions: valid, refused, faulting at every column, long and deep.
const char* const Expressions[] = {
    "x",
    "sin(x)",
    "x^2",
    "1/x",
    "tan(x)*0.2",
    "1/x^10",
    "ln(x)",
    "sqrt(x)",
    "exp(x)",
    "x MOD 2",
    "XDIV2",
    "max(sin(x),cos(x))",
    "rnd(10)",
    "ph(x)",
    "2^3^2",
    "x+",
    "-x-1",
    "sqrt(-1-x^2)",
    "ln(0*x)",
    "1/(x-x)",
    "exp(1000+x)",
    "((x))",
    "2x",
    "",
    "x y",
    "ä",
    "SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(X))))))))"
    "))))))))))))",
};

class SessionDesktop : public RecordingDesktop
{
public:
    std::mt19937* random = nullptr;
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override
    {
        if ((*random)() % 3 == 0)
            return std::nullopt;
        return QColor::fromRgb((*random)() & 0xFFFFFFu);
    }
};

class LongSessionTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        session.random = &random;
    }
    void TearDown() override
    {
        if (window && window->isVisible())
            window->close();
        window.reset();
        MainWindowTest::TearDown();
    }

    unsigned pick(unsigned n) { return random() % n; }
    bool chance(unsigned percent) { return pick(100) < percent; }

    QWidget* panel() const { return window->findChild<QWidget*>(QStringLiteral("Panel1")); }
    TImage* image() const { return window->findChild<TImage*>(QStringLiteral("Image1")); }
    void clickPanelButton(const QString& name)
    {
        auto* button = panel()->findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        if (button->isEnabled())
            button->click();
    }

    QString randomText()
    {
        switch (pick(4)) {
        case 0:
            return QString::fromUtf8(NumberTexts[pick(std::size(NumberTexts))]);
        case 1:
            return QString::number(static_cast<double>(static_cast<int>(random())) / 1e6, 'g', 6);
        case 2: {
            // Printable characters, umlauts and the euro sign: everything the
            // settings file can hold.
            static const QString alphabet =
                QStringLiteral("0123456789.+-eE xX()*/^,;=[]\"'abcäöüß€\t");
            QString text;
            for (unsigned n = pick(12); n > 0; --n)
                text += alphabet.at(
                    static_cast<qsizetype>(pick(static_cast<unsigned>(alphabet.size()))));
            return text;
        }
        default:
            return QString::fromUtf8(Expressions[pick(std::size(Expressions))]);
        }
    }

    QPoint randomPoint()
    {
        const QSize area = window->drawingAreaSize();
        return {static_cast<int>(pick(static_cast<unsigned>(area.width() + 80))) - 40,
                static_cast<int>(pick(static_cast<unsigned>(area.height() + 80))) - 40};
    }

    void editFunctions(TForm2& form)
    {
        for (unsigned edits = 1 + pick(3); edits > 0; --edits) {
            const int n = 1 + static_cast<int>(pick(FunctionSlotCount));
            FunctionSlot slot = form.functionSlot(n);
            switch (pick(3)) {
            case 0:
                slot.Expression = chance(70)
                                      ? QString::fromUtf8(Expressions[pick(std::size(Expressions))])
                                      : randomText();
                break;
            case 1:
                // Few curves at a time keep a redraw short under the sanitizers.
                slot.Visible = chance(35);
                break;
            default:
                if (auto* swatch =
                        form.findChild<ColorSwatch*>(n == 2   ? QStringLiteral("pColor2")
                                                     : n == 3 ? QStringLiteral("Pcolor3")
                                                              : QStringLiteral("PColor%1").arg(n)))
                    QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(11, 11));
                continue;
            }
            form.setFunctionSlot(n, slot);
        }
    }

    void editOptions(TForm1& form)
    {
        static const char* const Fields[] = {"EditRastX",  "EditRastY",     "EditScaleX",
                                             "EditScaleY", "EditAxisTextX", "EditAxisTextY"};
        static const char* const Boxes[] = {"CheckBoxRast", "CheckBoxAxis", "CheckBoxScale",
                                            "CheckBoxAxisText"};
        for (unsigned edits = 1 + pick(3); edits > 0; --edits) {
            if (chance(50)) {
                if (auto* edit = form.findChild<QLineEdit*>(
                        QString::fromLatin1(Fields[pick(std::size(Fields))])))
                    edit->setText(chance(60)
                                      ? QString::fromUtf8(NumberTexts[pick(std::size(NumberTexts))])
                                      : randomText());
            } else if (auto* box = form.findChild<QCheckBox*>(
                           QString::fromLatin1(Boxes[pick(std::size(Boxes))]))) {
                box->click();
            }
        }
    }

    void randomAction(unsigned step)
    {
        static const char* const RangeFields[] = {"Editxmin", "Editxmax", "Editymin", "Editymax"};
        switch (pick(14)) {
        case 0:
        case 1:
            clickPanelButton(QStringLiteral("SpeedButton%1").arg(1 + pick(6)));
            break;
        case 2:
            clickPanelButton(QStringLiteral("BitBtn2"));
            break;
        case 3:
        case 4: {
            auto* edit = panel()->findChild<QLineEdit*>(
                QString::fromLatin1(RangeFields[pick(std::size(RangeFields))]));
            ASSERT_NE(edit, nullptr);
            if (edit->isEnabled())
                edit->setText(randomText());
            if (chance(50))
                clickPanelButton(QStringLiteral("BitBtn2"));
            break;
        }
        case 5: {
            // A drag, from and to anywhere, resting now and then so the
            // outline timer fires.
            const Qt::MouseButton button = chance(80) ? Qt::LeftButton : Qt::RightButton;
            QTest::mousePress(image(), button, {}, randomPoint());
            for (unsigned moves = pick(4); moves > 0; --moves) {
                QTest::mouseMove(image(), randomPoint());
                if (chance(10))
                    QTest::qWait(45);
            }
            QTest::mouseRelease(image(), button, {}, randomPoint());
            break;
        }
        case 6: {
            const QPoint p = randomPoint();
            QTest::mouseClick(image(), Qt::LeftButton, {}, p);
            break;
        }
        case 7:
            QTest::mouseMove(image(), randomPoint());
            break;
        case 8:
            session.dialogAnswer = [this](QDialog& dialog) {
                editFunctions(static_cast<TForm2&>(dialog));
                return chance(60) ? pressOk(dialog) : pressCancel(dialog);
            };
            clickPanelButton(QStringLiteral("BitBtn1"));
            break;
        case 9:
            session.dialogAnswer = [this](QDialog& dialog) {
                editOptions(static_cast<TForm1&>(dialog));
                return chance(60) ? pressOk(dialog) : pressCancel(dialog);
            };
            clickPanelButton(QStringLiteral("BitBtn4"));
            break;
        case 10:
            window->resize(120 + static_cast<int>(pick(500)), 200 + static_cast<int>(pick(350)));
            if (chance(50))
                clickPanelButton(QStringLiteral("BitBtn2"));
            break;
        case 11: {
            static const char* const Names[] = {"kurve",     "kurve.bmp", "kurve.Bmp",
                                                "kurve.png", "kurve.",    "no/such/folder/kurve"};
            session.saveAnswers << (chance(20) ? QString()
                                               : dir.filePath(QString::fromLatin1(
                                                     Names[pick(std::size(Names))])));
            clickPanelButton(QStringLiteral("BitBtn3"));
            break;
        }
        case 12:
            session.dialogAnswer = pressCancel;
            clickPanelButton(QStringLiteral("BitBtn5"));
            break;
        default:
            // A range too small or too large for the fields' four decimals.
            if (chance(30)) {
                auto* edit = panel()->findChild<QLineEdit*>(QStringLiteral("Editxmax"));
                if (edit->isEnabled())
                    edit->setText(step % 2 ? QStringLiteral("1e300") : QStringLiteral("-5.00001"));
            }
            clickPanelButton(QStringLiteral("SpeedButton%1").arg(5 + pick(2)));
            break;
        }
        QCoreApplication::processEvents();
    }

    /// Closes the window and reads Functions.ini back: it holds what the
    /// controls held.
    void expectTheFileHoldsWhatTheControlsHold()
    {
        PlainFunctionSlots heldFunctions;
        for (int n = 1; n <= FunctionSlotCount; ++n)
            heldFunctions.setFunctionSlot(n, window->Form2()->functionSlot(n));
        const PlotOptions heldOptions = window->Form1()->plotOptions();
        std::array<QString, 4> heldRange;
        for (int f = 0; f < 4; ++f)
            heldRange[static_cast<std::size_t>(f)] = window->rangeText(static_cast<RangeField>(f));
        window->close();
        pump();

        PlainFunctionSlots functions;
        PlainPlotOptions options;
        PlainView view;
        LoadSettings(functions, options, view, settingsPath());
        for (int n = 1; n <= FunctionSlotCount; ++n) {
            const FunctionSlot held = heldFunctions.functionSlot(n);
            const FunctionSlot read = functions.functionSlot(n);
            EXPECT_EQ(read.Expression, held.Expression.left(2047)) << "slot " << n;
            EXPECT_EQ(read.Visible, held.Visible) << "slot " << n;
            EXPECT_EQ(read.Color, held.Color) << "slot " << n;
        }
        const PlotOptions& read = options.options;
        for (const auto& [r, h] :
             {std::pair{&read.Grid, &heldOptions.Grid}, std::pair{&read.Scale, &heldOptions.Scale},
              std::pair{&read.AxisText, &heldOptions.AxisText}}) {
            EXPECT_EQ(r->Visible, h->Visible);
            EXPECT_EQ(r->IX, h->IX);
            EXPECT_EQ(r->IY, h->IY);
            EXPECT_EQ(r->Color, h->Color);
        }
        EXPECT_EQ(read.Axis.Visible, heldOptions.Axis.Visible);
        EXPECT_EQ(read.Axis.Color, heldOptions.Axis.Color);
        EXPECT_EQ(read.BackGround.Color, heldOptions.BackGround.Color);
        for (int f = 0; f < 4; ++f)
            EXPECT_EQ(view.rangeText(static_cast<RangeField>(f)),
                      heldRange[static_cast<std::size_t>(f)]);
    }

    SessionDesktop session;
    std::mt19937 random;
};

TEST_F(LongSessionTest, TenThousandRandomActionsLeaveAUsableWindowAndAFaithfulFile)
{
    const unsigned seed = envNumber("KURVARO_SESSION_SEED", 20261208u);
    const unsigned actions = envNumber("KURVARO_SESSION_ACTIONS", 10000u);
    std::cout << "long session: seed " << seed << ", " << actions << " actions\n";
    RecordProperty("seed", static_cast<int>(seed));
    random.seed(seed);

    start();
    window->resize(400, 320);

    constexpr unsigned WarmUp = 300;
    std::size_t heapAfterWarmUp = 0;
    for (unsigned step = 0; step < actions; ++step) {
        if (step == WarmUp)
            heapAfterWarmUp = liveHeapBytes();
        QElapsedTimer timer;
        timer.start();
        ASSERT_NO_FATAL_FAILURE(randomAction(step)) << "seed " << seed << ", action " << step;
        // A bound far above any redraw, so that a frozen one fails here
        // rather than at the test's time-out, even under the sanitizers.
        ASSERT_LT(timer.elapsed(), 20000) << "seed " << seed << ", action " << step;
        ASSERT_FALSE(window->renderer().isDrawing()) << "seed " << seed << ", action " << step;
        ASSERT_TRUE(window->isVisible()) << "seed " << seed << ", action " << step;
    }

    // Still responsive: a valid range draws and gives the controls back.
    session.dialogAnswer = pressOk;
    window->resize(600, 400);
    window->setRangeText(RangeField::XMin, QStringLiteral("-5"));
    window->setRangeText(RangeField::XMax, QStringLiteral("5"));
    window->setRangeText(RangeField::YMin, QStringLiteral("-5"));
    window->setRangeText(RangeField::YMax, QStringLiteral("5"));
    const qsizetype errorsBefore = session.errors.size();
    clickPanelButton(QStringLiteral("BitBtn2"));
    EXPECT_TRUE(panel()->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->isEnabled());
    EXPECT_FALSE(window->renderer().PlotBitmap().isNull());
    EXPECT_EQ(window->renderer().LastRange().XMin, -5.0);

    const std::size_t heapAtEnd = liveHeapBytes();
    constexpr std::size_t HeapBound = 32u << 20;
    EXPECT_LT(heapAtEnd, heapAfterWarmUp + HeapBound)
        << "live heap grew from " << heapAfterWarmUp << " to " << heapAtEnd << " bytes";
    std::cout << "live heap after warm-up " << heapAfterWarmUp << " bytes, at the end " << heapAtEnd
              << " bytes\n";

    // Store everything the controls hold, then read the file back.
    clickPanelButton(QStringLiteral("BitBtn1"));
    clickPanelButton(QStringLiteral("BitBtn4"));
    EXPECT_EQ(session.errors.size(), errorsBefore) << session.errors.join(u'\n').toStdString();
    expectTheFileHoldsWhatTheControlsHold();
}

} // namespace
