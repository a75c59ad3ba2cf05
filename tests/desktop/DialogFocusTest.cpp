// The dialogs on a real desktop open with the keyboard on the first control
// of their tab order, and Enter and Esc do what each dialog promises.

#include "DesktopSession.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace kurvaro;

namespace {

using Manager = VirtualDesktop::Manager;

struct KeyCase
{
    const char* name;
    Manager manager;
    const char* button;
    const char* title;
    /// xdotool key names, pressed one after another once the dialog has the keyboard.
    const char* keys;
    /// The section and flag that the dialog's OK writes; an empty value:
    /// the dialog must close without writing its section.
    const char* section;
    const char* visible;
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class DialogKeysTest : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(DialogKeysTest, KeysRightAfterOpeningReachTheFirstControl)
{
    const KeyCase& c = GetParam();
    VirtualDesktop desktop(c.manager);
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    ASSERT_TRUE(program.start(desktop));
    const unsigned long window = waitForMainWindow(desktop);
    ASSERT_NE(window, 0u);
    const unsigned long dialog =
        openDialog(desktop, window, QString::fromLatin1(c.button), QString::fromUtf8(c.title));
    ASSERT_NE(dialog, 0u) << c.title;
    // The window manager shows the program's icon on both.
    EXPECT_FALSE(desktop.iconSize(window).isEmpty()) << "the main window";
    EXPECT_FALSE(desktop.iconSize(dialog).isEmpty()) << c.title;

    ASSERT_TRUE(desktop.key(QString::fromLatin1(c.keys)));
    EXPECT_TRUE(eventually([&] { return !desktop.isMapped(dialog); }))
        << "the dialog is still open after " << c.keys;
    desktop.requestClose(window);
    ASSERT_TRUE(program.waitForExit());

    const QMap<QString, QString> written = program.settingsSection(QString::fromLatin1(c.section));
    if (*c.visible == '\0') {
        EXPECT_TRUE(written.isEmpty()) << "cancelled, yet " << c.section << " was written";
    } else {
        EXPECT_EQ(written.value(QStringLiteral("Visible")).toStdString(), c.visible) << c.section;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogKeysTest,
    ::testing::Values(
        // Space on the focused OK, not on the first check box: nothing ticked.
        KeyCase{"FunctionsSpacePressesOk", Manager::Openbox, "BitBtn1", "Funktionen bestimmen",
                "space", "Function1", "0"},
        KeyCase{"FunctionsSpacePressesOkWithoutWindowManager", Manager::Bare, "BitBtn1",
                "Funktionen bestimmen", "space", "Function1", "0"},
        KeyCase{"FunctionsEnterIsOk", Manager::Openbox, "BitBtn1", "Funktionen bestimmen", "Return",
                "Function1", "0"},
        KeyCase{"FunctionsEscIsCancel", Manager::Openbox, "BitBtn1", "Funktionen bestimmen",
                "Escape", "Function1", ""},
        // Space on the grid check box takes its tick away; Enter is OK.
        KeyCase{"OptionsSpaceUnticksTheGridThenEnterIsOk", Manager::Openbox, "BitBtn4", "Optionen",
                "space Return", "Grid", "0"},
        KeyCase{"OptionsSpaceUnticksTheGridWithoutWindowManager", Manager::Bare, "BitBtn4",
                "Optionen", "space KP_Enter", "Grid", "0"},
        KeyCase{"OptionsEscIsCancel", Manager::Openbox, "BitBtn4", "Optionen", "space Escape",
                "Grid", ""}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

class InfoDialogKeysTest : public ::testing::TestWithParam<Manager>
{
};

TEST_P(InfoDialogKeysTest, OpensOnThePanelThenTabReachesUpdatesThenFunctionParser)
{
    VirtualDesktop desktop(GetParam());
    ASSERT_EQ(desktop.failure().toStdString(), "");
    ProgramCopy program;
    ASSERT_EQ(program.failure().toStdString(), "");
    ASSERT_TRUE(program.start(desktop));
    const unsigned long window = waitForMainWindow(desktop);
    ASSERT_NE(window, 0u);
    const unsigned long dialog =
        openDialog(desktop, window, QStringLiteral("BitBtn5"), QStringLiteral("Info"));
    ASSERT_NE(dialog, 0u);
    EXPECT_FALSE(desktop.iconSize(dialog).isEmpty()) << "the program's icon";

    // The panel takes no key, Esc does not close the dialog, and Tab goes on
    // to "Updates ?"; its request is the first that reaches the desktop.
    ASSERT_TRUE(desktop.key(QStringLiteral("space Return Escape Tab space")));
    ASSERT_TRUE(eventually([&] { return !program.opened().isEmpty(); }));
    EXPECT_TRUE(program.opened().front().contains(QStringLiteral("/version.php?")))
        << program.opened().join(u' ').toStdString();
    EXPECT_TRUE(desktop.isMapped(dialog)) << "only the frame closes the dialog";
    desktop.requestClose(dialog);
    ASSERT_TRUE(eventually([&] { return !desktop.isMapped(dialog); }));

    // Opened again, on the panel again: backwards from it lies
    // "Funktions-Parser", and Enter presses the focused button.
    const unsigned long again =
        openDialog(desktop, window, QStringLiteral("BitBtn5"), QStringLiteral("Info"));
    ASSERT_NE(again, 0u);
    ASSERT_TRUE(desktop.key(QStringLiteral("shift+Tab Return")));
    ASSERT_TRUE(eventually([&] { return program.opened().size() >= 2; }));
    EXPECT_TRUE(program.opened().at(1).endsWith(QStringLiteral("/Info.txt")))
        << program.opened().join(u' ').toStdString();
    desktop.requestClose(again);
    EXPECT_TRUE(eventually([&] { return !desktop.isMapped(again); }));
    desktop.requestClose(window);
    EXPECT_TRUE(program.waitForExit());
}

INSTANTIATE_TEST_SUITE_P(Desktops, InfoDialogKeysTest,
                         ::testing::Values(Manager::Openbox, Manager::Bare),
                         [](const ::testing::TestParamInfo<Manager>& info) {
                             return info.param == Manager::Openbox ? "Openbox"
                                                                   : "WithoutWindowManager";
                         });

} // namespace
