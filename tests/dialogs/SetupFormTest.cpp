#include "dialogs/SetupForm.h"

#include "DialogsTestSupport.h"
#include "dialogs/FuncForm.h"
#include "model/ProgramDirectory.h"
#include "settings/PlainStores.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kurvaro;

namespace {

/// The five rows as the rules separate them (client tops).
enum class Row
{
    Grid,
    Background,
    Axes,
    Scale,
    AxisText,
    Buttons
};

Row rowOf(const QWidget& w)
{
    const int top = w.geometry().top();
    if (top < 50)
        return Row::Grid;
    if (top < 100)
        return Row::Background;
    if (top < 153)
        return Row::Axes;
    if (top < 198)
        return Row::Scale;
    if (top < 250)
        return Row::AxisText;
    return Row::Buttons;
}

bool isRowControl(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const ColorSwatch*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QPushButton*>(w);
}

class SetupFormTest : public ::testing::Test
{
protected:
    /// Row controls that are disabled, by row; check boxes included.
    std::map<Row, int> disabledByRow() const
    {
        std::map<Row, int> disabled;
        for (const QWidget* w : form.findChildren<QWidget*>())
            if (isRowControl(w) && !w->isEnabled())
                ++disabled[rowOf(*w)];
        return disabled;
    }
    int rowSize(Row row) const
    {
        int n = 0;
        for (const QWidget* w : form.findChildren<QWidget*>())
            if (isRowControl(w) && rowOf(*w) == row && !qobject_cast<const QCheckBox*>(w))
                ++n;
        return n;
    }

