#include "dialogs/FuncForm.h"

#include "DialogsTestSupport.h"
#include "model/ProgramDirectory.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kurvaro;

namespace {

class FuncFormTest : public ::testing::Test
{
protected:
    ColorSwatch* swatch(const char* name) { return form.findChild<ColorSwatch*>(name); }

    TemporaryProgramDirectory dir;
    RecordingDesktop desktop;
    TForm2 form;
};

struct RowNames
{
    int slot;
    const char* check;
    const char* edit;
    const char* swatch;
};

class FuncFormRowTest : public FuncFormTest, public ::testing::WithParamInterface<RowNames>
{
};

TEST_P(FuncFormRowTest, SlotIsHeldByTheControlsOfItsRow)
{
    const RowNames& r = GetParam();
    const FunctionSlot slot{QStringLiteral("SIN(X)*%1").arg(r.slot), true,
                            static_cast<TColor>(0x00102030 + r.slot)};
    form.setFunctionSlot(r.slot, slot);

    auto* check = form.findChild<QCheckBox*>(r.check);
    auto* edit = form.findChild<QLineEdit*>(r.edit);
    auto* colour = form.findChild<ColorSwatch*>(r.swatch);
    ASSERT_TRUE(check && edit && colour) << "control names of slot " << r.slot;
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(edit->text(), slot.Expression);
    EXPECT_EQ(colour->color(), slot.Color);

    // And the other way round: the controls are the model.
    check->setChecked(false);
    edit->setText(QStringLiteral("X"));
    colour->setColor(colors::clTeal);
    const FunctionSlot read = form.functionSlot(r.slot);
    EXPECT_FALSE(read.Visible);
    EXPECT_EQ(read.Expression, QStringLiteral("X"));
    EXPECT_EQ(read.Color, colors::clTeal);
    for (int other = 1; other <= FunctionSlotCount; ++other) {
        if (other != r.slot) {
            EXPECT_TRUE(form.functionSlot(other).Expression.isEmpty()) << "slot " << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FuncFormRowTest,
    ::testing::Values(
        RowNames{1, "CheckBox1", "Edit1", "PColor1"},
        RowNames{2, "CheckBox2", "Edit2", "pColor2"}, // lower-case p
        RowNames{3, "CheckBox3", "Edit3", "Pcolor3"}, // lower-case c
        RowNames{4, "CheckBox4", "Edit4", "PColor4"}, RowNames{5, "CheckBox5", "Edit5", "PColor5"},
        RowNames{6, "CheckBox6", "Edit6", "PColor6"}, RowNames{7, "CheckBox7", "Edit7", "PColor7"},
        RowNames{8, "CheckBox8", "Edit8", "PColor8"}, RowNames{9, "CheckBox9", "Edit9", "PColor9"},
        RowNames{10, "CheckBox10", "Edit10", "PColor10"}));

TEST_F(FuncFormTest, RowsOutsideOneToTenAreRefused)
{
    EXPECT_THROW(form.functionSlot(0), std::out_of_range);
    EXPECT_THROW(form.setFunctionSlot(11, {}), std::out_of_range);
}

TEST_F(FuncFormTest, StartsWithTheDesignedContents)
{
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        const FunctionSlot slot = form.functionSlot(n);
        EXPECT_EQ(slot.Color, DesignedSlotColors[static_cast<std::size_t>(n - 1)]) << n;
        EXPECT_FALSE(slot.Visible) << n;
        EXPECT_TRUE(slot.Expression.isEmpty()) << n;
    }
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Funktionen bestimmen"));
    EXPECT_EQ(form.minimumSize(), QSize(587, 437));
    EXPECT_EQ(form.maximumSize(), QSize(587, 437));
}

TEST_F(FuncFormTest, ExpressionsHaveNoLengthLimit)
{
    const QString longText(40000, u'X');
    form.Edit4->setText(longText);
    EXPECT_EQ(form.functionSlot(4).Expression.size(), longText.size());
}

TEST_F(FuncFormTest, OkWritesExactlyTheThirtyFunctionKeysInOrder)
{
    dir.writeIni(
        {"[View]", "XMin=-7", "Width=700", "[Grid]", "IX=3", "[Function1]", "Unknown=kept"});
    const std::vector<IniEntry> before = parseIni(dir.iniBytes());
    form.setFunctionSlot(1, {QStringLiteral("X^2"), true, colors::clRed});
    form.setFunctionSlot(3, {QStringLiteral("not compiled here +"), false, 0x00563412});
    form.show();

    form.BitBtn1->click();

    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(desktop.errors.isEmpty());

    QStringList functionSections;
    for (int n = 1; n <= FunctionSlotCount; ++n)
        functionSections << QStringLiteral("Function%1").arg(n);
    const std::vector<IniEntry> after = parseIni(dir.iniBytes());
    EXPECT_EQ(withoutSections(after, functionSections), withoutSections(before, functionSections))
        << "other sections stay untouched";

    // Function1 already existed with a key of its own; the others are created
    // by the Expression pass, so each reads Expression, Visible, Color.
    std::vector<IniEntry> expected = {{"Function1", "Unknown", "kept"},
                                      {"Function1", "Expression", "X^2"},
                                      {"Function1", "Visible", "1"},
                                      {"Function1", "Color", "clRed"}};
    // The designed swatch colours of slots 2 to 10, all of them named colours.
    const QStringList colourTexts = {"clRed",  "$00563412", "clGreen",   "clOlive", "clNavy",
                                     "clTeal", "clPurple",  "clFuchsia", "clAqua"};
    for (int n = 2; n <= FunctionSlotCount; ++n) {
        const QString section = QStringLiteral("Function%1").arg(n);
        expected.push_back({section, "Expression", n == 3 ? "not compiled here +" : ""});
        expected.push_back({section, "Visible", "0"});
        expected.push_back({section, "Color", colourTexts[n - 2]});
    }
    EXPECT_EQ(onlySections(after, functionSections), expected);
}

TEST_F(FuncFormTest, ARefusedWriteShowsTheErrorBoxAndStillClosesAsOk)
{
    SetExecutableDirectoryOverride(dir.path() + QStringLiteral("/missing"));
    form.show();
    form.BitBtn1->click();
    ASSERT_EQ(desktop.errors.size(), 1);
    EXPECT_TRUE(desktop.errors.front().startsWith(QStringLiteral("nach ")));
    EXPECT_TRUE(desktop.errors.front().endsWith(QStringLiteral(" kann nicht geschrieben werden")));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}

struct CancelWay
{
    const char* name;
    void (*cancel)(TForm2& form);
};

class FuncFormCancelTest : public FuncFormTest, public ::testing::WithParamInterface<CancelWay>
{
};

TEST_P(FuncFormCancelTest, WritesNothingAndUndoesNothing)
{
    dir.writeIni({"[Function2]", "Expression=COS(X)", "Visible=1", "Color=clGreen"});
    const QByteArray before = dir.iniBytes();
    form.setFunctionSlot(2, {QStringLiteral("COS(X)"), true, colors::clGreen});
    ASSERT_TRUE(showActive(form));
    form.Edit2->setText(QStringLiteral("COS(X)*2"));
    form.CheckBox2->setChecked(false);

    GetParam().cancel(form);

    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(dir.iniBytes(), before);
    const FunctionSlot kept = form.functionSlot(2);
    EXPECT_EQ(kept.Expression, QStringLiteral("COS(X)*2"));
    EXPECT_FALSE(kept.Visible);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FuncFormCancelTest,
    ::testing::Values(CancelWay{"Abbrechen", [](TForm2& f) { f.BitBtn2->click(); }},
                      CancelWay{"Escape",
                                [](TForm2& f) { QTest::keyClick(f.Edit2, Qt::Key_Escape); }},
                      CancelWay{"CloseButton", [](TForm2& f) { f.close(); }}),
    [](const ::testing::TestParamInfo<CancelWay>& info) { return info.param.name; });

TEST_F(FuncFormTest, EnterInAnExpressionPressesOk)
{
    ASSERT_TRUE(showActive(form));
    form.Edit3->setFocus();
    QTest::keyClicks(form.Edit3, QStringLiteral("X+1"));
    QTest::keyClick(form.Edit3, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    const std::vector<IniEntry> written = parseIni(dir.iniBytes());
    EXPECT_NE(std::find(written.begin(), written.end(), IniEntry{"Function3", "Expression", "X+1"}),
              written.end());
}

TEST_F(FuncFormTest, OkIsTheDefaultButtonAndCarriesGlyphs)
{
    EXPECT_TRUE(form.BitBtn1->isDefault());
    EXPECT_FALSE(form.BitBtn2->isDefault());
    EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.BitBtn2->text(), QStringLiteral("Abbrechen"));
    EXPECT_FALSE(form.BitBtn1->icon().isNull());
    EXPECT_FALSE(form.BitBtn2->icon().isNull());
    EXPECT_FALSE(form.SpeedButton1->icon().isNull());
}

TEST_F(FuncFormTest, ColourDialogPresetsTheLastPickedColourNotTheSwatchs)
{
    form.show();
    desktop.colorAnswers = {QColor(0, 0, 255), std::nullopt};

    clickCenter(*form.Pcolor3);
    EXPECT_EQ(form.Pcolor3->color(), colors::clBlue);

    clickCenter(*form.PColor5);
    EXPECT_EQ(form.PColor5->color(), colors::clOlive) << "a cancelled dialog changes nothing";

    ASSERT_EQ(desktop.colorPresets.size(), 2);
    EXPECT_EQ(desktop.colorPresets[0], QColor(Qt::black)) << "black the first time";
    EXPECT_EQ(desktop.colorPresets[1], QColor(0, 0, 255)) << "slot 3's pick, not slot 5's olive";
    EXPECT_TRUE(form.isVisible());
}

TEST_F(FuncFormTest, TabVisitsTheControlsInTheDesignedOrder)
{
    ASSERT_TRUE(showActive(form));
    const QStringList expected = {"BitBtn1",   "CheckBox1",  "CheckBox2", "CheckBox3", "CheckBox4",
                                  "CheckBox5", "BitBtn2",    "Edit1",     "Edit2",     "Edit3",
                                  "Edit4",     "Edit5",      "Edit6",     "Edit7",     "Edit8",
                                  "Edit9",     "Edit10",     "CheckBox6", "CheckBox7", "CheckBox8",
                                  "CheckBox9", "CheckBox10", "BitBtn1"};
    EXPECT_EQ(tabSequence(*form.BitBtn1, static_cast<int>(expected.size()) - 1), expected);
}

TEST_F(FuncFormTest, HelpButtonOpensInfoTxtBesideTheExecutable)
{
    form.show();
    form.SpeedButton1->click();
    ASSERT_EQ(desktop.openedUrls.size(), 1);
    EXPECT_EQ(desktop.openedUrls.front(),
              QUrl::fromLocalFile(dir.path() + QStringLiteral("/Info.txt")));
    EXPECT_TRUE(desktop.errors.isEmpty()) << "a missing Info.txt shows nothing of ours";
    EXPECT_TRUE(form.isVisible());
}

TEST_F(FuncFormTest, F1OpensTheHelpTextAsTheHelpButtonDoes)
{
    ASSERT_TRUE(showActive(form));
    form.Edit2->setFocus();
    QTest::keyClick(form.Edit2, Qt::Key_F1);
    EXPECT_EQ(desktop.openedUrls,
              QList<QUrl>{QUrl::fromLocalFile(dir.path() + QStringLiteral("/Info.txt"))});
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.SpeedButton1->toolTip().contains(QStringLiteral("F1")));
}

} // namespace
