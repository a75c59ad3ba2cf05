// The save dialog on a real desktop speaks German whatever the locale, and
// shows a preview of the selected picture file.

#include "DesktopSession.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kurvaro;

namespace {

class SaveDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(desktop.failure().toStdString(), "");
        ASSERT_EQ(program.failure().toStdString(), "");
        ASSERT_TRUE(program.start(desktop));
        window = waitForMainWindow(desktop);
        ASSERT_NE(window, 0u);
    }

    unsigned long openSaveDialog()
    {
        return openDialog(desktop, window, QStringLiteral("BitBtn3"),
                          QStringLiteral("Speichern unter"));
    }

    VirtualDesktop desktop{VirtualDesktop::Manager::Openbox};
    ProgramCopy program;
    unsigned long window = 0;
};

TEST_F(SaveDialogTest, SpeaksGermanWhateverTheLocale)
{
    // The save button reads "S&peichern": Alt+P saves.
    unsigned long dialog = openSaveDialog();
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(desktop.type(QStringLiteral("deutsch")));
    ASSERT_TRUE(desktop.key(QStringLiteral("alt+p")));
    EXPECT_TRUE(eventually([&] {
        return QFileInfo(program.filePath(QStringLiteral("deutsch.BMP"))).size() > 0 &&
               !desktop.isMapped(dialog);
    })) << "Alt+P did not save";

    // The file list's menu makes a folder with its German name.
    dialog = openSaveDialog();
    ASSERT_NE(dialog, 0u);
    ASSERT_TRUE(desktop.key(QStringLiteral("shift+Tab Menu n")));
    EXPECT_TRUE(eventually([&] {
        return QFileInfo(program.filePath(QStringLiteral("Neues Verzeichnis"))).isDir();
    })) << QDir(program.directory()).entryList().join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(program.filePath(QStringLiteral("New Folder"))));
    ASSERT_TRUE(desktop.key(QStringLiteral("Escape Escape")));
    EXPECT_TRUE(eventually([&] { return !desktop.isMapped(dialog); }));
}

TEST_F(SaveDialogTest, ShowsAPreviewOfTheSelectedPictureFile)
{
    QImage red(120, 80, QImage::Format_RGB32);
    red.fill(0xFFFF0000);
    ASSERT_TRUE(red.save(program.filePath(QStringLiteral("rot.bmp")), "BMP"));

    const unsigned long dialog = openSaveDialog();
    ASSERT_NE(dialog, 0u);
    const auto redShown = [&] {
        return countColor(desktop.grab(desktop.clientRect(dialog)), 0xFFFF0000);
    };
    EXPECT_EQ(redShown(), 0) << "nothing selected yet";
    ASSERT_TRUE(desktop.type(QStringLiteral("rot.bmp")));
    EXPECT_TRUE(eventually([&] { return redShown() >= 120 * 80; }))
        << redShown() << " red pixels in the dialog";
    ASSERT_TRUE(desktop.key(QStringLiteral("Escape Escape")));
    EXPECT_TRUE(eventually([&] { return !desktop.isMapped(dialog); }));
    EXPECT_FALSE(QFileInfo::exists(program.filePath(QStringLiteral("rot.bmp.BMP"))));
}

} // namespace