    TemporaryProgramDirectory dir;
    RecordingDesktop desktop;
    TForm1 form;
};

TEST_F(SetupFormTest, StartsWithTheDesignedOptionsAndEverythingEnabled)
{
    const PlotOptions designed;
    const PlotOptions shown = form.plotOptions();
    EXPECT_EQ(shown.Grid.Color, designed.Grid.Color);
    EXPECT_EQ(shown.BackGround.Color, designed.BackGround.Color);
    EXPECT_EQ(shown.Axis.Color, designed.Axis.Color);
    EXPECT_EQ(shown.Scale.Color, designed.Scale.Color);
    EXPECT_EQ(shown.AxisText.Color, designed.AxisText.Color);
    for (const PlotOptions::Layer& layer : {shown.Grid, shown.Scale, shown.AxisText}) {
        EXPECT_TRUE(layer.Visible);
        EXPECT_EQ(layer.IX, QStringLiteral("1"));
        EXPECT_EQ(layer.IY, QStringLiteral("1"));
    }
    EXPECT_TRUE(shown.Axis.Visible);
    EXPECT_TRUE(disabledByRow().empty());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Optionen"));
}

struct RowCase
{
    const char* check;
    Row row;
    int followers;
};

class EnablingRuleTest : public SetupFormTest, public ::testing::WithParamInterface<RowCase>
{
};

TEST_P(EnablingRuleTest, UncheckingARowGreysEveryOtherControlOfThatRowOnly)
{
    const RowCase& c = GetParam();
    auto* check = form.findChild<QCheckBox*>(c.check);
    ASSERT_NE(check, nullptr);
    ASSERT_EQ(rowSize(c.row), c.followers) << "the row's controls besides its check box";
    form.show();

    QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
    ASSERT_FALSE(check->isChecked());
    EXPECT_EQ(disabledByRow(), (std::map<Row, int>{{c.row, c.followers}}));

    QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
    ASSERT_TRUE(check->isChecked());
    EXPECT_TRUE(disabledByRow().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, EnablingRuleTest,
                         ::testing::Values(RowCase{"CheckBoxRast", Row::Grid, 8},
                                           RowCase{"CheckBoxAxis", Row::Axes, 2},
                                           RowCase{"CheckBoxScale", Row::Scale, 8},
                                           RowCase{"CheckBoxAxisText", Row::AxisText, 8}));

TEST_F(SetupFormTest, WithAllRowsOffOnlyTheBackgroundSwatchTheCheckBoxesAndButtonsReact)
{
    PlotOptions off;
    off.Grid.Visible = off.Axis.Visible = off.Scale.Visible = off.AxisText.Visible = false;
    form.setPlotOptions(off);

    QStringList reacting;
    for (const QWidget* w : form.findChildren<QWidget*>())
        if ((qobject_cast<const QLineEdit*>(w) || qobject_cast<const ColorSwatch*>(w) ||
             qobject_cast<const QCheckBox*>(w) || qobject_cast<const QPushButton*>(w)) &&
            w->isEnabled())
            reacting << w->objectName();
    reacting.sort();
    EXPECT_EQ(reacting, (QStringList{"BitBtn1", "BitBtn2", "CheckBoxAxis", "CheckBoxAxisText",
                                     "CheckBoxRast", "CheckBoxScale", "PcolorBackGround"}));
}

TEST_F(SetupFormTest, DisablingKeepsTheValues)
{
    form.EditScaleX->setText(QStringLiteral("0.5"));
    form.PcolorScale->setColor(colors::clRed);
    form.CheckBoxScale->setChecked(false);
    const PlotOptions o = form.plotOptions();
    EXPECT_EQ(o.Scale.IX, QStringLiteral("0.5"));
    EXPECT_EQ(o.Scale.Color, colors::clRed);
    EXPECT_FALSE(o.Scale.Visible);
}

TEST_F(SetupFormTest, LoadingScaleVisibleZeroOpensWithTheScaleRowGreyed)
{
    dir.writeIni({"[Scale]", "Visible=0"});
    TForm2 functions;
    PlainView view;
    LoadSettings(functions, form, view);

    EXPECT_FALSE(form.CheckBoxScale->isChecked());
    EXPECT_EQ(disabledByRow(), (std::map<Row, int>{{Row::Scale, 8}}));
    EXPECT_TRUE(desktop.errors.isEmpty());
}

TEST_F(SetupFormTest, OkWritesExactlyTheFifteenOptionKeysInOrder)
{
    dir.writeIni({"[Function1]", "Expression=X", "[View]", "XMin=-7", "[Grid]", "Extra=1"});
    const std::vector<IniEntry> before = parseIni(dir.iniBytes());
    form.EditRastX->setText(QStringLiteral("2"));
    form.PcolorBackGround->setColor(colors::clWhite);
    form.EditAxisTextY->setText(QStringLiteral("0,5"));
    form.CheckBoxAxis->setChecked(false);
    form.show();

    form.BitBtn1->click();

    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(desktop.errors.isEmpty());
    const QStringList optionSections = {"Grid", "BackGround", "Axis", "Scale", "AxisText"};
    const std::vector<IniEntry> after = parseIni(dir.iniBytes());
    EXPECT_EQ(withoutSections(after, optionSections), withoutSections(before, optionSections));
    const std::vector<IniEntry> expected = {{"Grid", "Extra", "1"},
                                            {"Grid", "Visible", "1"},
                                            {"Grid", "IX", "2"},
                                            {"Grid", "IY", "1"},
                                            {"Grid", "Color", "$00EBEBEB"},
                                            {"BackGround", "Color", "clWhite"},
                                            {"Axis", "Visible", "0"},
                                            {"Axis", "Color", "clGray"},
                                            {"Scale", "Visible", "1"},
                                            {"Scale", "IX", "1"},
                                            {"Scale", "IY", "1"},
                                            {"Scale", "Color", "clGray"},
                                            {"AxisText", "Visible", "1"},
                                            {"AxisText", "IX", "1"},
                                            {"AxisText", "IY", "0,5"},
                                            {"AxisText", "Color", "clGray"}};
    EXPECT_EQ(onlySections(after, optionSections), expected);
}

TEST_F(SetupFormTest, ARefusedWriteShowsTheErrorBoxAndStillClosesAsOk)
{
    SetExecutableDirectoryOverride(dir.path() + QStringLiteral("/missing"));
    form.show();
    form.BitBtn1->click();
    ASSERT_EQ(desktop.errors.size(), 1);
    EXPECT_TRUE(desktop.errors.front().endsWith(QStringLiteral(" kann nicht geschrieben werden")));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(SetupFormTest, CancelKeepsTheFileAndTheNewValues)
{
    dir.writeIni({"[Grid]", "Visible=1", "IX=1", "IY=1", "Color=$00EBEBEB"});
    const QByteArray before = dir.iniBytes();
    form.show();
    form.EditRastX->setText(QStringLiteral("2"));
    form.BitBtn2->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(dir.iniBytes(), before);
    EXPECT_EQ(form.plotOptions().Grid.IX, QStringLiteral("2")) << "drawn at the next redraw";
}

struct KeyCase
{
    const char* name;
    Qt::Key key;
    int result;
    bool writes;
};

class SetupFormKeyTest : public SetupFormTest, public ::testing::WithParamInterface<KeyCase>
{
};

TEST_P(SetupFormKeyTest, EnterIsOkAndEscIsCancel)
{
    const KeyCase& c = GetParam();
    ASSERT_TRUE(showActive(form));
    form.EditScaleY->setFocus();
    QTest::keyClick(form.EditScaleY, c.key);
    EXPECT_EQ(form.result(), c.result);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(!dir.iniBytes().isEmpty(), c.writes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetupFormKeyTest,
    ::testing::Values(KeyCase{"Return", Qt::Key_Return, QDialog::Accepted, true},
                      KeyCase{"Enter", Qt::Key_Enter, QDialog::Accepted, true},
                      KeyCase{"Escape", Qt::Key_Escape, QDialog::Rejected, false}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST_F(SetupFormTest, TabVisitsTheControlsInTheDesignedOrder)
{
    ASSERT_TRUE(showActive(form));
    const QStringList expected = {
        "CheckBoxRast",  "EditRastX",     "EditRastY",   "BitBtn2",    "BitBtn1",
        "CheckBoxAxis",  "CheckBoxScale", "EditScaleX",  "EditScaleY", "CheckBoxAxisText",
        "EditAxisTextX", "EditAxisTextY", "CheckBoxRast"};
    EXPECT_EQ(tabSequence(*form.CheckBoxRast, static_cast<int>(expected.size()) - 1), expected);
}

TEST_F(SetupFormTest, SwatchesShareTheirOwnColourDialog)
{
    TForm2 functions;
    functions.show();
    form.show();
    desktop.colorAnswers = {QColor(0, 0, 255), QColor(255, 0, 0), std::nullopt};

    clickCenter(*functions.PColor4);
    clickCenter(*form.PColorAxis);
    clickCenter(*form.PcolorBackGround);

    ASSERT_EQ(desktop.colorPresets.size(), 3);
    EXPECT_EQ(desktop.colorPresets[1], QColor(Qt::black)) << "not the functions dialog's blue";
    EXPECT_EQ(desktop.colorPresets[2], QColor(255, 0, 0)) << "the axes swatch's pick";
    EXPECT_EQ(form.PColorAxis->color(), colors::clRed);
    EXPECT_EQ(form.PcolorBackGround->color(), PlotOptions{}.BackGround.Color);
}

TEST_F(SetupFormTest, ADisabledSwatchIgnoresClicks)
{
    form.show();
    form.CheckBoxRast->setChecked(false);
    desktop.colorAnswers = {QColor(255, 0, 0)};
    clickCenter(*form.PColorRast);
    EXPECT_TRUE(desktop.colorPresets.isEmpty());
    EXPECT_EQ(form.PColorRast->color(), PlotOptions{}.Grid.Color);
}

TEST_F(SetupFormTest, EnlargingTheWindowLeavesTheControlsInPlace)
{
    form.show();
    const QRect ok = form.BitBtn1->geometry();
    const QRect swatch = form.PcolorAxisText->geometry();
    form.resize(900, 600);
    EXPECT_EQ(form.size(), QSize(900, 600)) << "the window is resizable";
    EXPECT_EQ(form.BitBtn1->geometry(), ok);
    EXPECT_EQ(form.PcolorAxisText->geometry(), swatch);
}

} // namespace
