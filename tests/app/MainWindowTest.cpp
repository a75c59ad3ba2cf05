#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "dialogs/SetupForm.h"
#include "model/ProgramDirectory.h"
#include "plot/PlotRenderer.h"
#include "plot/ViewMapping.h"
#include "settings/Settings.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <cstring>

using namespace kurvaro;

namespace {

QRgb rgbOf(TColor color)
{
    return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

/// True when some pixel of column `x` has the colour.
bool columnHas(const QImage& image, int x, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
            return true;
    return false;
}

int countColour(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

void showSine(TMatheMain& window, int slot = 1, TColor color = colors::clRed)
{
    FunctionSlot s;
    s.Expression = QStringLiteral("sin(x)");
    s.Visible = true;
    s.Color = color;
    window.Form2()->setFunctionSlot(slot, s);
}

TEST_F(MainWindowTest, FirstStartWithoutSettingsFileUsesTheDesignedState)
{
    start();
    EXPECT_EQ(field("Editxmin"), "-5");
    EXPECT_EQ(field("Editxmax"), "5");
    EXPECT_EQ(field("Editymin"), "-5");
    EXPECT_EQ(field("Editymax"), "5");
    // The offscreen platform draws no frame: the outer bounds are the window's own.
    EXPECT_EQ(window->windowBound(WindowBound::Width), 683);
    EXPECT_EQ(window->windowBound(WindowBound::Height), 498);
    EXPECT_EQ(window->windowBound(WindowBound::Top), 115);
    EXPECT_EQ(window->windowBound(WindowBound::Left), 183);
    EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join(" | ").toStdString();
    EXPECT_TRUE(desktop.warnings.isEmpty()) << desktop.warnings.join(" | ").toStdString();
    EXPECT_EQ(window->windowTitle(), "Kurvaro");
    EXPECT_FALSE(QFile::exists(settingsPath())) << "nothing is written before the close";
}

TEST_F(MainWindowTest, AtRatioOneTheDrawingAreasPixelsAreItsOwn)
{
    // The plain screen (the HiDPI one has a test executable of its own): W x H
    // is the control's size, the picture is at 96 dots per inch (8 points are
    // 11 pixels), and the screen shows each picture pixel once, unscaled.
    start();
    ASSERT_EQ(window->devicePixelRatioF(), 1.0);
    auto* image = window->findChild<TImage*>(QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(window->drawingAreaSize(), image->size());
    const QImage picture = plotBitmap();
    EXPECT_EQ(picture.size(), image->size());
    EXPECT_EQ(picture.dotsPerMeterX(), 3780);
    EXPECT_EQ(picture.dotsPerMeterY(), 3780);
    EXPECT_EQ(image->grab().toImage().convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindowTest, DefaultPictureFillsTheDrawingAreaWithBackgroundAndGreyAxes)
{
    start();
    const QImage picture = plotBitmap();
    ASSERT_EQ(picture.size(), window->drawingAreaSize());
    EXPECT_EQ(shownPicture().size(), picture.size());
    EXPECT_EQ(shownPicture().convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32))
        << "PresentPlot shows exactly the buffer";
    EXPECT_EQ(picture.pixel(picture.width() - 1, 1) & 0xFFFFFF, rgbOf(0x00FEF1F2) & 0xFFFFFF)
        << "background colour in the top right corner";
    const int axisColumn = static_cast<int>(window->mapping().XToPixel(0));
    EXPECT_TRUE(columnHas(picture, axisColumn, rgbOf(colors::clGray))) << "the y axis";
    EXPECT_GT(countColour(picture, rgbOf(0x00EBEBEB)), 100) << "the grid";
}

TEST_F(MainWindowTest, StoredViewAndBoundsAreAppliedAtTheFirstShow)
{
    writeSettings("[View]\r\nXMin=-1\r\nXMax=3\r\nYMin=-2\r\nYMax=2\r\n"
                  "Width=720\r\nHeight=540\r\nTop=40\r\nLeft=30\r\n");
    start();
    EXPECT_EQ(field("Editxmin"), "-1");
    EXPECT_EQ(field("Editymax"), "2");
    EXPECT_EQ(window->renderer().LastRange().XMax, 3.0);
    EXPECT_EQ(window->windowBound(WindowBound::Width), 720);
    EXPECT_EQ(window->windowBound(WindowBound::Height), 540);
    EXPECT_EQ(window->windowBound(WindowBound::Top), 40);
    EXPECT_EQ(window->windowBound(WindowBound::Left), 30);
    EXPECT_EQ(plotBitmap().size(), window->drawingAreaSize()) << "drawn at the stored size";
}

TEST_F(MainWindowTest, ColourThatDoesNotConvertShowsTheErrorBoxAndSkipsTheFirstDrawing)
{
    writeSettings("[Function5]\r\nColor=purple\r\n[View]\r\nXMin=-9\r\n");
    start(false);
    pump(50);
    ASSERT_EQ(desktop.errors.size(), 1);
    EXPECT_EQ(desktop.errors.front(), QString::fromUtf8("'purple' ist kein gültiger Integerwert"));
    EXPECT_TRUE(window->isVisible()) << "the window is shown all the same";
    EXPECT_TRUE(plotBitmap().isNull()) << "no first drawing";
    EXPECT_EQ(field("Editxmin"), "-5") << "keys after the bad one keep the designed values";
    click("BitBtn2");
    EXPECT_FALSE(plotBitmap().isNull()) << "the next command draws";
}

struct DialogCase
{
    const char* button;
    bool ok;
    bool redraws;
    const char* reason;
};

class DialogButtonTest : public MainWindowTest, public ::testing::WithParamInterface<DialogCase>
{
};

TEST_P(DialogButtonTest, RedrawsOnlyAfterOk)
{
    const DialogCase& c = GetParam();
    start();
    desktop.dialogAnswer = c.ok ? pressOk : pressCancel;
    // A typed range that only a redraw reads tells whether one happened.
    setField("Editxmin", "-2");
    click(c.button);
    ASSERT_EQ(desktop.dialogsShown.size(), std::strcmp(c.button, "BitBtn2") == 0 ? 0 : 1)
        << c.reason;
    EXPECT_EQ(window->renderer().LastRange().XMin, c.redraws ? -2.0 : -5.0) << c.reason;
    EXPECT_EQ(field("Editxmin"), "-2");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogButtonTest,
    ::testing::Values(DialogCase{"BitBtn1", true, true, "functions dialog OK, nothing changed"},
                      DialogCase{"BitBtn1", false, false, "functions dialog cancelled"},
                      DialogCase{"BitBtn4", true, true, "options dialog OK"},
                      DialogCase{"BitBtn4", false, false, "options dialog cancelled"},
                      DialogCase{"BitBtn5", true, false, "the info dialog never redraws"},
                      DialogCase{"BitBtn2", false, true,
                                 "Aktualisieren redraws without a dialog"}));

TEST_F(MainWindowTest, DialogsAreShownModallyAndAreTheOnesCreatedAtStart)
{
    start();
    click("BitBtn1");
    click("BitBtn4");
    click("BitBtn5");
    EXPECT_EQ(desktop.dialogsShown, QStringList({"Form2", "Form1", "Form4"}));
}

TEST_F(MainWindowTest, OkInTheFunctionsDialogDrawsTheNewCurve)
{
    start();
    const QImage before = plotBitmap();
    showSine(*window);
    EXPECT_EQ(plotBitmap(), before) << "editing alone does not draw";
    desktop.dialogAnswer = pressOk;
    click("BitBtn1");
    EXPECT_GT(countColour(plotBitmap(), rgbOf(colors::clRed)), 200);
}

TEST_F(MainWindowTest, InvalidRangeKeepsTheOldPictureAndTheTypedTextWhichReachesTheFile)
{
    start();
    const QImage before = plotBitmap();
    setField("Editxmin", "abc");
    click("BitBtn2");
    EXPECT_EQ(desktop.warnings, QStringList({"Fehler in XMin an Stelle: 1"}));
    EXPECT_EQ(plotBitmap(), before);
    EXPECT_EQ(shownPicture().convertToFormat(QImage::Format_RGB32),
              before.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(field("Editxmin"), "abc");
    const QStringList lines = closeAndReadSettings();
    EXPECT_TRUE(lines.contains("XMin=abc")) << lines.join("\n").toStdString();
}

TEST_F(MainWindowTest, RangeTooLargeForADoubleReachesTheGeneralErrorBox)
{
    start();
    setField("Editxmax", "1e400");
    click("BitBtn2");
    EXPECT_EQ(desktop.errors, QStringList({QString::fromUtf8("Gleitkommaüberlauf")}));
    EXPECT_TRUE(window->findChild<QAbstractButton*>("BitBtn2")->isEnabled());
}

TEST_F(MainWindowTest, CloseWritesTheEightViewKeysInOrder)
{
    start();
    setField("Editymax", "7.25");
    const QStringList lines = closeAndReadSettings();
    const QStringList expected = {"[View]",    "XMin=-5",    "XMax=5",  "YMin=-5", "YMax=7.25",
                                  "Width=683", "Height=498", "Top=115", "Left=183"};
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(window->renderer().pictureReleased());
}

TEST_F(MainWindowTest, ControlsAreDisabledWhileCurvesAreDrawnExceptInfo)
{
    start();
    showSine(*window);
    std::vector<std::pair<QString, bool>> during;
    QTimer::singleShot(0, window.get(), [&] {
        for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5",
                                 "SpeedButton1", "SpeedButton6"})
            during.emplace_back(QString::fromLatin1(name),
                                window->findChild<QAbstractButton*>(name)->isEnabled());
        during.emplace_back("Editxmin", window->findChild<QLineEdit*>("Editxmin")->isEnabled());
        during.emplace_back("GroupBox1", window->findChild<QGroupBox*>("GroupBox1")->isEnabled());
        during.emplace_back("Label1", window->findChild<QLabel*>("Label1")->isEnabled());
        during.emplace_back("Image1", window->findChild<QWidget*>("Image1")->isEnabled());
    });
    click("BitBtn2");
    ASSERT_FALSE(during.empty()) << "the redraw pumps events before each curve";
    for (const auto& [name, enabled] : during) {
        const bool stays = name == "BitBtn5" || name == "Image1";
        EXPECT_EQ(enabled, stays) << name.toStdString();
    }
    for (const char* name : {"BitBtn1", "BitBtn2", "SpeedButton6"})
        EXPECT_TRUE(window->findChild<QAbstractButton*>(name)->isEnabled()) << name << " after";
}

TEST_F(MainWindowTest, ClosingDuringASlowRedrawStopsItAndStillWritesTheView)
{
    start();
    for (int n = 1; n <= 10; ++n) {
        FunctionSlot s;
        s.Expression = QStringLiteral("sin(x*%1)+sqrt(abs(x))*cos(x/%1)-x^2/(%1+1)").arg(n);
        s.Visible = true;
        window->Form2()->setFunctionSlot(n, s);
    }
    setField("Editxmin", "-3");
    bool closedWhileDrawing = false;
    QTimer::singleShot(0, window.get(), [&] {
        closedWhileDrawing = window->renderer().isDrawing();
        window->close();
    });
    click("BitBtn2");
    pump(20);
    EXPECT_TRUE(closedWhileDrawing);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->renderer().pictureReleased());
    EXPECT_FALSE(window->renderer().isDrawing());
    EXPECT_TRUE(settingsLines().contains("XMin=-3")) << settingsLines().join("\n").toStdString();
    EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join(" | ").toStdString();
    // Nothing draws into the released picture any more.
    window->Redraw();
    EXPECT_TRUE(window->renderer().pictureReleased());
}

TEST_F(MainWindowTest, ResizedWindowKeepsTheOldPictureUntilTheNextRedraw)
{
    start();
    userActs();
    const QSize old = plotBitmap().size();
    window->setWindowBound(WindowBound::Width, 800);
    pump();
    EXPECT_EQ(plotBitmap().size(), old);
    EXPECT_EQ(shownPicture().size(), old);
    click("BitBtn2");
    EXPECT_EQ(plotBitmap().size(), window->drawingAreaSize());
    EXPECT_EQ(plotBitmap().width(), old.width() + 800 - 683);
}

} // namespace

namespace {

TEST_F(MainWindowTest, RefusedViewWriteShowsTheErrorBoxAndTheWindowStillCloses)
{
    start();
    const QString missing = dir.filePath(QStringLiteral("weg"));
    SetExecutableDirectoryOverride(missing);
    window->close();
    pump();
    EXPECT_EQ(
        desktop.errors,
        QStringList(
            {QStringLiteral("nach %1/Functions.ini kann nicht geschrieben werden").arg(missing)}));
    EXPECT_FALSE(window->isVisible());
}

} // namespace
