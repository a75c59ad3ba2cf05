// The real program survives what users and broken disks hand it: a formula of
// 14,000 characters pasted into the functions dialog, views and intervals at
// the ends of the double range stored in Functions.ini, and a Functions.ini
// that is no file to read. In every case the window shows its picture within
// a bound, answers the next command, closes when asked and leaves the file as
// the case requires.
//
// KURVARO_DESKTOP_SHOTS names a folder for a screenshot of each pasted case.

#include "ClipboardOwner.h"
#include "DesktopSession.h"
#include "support/NonRegularFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace kurvaro;

namespace {

using Manager = VirtualDesktop::Manager;

/// Slot 1's colour (clBlack) and the grid's ($00EBEBEB).
constexpr QRgb CurveColor = 0xFF000000;
constexpr QRgb GridColor = 0xFFEBEBEB;

/// The column of the y axis: the middle of the columns that are (nearly) all
/// axis colour. Ticks denser than the rows make a band of full columns on
/// both sides of the axis.
double yAxisColumn(const QImage& picture)
{
    std::vector<int> counts(std::size_t(std::max(picture.width(), 0)));
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            counts[std::size_t(x)] += picture.pixel(x, y) == AxisColor ? 1 : 0;
    }
    const int most = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    if (most == 0)
        return -1;
    double sum = 0;
    int full = 0;
    for (std::size_t x = 0; x < counts.size(); ++x) {
        if (counts[x] * 10 >= most * 9) {
            sum += double(x);
            ++full;
        }
    }
    return sum / full;
}

