// Every opening of a dialog puts the keyboard on the first control of its tab
// order, however the focus was left when it was last closed.

#include "dialogs/FuncForm.h"
#include "dialogs/SetupForm.h"
#include "dialogs/info_dialog.h"

#include "DialogsTestSupport.h"

#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kurvaro;

namespace {

struct FocusCase
{
    const char* name;
    std::function<std::unique_ptr<QDialog>()> create;
    const char* first;
    /// A control that the user may have left the focus on.
    const char* elsewhere;
};

class InitialFocusTest : public ::testing::TestWithParam<FocusCase>
{
protected:
    TemporaryProgramDirectory dir;
    RecordingDesktop desktop;
};

QString focusName()
{
    return QApplication::focusWidget() != nullptr ? QApplication::focusWidget()->objectName()
                                                  : QStringLiteral("<none>");
}

TEST_P(InitialFocusTest, EveryOpeningStartsAtTheHeadOfTheTabOrder)
{
    const FocusCase& c = GetParam();
    const std::unique_ptr<QDialog> dialog = c.create();
    ASSERT_TRUE(showActive(*dialog));
    EXPECT_EQ(focusName(), QString::fromLatin1(c.first)) << "first opening";

    auto* other = dialog->findChild<QWidget*>(QString::fromLatin1(c.elsewhere));
    ASSERT_NE(other, nullptr) << c.elsewhere;
    other->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focusName(), QString::fromLatin1(c.elsewhere));
    dialog->hide();
    ASSERT_TRUE(showActive(*dialog));
    EXPECT_EQ(focusName(), QString::fromLatin1(c.first)) << "second opening";
}

INSTANTIATE_TEST_SUITE_P(
    Table, InitialFocusTest,
    ::testing::Values(
        FocusCase{"Functions", [] { return std::make_unique<TForm2>(); }, "BitBtn1", "Edit7"},
        FocusCase{"Options", [] { return std::make_unique<TForm1>(); }, "CheckBoxRast",
                  "EditScaleY"},
        FocusCase{"Info", [] { return std::make_unique<TForm4>(); }, "Panel1", "Button2"}),
    [](const ::testing::TestParamInfo<FocusCase>& info) { return info.param.name; });

class InfoEnterTest : public ::testing::Test
{
protected:
    TemporaryProgramDirectory dir;
    RecordingDesktop desktop;
    TForm4 form;
};

TEST_F(InfoEnterTest, EnterOnThePanelDoesNothingAndOnAButtonPressesIt)
{
    ASSERT_TRUE(showActive(form));
    ASSERT_EQ(QApplication::focusWidget(), form.Panel1);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape})
        QTest::keyClick(form.Panel1, key);
    EXPECT_TRUE(desktop.openedUrls.isEmpty()) << "no default button behind the panel";
    EXPECT_TRUE(form.isVisible());

    QTest::keyClick(form.Panel1, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form.FlatButton5);
    QTest::keyClick(form.FlatButton5, Qt::Key_Return);
    ASSERT_EQ(desktop.openedUrls.size(), 1);
    EXPECT_EQ(desktop.openedUrls.front().path(), QStringLiteral("/version.php"));
    EXPECT_TRUE(form.isVisible());
}

} // namespace
