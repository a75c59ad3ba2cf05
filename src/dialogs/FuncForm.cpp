#include "dialogs/FuncForm.h"

#include "ui_FuncForm.h"

#include "dialogs/Desktop.h"
#include "dialogs/DialogGlyphs.h"
#include "dialogs/ShellTargets.h"
#include "settings/Settings.h"

#include <QKeySequence>
#include <QShortcut>
#include <QToolButton>

#include <stdexcept>

namespace kurvaro {

TForm2::TForm2(QWidget* parent) : DialogForm(parent), ui(std::make_unique<Ui::TForm2>())
{
    ui->setupUi(this);
    // A fixed dialog frame: caption and close button, nothing to resize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    CheckBox1 = ui->CheckBox1;
    CheckBox2 = ui->CheckBox2;
    CheckBox3 = ui->CheckBox3;
    CheckBox4 = ui->CheckBox4;
    CheckBox5 = ui->CheckBox5;
    CheckBox6 = ui->CheckBox6;
    CheckBox7 = ui->CheckBox7;
    CheckBox8 = ui->CheckBox8;
    CheckBox9 = ui->CheckBox9;
    CheckBox10 = ui->CheckBox10;
    Edit1 = ui->Edit1;
    Edit2 = ui->Edit2;
    Edit3 = ui->Edit3;
    Edit4 = ui->Edit4;
    Edit5 = ui->Edit5;
    Edit6 = ui->Edit6;
    Edit7 = ui->Edit7;
    Edit8 = ui->Edit8;
    Edit9 = ui->Edit9;
    Edit10 = ui->Edit10;
    PColor1 = ui->PColor1;
    pColor2 = ui->pColor2;
    Pcolor3 = ui->Pcolor3;
    PColor4 = ui->PColor4;
    PColor5 = ui->PColor5;
    PColor6 = ui->PColor6;
    PColor7 = ui->PColor7;
    PColor8 = ui->PColor8;
    PColor9 = ui->PColor9;
    PColor10 = ui->PColor10;
    BitBtn1 = ui->BitBtn1;
    BitBtn2 = ui->BitBtn2;
    SpeedButton1 = ui->SpeedButton1;

    rows = {Row{CheckBox1, Edit1, PColor1}, Row{CheckBox2, Edit2, pColor2},
            Row{CheckBox3, Edit3, Pcolor3}, Row{CheckBox4, Edit4, PColor4},
            Row{CheckBox5, Edit5, PColor5}, Row{CheckBox6, Edit6, PColor6},
            Row{CheckBox7, Edit7, PColor7}, Row{CheckBox8, Edit8, PColor8},
            Row{CheckBox9, Edit9, PColor9}, Row{CheckBox10, Edit10, PColor10}};

    BitBtn1->setIcon(okGlyph());
    BitBtn2->setIcon(cancelGlyph());
    SpeedButton1->setIcon(infoGlyph());
    // Every opening starts at the head of the tab order, OK, so that a Space
    // right after opening cannot tick a slot.
    startEachOpeningAt(*BitBtn1);

    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { acceptAfter([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(SpeedButton1, &QToolButton::clicked, this,
            guardedSlot(this, &TForm2::SpeedButton1Click));
    // F1 is the help key here as in the main window.
    SpeedButton1->setToolTip(QStringLiteral("Hilfe (F1)"));
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, SpeedButton1, &QToolButton::click);
    for (const Row& r : rows) {
        ColorSwatch* swatch = r.color;
        connect(swatch, &ColorSwatch::clicked, this,
                guardedSlot(this, [this, swatch] { ChooseColor(*swatch); }));
    }
}

TForm2::~TForm2() = default;

const TForm2::Row& TForm2::row(int n) const
{
    if (n < 1 || n > FunctionSlotCount)
        throw std::out_of_range("function slot out of range");
    return rows[static_cast<std::size_t>(n - 1)];
}

FunctionSlot TForm2::functionSlot(int n) const
{
    const Row& r = row(n);
    return FunctionSlot{r.expression->text(), r.visible->isChecked(), r.color->color()};
}

void TForm2::setFunctionSlot(int n, const FunctionSlot& slot)
{
    const Row& r = row(n);
    r.visible->setChecked(slot.Visible);
    r.expression->setText(slot.Expression);
    r.color->setColor(slot.Color);
}

void TForm2::BitBtn1Click()
{
    WriteFunctionSettings(*this);
}

void TForm2::ChooseColor(ColorSwatch& sender)
{
    ColorDialog1.chooseFor(sender, this);
}

void TForm2::SpeedButton1Click()
{
    Desktop::instance().openUrl(helpFileUrl());
}

} // namespace kurvaro