/// Waits until the drawing area shows the y axis at `fraction` of its width,
/// twice in a row, so that a picture about to be replaced does not count.
::testing::AssertionResult yAxisAt(const VirtualDesktop& desktop, unsigned long window,
                                   double fraction)
{
    int agreeing = 0;
    double column = -1;
    double expected = 0;
    if (eventually([&] {
            const QRect area = drawingArea(desktop.clientRect(window));
            column = yAxisColumn(desktop.grab(area));
            expected = fraction * area.width();
            agreeing = std::abs(column - expected) <= 2 ? agreeing + 1 : 0;
            return agreeing >= 2;
        }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the y axis is at column " << column << ", not at " << expected;
}

/// The main window once it is on screen (framed under a window manager) with
/// a picture of the plot in its drawing area: the background or the grid,
/// which covers every pixel when its marks are denser than the pixels.
unsigned long waitForFirstPicture(const VirtualDesktop& desktop)
{
    unsigned long window = 0;
    const bool shown = eventually([&] {
        window = desktop.findWindow(QStringLiteral("Kurvaro"));
        if (window == 0 || (desktop.hasWindowManager() && !desktop.isFramed(window)))
            return false;
        const QImage picture = desktop.grab(drawingArea(desktop.clientRect(window)));
        return countColor(picture, BackgroundColor) + countColor(picture, GridColor) > 0;
    });
    return shown ? window : 0;
}

/// Hands the main window the keyboard as a user's click on the panel's empty
/// top does (without a window manager nothing else would).
bool focusMainWindow(const VirtualDesktop& desktop, unsigned long window)
{
    const QRect client = desktop.clientRect(window);
    return desktop.click(QPoint(client.right() - 20, client.y() + 5)) &&
           eventually([&] { return desktop.hasInputFocus(window); });
}

/// Waits for the modal box `title` ("Warnung", or the general error box's
/// "kurvaro"), confirms it with Enter and waits until it has gone.
::testing::AssertionResult confirmBox(const VirtualDesktop& desktop, const QString& title)
{
    unsigned long box = 0;
    if (!eventually([&] {
            box = desktop.findWindow(title);
            return box != 0 && desktop.hasInputFocus(box);
        }))
        return ::testing::AssertionFailure() << "no box \"" << title.toStdString() << "\"";
    if (!desktop.key(QStringLiteral("Return")) ||
        !eventually([&] { return !desktop.isMapped(box); }))
        return ::testing::AssertionFailure() << "the box \"" << title.toStdString() << "\" stays";
    return ::testing::AssertionSuccess();
}

void saveShot(const VirtualDesktop& desktop, const char* name)
{
    const QByteArray folder = qgetenv("KURVARO_DESKTOP_SHOTS");
    if (folder.isEmpty())
        return;
    desktop.grab(QRect(QPoint(0, 0), desktop.screenSize()))
        .save(QString::fromLocal8Bit(folder) + u'/' + QString::fromLatin1(name) +
              QStringLiteral(".png"));
}

// ---- A long formula pasted into slot 1 ----

QByteArray repeated(const char* part, int times)
{
    return QByteArray(part).repeated(times);
}

struct PasteCase
{
    const char* name;
    Manager manager;
    QByteArray text;
    /// Whether the text compiles (and slot 1 is drawn in black); otherwise
    /// the redraw shows the warning about slot 1 and draws no curve.
    bool compiles;
};

void PrintTo(const PasteCase& c, std::ostream* os)
{
    *os << c.name;
}

class PastedFormulaTest : public ::testing::TestWithParam<PasteCase>
{
};

/// The dark pixels of the edit field of slot 1 (inside its frame): the text it shows.
int textPixelsOfSlot1(const VirtualDesktop& desktop, unsigned long dialog)
{
    const QRect client = desktop.clientRect(dialog);
    const QImage edit =
        desktop.grab(QRect(client.topLeft() + QPoint(104 + 3, 42 + 3), QSize(409, 16)));
    int dark = 0;
    for (int y = 0; y < edit.height(); ++y) {
        for (int x = 0; x < edit.width(); ++x)
            dark += qGray(edit.pixel(x, y)) < 96 ? 1 : 0;
    }
    return dark;
}

TEST_P(PastedFormulaTest, IsStoredDrawnOrRefusedAndTheWindowGoesOn)
{
    const PasteCase& c = GetParam();
    ASSERT_EQ(c.text.size(), 14000);
    VirtualDesktop desktop(c.manager);
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    program.writeSettings("[Function1]\r\nVisible=1\r\n");
    ASSERT_TRUE(program.start(desktop));
    const unsigned long window = waitForMainWindow(desktop);
    ASSERT_NE(window, 0u);
    ClipboardOwner clipboard(desktop, c.text);
    ASSERT_EQ(clipboard.failure().toStdString(), "");

    const unsigned long dialog = openDialog(desktop, window, QStringLiteral("BitBtn1"),
                                            QStringLiteral("Funktionen bestimmen"));
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(desktop.click(desktop.clientRect(dialog).topLeft() + QPoint(104 + 200, 42 + 11)));
    ASSERT_TRUE(desktop.key(QStringLiteral("ctrl+v")));
    ASSERT_TRUE(eventually([&] { return clipboard.handedOut() > 0; })) << "nothing was pasted";
    ASSERT_TRUE(eventually([&] { return textPixelsOfSlot1(desktop, dialog) > 150; }))
        << "slot 1 shows no text";
    ASSERT_TRUE(desktop.key(QStringLiteral("Return")));
    ASSERT_TRUE(eventually([&] { return !desktop.isMapped(dialog); }));

    // OK stored the whole text before the redraw began.
    const QMap<QString, QString> slot = program.settingsSection(QStringLiteral("Function1"));
    EXPECT_EQ(slot.value(QStringLiteral("Expression")).toLatin1(), c.text);
    EXPECT_EQ(slot.value(QStringLiteral("Visible")), QStringLiteral("1"));

    const auto curvePixels = [&] {
        return countColor(desktop.grab(drawingArea(desktop.clientRect(window))), CurveColor);
    };
    if (c.compiles) {
        // Slot 1 is the last visible one: once its curve shows, the redraw has ended.
        EXPECT_TRUE(eventually([&] { return curvePixels() > 100; })) << "no curve of slot 1";
    } else {
        EXPECT_TRUE(confirmBox(desktop, QStringLiteral("Warnung")));
        EXPECT_TRUE(eventually([&] { return curvePixels() == 0; })) << "a curve of slot 1";
    }
    saveShot(desktop, c.name);

    // The window answers: a pan by a tenth of the width moves the y axis from
    // the middle to 4/10 of the width.
    ASSERT_TRUE(program.running()) << "the program ended";
    ASSERT_TRUE(focusMainWindow(desktop, window));
    ASSERT_TRUE(desktop.key(QStringLiteral("alt+Right")));
    if (!c.compiles) {
        EXPECT_TRUE(confirmBox(desktop, QStringLiteral("Warnung")));
    }
    EXPECT_TRUE(yAxisAt(desktop, window, 0.4)) << "the pan did not show";

    desktop.requestClose(window);
    ASSERT_TRUE(program.waitForExit());
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_EQ(program.settingsSection(QStringLiteral("View")).value(QStringLiteral("XMin")),
              QStringLiteral("-4"));
    EXPECT_EQ(program.settingsSection(QStringLiteral("Function1"))
                  .value(QStringLiteral("Expression"))
                  .toLatin1(),
              c.text);
}

// Each exactly 14,000 characters.
const QByteArray DeepBrackets = repeated("(", 6995) + "X*X/8-2.25" + repeated(")", 6995);
const QByteArray LongSum = "10*X" + repeated("+X", 6998);
const QByteArray NestedCalls = repeated("SIN(", 2799) + "X*2.0" + repeated(")", 2799);
const QByteArray LongLiteral = "X/2+0." + repeated("0", 13993) + "1";

INSTANTIATE_TEST_SUITE_P(
    Table, PastedFormulaTest,
    ::testing::Values(PasteCase{"DeepBracketsUnderOpenbox", Manager::Openbox, DeepBrackets, true},
                      PasteCase{"DeepBracketsWithoutWindowManager", Manager::Bare, DeepBrackets,
                                true},
                      PasteCase{"SumUnderOpenbox", Manager::Openbox, LongSum, false},
                      PasteCase{"NestedCallsUnderOpenbox", Manager::Openbox, NestedCalls, false},
                      PasteCase{"LongLiteralUnderOpenbox", Manager::Openbox, LongLiteral, true}),
    [](const ::testing::TestParamInfo<PasteCase>& info) { return info.param.name; });

// ---- Views and intervals stored at the ends of the double range ----

QByteArray viewSection(const char* xmin, const char* xmax, const char* ymin, const char* ymax)
{
    return QByteArray("[View]\r\nXMin=") + xmin + "\r\nXMax=" + xmax + "\r\nYMin=" + ymin +
           "\r\nYMax=" + ymax + "\r\n";
}

/// The same intervals for the grid, the ticks and the labels.
QByteArray intervals(const char* ix, const char* iy)
{
    QByteArray s;
    for (const char* section : {"Grid", "Scale", "AxisText"})
        s += QByteArray("[") + section + "]\r\nVisible=1\r\nIX=" + ix + "\r\nIY=" + iy + "\r\n";
    return s;
}

struct StoredCase
{
    const char* name;
    Manager manager;
    QByteArray settings;
    /// The view is -5..5 wide: the axes cross in the middle.
    bool defaultView;
    /// Xmin after a pan by a tenth of the width: "-4", or the stored text when
    /// the moved bound has no four-decimal text and the pan ends in the
    /// general error box.
    const char* xminAfterPan;
};

void PrintTo(const StoredCase& c, std::ostream* os)
{
    *os << c.name;
}

class StoredViewTest : public ::testing::TestWithParam<StoredCase>
{
};

TEST_P(StoredViewTest, FirstPictureComesThenThePanAndTheCloseAreHandled)
{
    const StoredCase& c = GetParam();
    VirtualDesktop desktop(c.manager);
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    program.writeSettings(c.settings);
    const QMap<QString, QString> storedGrid = program.settingsSection(QStringLiteral("Grid"));
    ASSERT_TRUE(program.start(desktop));
    const unsigned long window = waitForFirstPicture(desktop);
    ASSERT_NE(window, 0u) << "no first picture";
    if (c.defaultView) {
        ASSERT_TRUE(yAxisAt(desktop, window, 0.5)) << "the first picture";
    }

    ASSERT_TRUE(focusMainWindow(desktop, window));
    ASSERT_TRUE(desktop.key(QStringLiteral("alt+Right")));
    if (c.defaultView) {
        EXPECT_TRUE(yAxisAt(desktop, window, 0.4)) << "the pan did not show";
    } else {
        EXPECT_TRUE(confirmBox(desktop, QStringLiteral("kurvaro")));
    }
    ASSERT_TRUE(program.running()) << "the program ended";

    desktop.requestClose(window);
    ASSERT_TRUE(program.waitForExit()) << "the close was not handled";
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_EQ(program.settingsSection(QStringLiteral("View")).value(QStringLiteral("XMin")),
              QString::fromLatin1(c.xminAfterPan));
    EXPECT_EQ(program.settingsSection(QStringLiteral("Grid")), storedGrid);
}

constexpr const char* Denormal = "4.9406564584124654e-324";
const QByteArray DefaultView = viewSection("-5", "5", "-5", "5");

INSTANTIATE_TEST_SUITE_P(
    Table, StoredViewTest,
    ::testing::Values(
        StoredCase{"HugeViewInUnitSteps", Manager::Openbox,
                   viewSection("-5e18", "5e18", "-5", "5") + intervals("1", "1"), false, "-5e18"},
        StoredCase{"TinyXIntervals", Manager::Openbox, DefaultView + intervals("1e-18", "1"), true,
                   "-4"},
        StoredCase{"TinyYIntervalsWithoutWindowManager", Manager::Bare,
                   DefaultView + intervals("1", "8e-19"), true, "-4"},
        StoredCase{"ViewOf1e300", Manager::Openbox,
                   viewSection("-1e300", "1e300", "-1e300", "1e300") +
                       intervals("1.5e281", "1.5e281"),
                   false, "-1e300"},
        StoredCase{"DenormalIntervals", Manager::Openbox,
                   DefaultView + intervals(Denormal, Denormal), true, "-4"},
        StoredCase{"DoubleRangeInTinySteps", Manager::Openbox,
                   viewSection("-1.7e308", "1.7e308", "-1.7e308", "1.7e308") +
                       intervals("1e-300", "1"),
                   false, "-1.7e308"},
        StoredCase{"FiveDoublesWideBeyondTheIntegerRange", Manager::Openbox,
                   viewSection("1e19", "10000000000000008192", "1e19", "10000000000000008192") +
                       intervals("1e-3", "1e-3"),
                   false, "1e19"}),
    [](const ::testing::TestParamInfo<StoredCase>& info) { return info.param.name; });

// ---- A Functions.ini that is no file to read ----

struct FileCase
{
    const char* name;
    Manager manager;
    /// Puts the hostile Functions.ini at `path`.
    std::function<bool(const QString& path)> make;
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class HostileFileTest : public ::testing::TestWithParam<FileCase>
{
};

TEST_P(HostileFileTest, StartsWithDefaultsIsUsableAndKeepsTheFile)
{
    const FileCase& c = GetParam();
    VirtualDesktop desktop(c.manager);
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    const QString path = program.filePath(QStringLiteral("Functions.ini"));
    ASSERT_TRUE(c.make(path));
    const std::string before = describe(path);

    ASSERT_TRUE(program.start(desktop));
    const unsigned long window = waitForMainWindow(desktop);
    ASSERT_NE(window, 0u) << "no window";
    // The default view -5..5 (a file that was read would say -7..5).
    EXPECT_TRUE(yAxisAt(desktop, window, 0.5)) << "not the default view";
    ASSERT_TRUE(focusMainWindow(desktop, window));
    ASSERT_TRUE(desktop.key(QStringLiteral("alt+Right")));
    EXPECT_TRUE(yAxisAt(desktop, window, 0.4)) << "the pan did not show";

    // The close cannot store the view: the general error box says so, the
    // program ends all the same and the name stays what it was.
    desktop.requestClose(window);
    EXPECT_TRUE(confirmBox(desktop, QStringLiteral("kurvaro")));
    ASSERT_TRUE(program.waitForExit());
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_EQ(describe(path), before);
}

/// A sparse file one byte over the bound of 16 MiB that begins with a view of -7..5.
bool makeOversized(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("[View]\r\nXMin=-7\r\n") > 0 &&
           file.resize(qint64(16) * 1024 * 1024 + 1);
}

bool makeLink(const QString& target, const QString& path)
{
    return symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileFileTest,
    ::testing::Values(
        FileCase{"FifoWithoutWriter", Manager::Openbox,
                 [](const QString& p) { return makeFifo(p); }},
        FileCase{"FifoWithoutWindowManager", Manager::Bare,
                 [](const QString& p) { return makeFifo(p); }},
        FileCase{"Directory", Manager::Openbox, [](const QString& p) { return QDir().mkdir(p); }},
        FileCase{"LinkToDevZero", Manager::Openbox,
                 [](const QString& p) { return makeLink(QStringLiteral("/dev/zero"), p); }},
        FileCase{"OverSixteenMiB", Manager::Openbox, makeOversized}),
    [](const ::testing::TestParamInfo<FileCase>& info) { return info.param.name; });

} // namespace
