#include "dialogs/info_dialog.h"

#include "DialogsTestSupport.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <set>

using namespace kurvaro;

namespace {

class InfoDialogTest : public ::testing::Test
{
protected:
    TemporaryProgramDirectory dir;
    RecordingDesktop desktop;
    TForm4 form;
};

struct ShellCase
{
    const char* name;
    const char* control;
    const char* target; ///< "" for the help file beside the executable
};

class InfoShellTest : public InfoDialogTest, public ::testing::WithParamInterface<ShellCase>
{
};

TEST_P(InfoShellTest, HandsItsTargetToTheShellAndStaysOpen)
{
    const ShellCase& c = GetParam();
    form.show();
    auto* control = form.findChild<QWidget*>(c.control);
    ASSERT_NE(control, nullptr);
    clickCenter(*control);

    ASSERT_EQ(desktop.openedUrls.size(), 1);
    const QUrl expected = *c.target != '\0'
                              ? QUrl(QString::fromUtf8(c.target))
                              : QUrl::fromLocalFile(dir.path() + QStringLiteral("/Info.txt"));
    EXPECT_EQ(desktop.openedUrls.front(), expected)
        << desktop.openedUrls.front().toString().toStdString();
    EXPECT_TRUE(desktop.errors.isEmpty());
    EXPECT_TRUE(form.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Table, InfoShellTest,
    ::testing::Values(
        ShellCase{"MailAddress", "Label4", "mailto:kurvaro@example.org?subject=Kurvaro"},
        ShellCase{"HomePage", "Label3", "https://www.example.org/"},
        ShellCase{"Updates", "FlatButton5",
                  "https://updates.example.org/version.php?program=kurvaro&version=1.2"},
        ShellCase{"FunctionParser", "Button2", ""}),
    [](const ::testing::TestParamInfo<ShellCase>& info) { return info.param.name; });

TEST_F(InfoDialogTest, TheUpdateQueryNamesTheProgramInLowerCaseAndVersionOnePointTwo)
{
    form.show();
    form.FlatButton5->click();
    ASSERT_EQ(desktop.openedUrls.size(), 1);
    const QUrlQuery query(desktop.openedUrls.front());
    EXPECT_EQ(desktop.openedUrls.front().path(), QStringLiteral("/version.php"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("program")), QStringLiteral("kurvaro"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("version")), QStringLiteral("1.2"));
}

TEST_F(InfoDialogTest, ShowsTheAddressesItOpens)
{
    EXPECT_EQ(form.Label4->text(), QStringLiteral("kurvaro@example.org"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("www.example.org"));
    EXPECT_EQ(form.Label4->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form.Label3->cursor().shape(), Qt::PointingHandCursor);
    auto* version = form.findChild<QLabel*>(QStringLiteral("Label2"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("Version 1.3"));
}

TEST_F(InfoDialogTest, ClickingThePictureOrThePanelDoesNothing)
{
    form.show();
    QTest::mouseClick(form.Image1, Qt::LeftButton, Qt::NoModifier, QPoint(20, 200));
    QTest::mouseClick(form.Panel1, Qt::LeftButton, Qt::NoModifier, QPoint(150, 140));
    EXPECT_TRUE(desktop.openedUrls.isEmpty());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(InfoDialogTest, OnlyTheFramesCloseButtonClosesIt)
{
    ASSERT_TRUE(showActive(form));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible()) << "Esc is no control of this dialog";
    form.close();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(InfoDialogTest, TabGoesFromThePanelToUpdatesToFunctionParser)
{
    ASSERT_TRUE(showActive(form));
    EXPECT_EQ(tabSequence(*form.Panel1, 3),
              (QStringList{"Panel1", "FlatButton5", "Button2", "Panel1"}));
}

TEST_F(InfoDialogTest, IsAFixedToolWindow)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(form.minimumSize(), QSize(314, 243));
    EXPECT_EQ(form.maximumSize(), QSize(314, 243));
    EXPECT_EQ(form.windowType(), Qt::Tool);
}

TEST_F(InfoDialogTest, ShowsASamplePlotWithSeveralCurveColours)
{
    const QPixmap picture = form.Image1->pixmap();
    ASSERT_EQ(picture.size(), QSize(305, 234));
    EXPECT_EQ(form.Image1->geometry(), QRect(4, 4, 329, 254));

    const QImage image = picture.toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    for (const QRgb curve : {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 128, 0)})
        EXPECT_TRUE(colours.count(curve & 0xFFFFFF)) << std::hex << curve;
    EXPECT_TRUE(colours.count(qRgb(0xEB, 0xEB, 0xEB) & 0xFFFFFF)) << "the light grid";
}

} // namespace
