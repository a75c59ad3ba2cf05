#include "dialogs/SetupForm.h"

#include "ui_SetupForm.h"

#include "dialogs/Desktop.h"
#include "dialogs/DialogGlyphs.h"
#include "settings/Settings.h"

namespace kurvaro {

TForm1::TForm1(QWidget* parent) : DialogForm(parent), ui(std::make_unique<Ui::TForm1>())
{
    ui->setupUi(this);
    // A normal, resizable window; the controls keep their places when it grows.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    CheckBoxRast = ui->CheckBoxRast;
    EditRastX = ui->EditRastX;
    EditRastY = ui->EditRastY;
    PColorRast = ui->PColorRast;
    PcolorBackGround = ui->PcolorBackGround;
    CheckBoxAxis = ui->CheckBoxAxis;
    PColorAxis = ui->PColorAxis;
    CheckBoxScale = ui->CheckBoxScale;
    EditScaleX = ui->EditScaleX;
    EditScaleY = ui->EditScaleY;
    PcolorScale = ui->PcolorScale;
    CheckBoxAxisText = ui->CheckBoxAxisText;
    EditAxisTextX = ui->EditAxisTextX;
    EditAxisTextY = ui->EditAxisTextY;
    PcolorAxisText = ui->PcolorAxisText;
    BitBtn1 = ui->BitBtn1;
    BitBtn2 = ui->BitBtn2;

    rows = {
        {CheckBoxRast,
         {ui->Label1, EditRastX, ui->Label2, ui->Label3, EditRastY, ui->Label4, ui->Label5,
          PColorRast}},
        {CheckBoxAxis, {ui->Label7, PColorAxis}},
        {CheckBoxScale,
         {ui->Label8, EditScaleX, ui->Label9, ui->Label10, EditScaleY, ui->Label11, ui->Label12,
          PcolorScale}},
        {CheckBoxAxisText,
         {ui->Label13, EditAxisTextX, ui->Label14, ui->Label15, EditAxisTextY, ui->Label16,
          ui->Label17, PcolorAxisText}},
    };

    BitBtn1->setIcon(okGlyph());
    BitBtn2->setIcon(cancelGlyph());
    // Every opening starts at the head of the tab order, the grid check box.
    startEachOpeningAt(*CheckBoxRast);

    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { acceptAfter([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // toggled, not clicked: a state that loading changes counts as a click.
    for (const Row& r : rows)
        connect(r.check, &QCheckBox::toggled, this, guardedSlot(this, &TForm1::CheckBoxRastClick));
    for (ColorSwatch* swatch :
         {PColorRast, PcolorBackGround, PColorAxis, PcolorScale, PcolorAxisText}) {
        connect(swatch, &ColorSwatch::clicked, this,
                guardedSlot(this, [this, swatch] { ChooseColor(*swatch); }));
    }

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    UpdateOptionControls();
}

void TForm1::CheckBoxRastClick()
{
    UpdateOptionControls();
}

void TForm1::UpdateOptionControls()
{
    for (const Row& r : rows) {
        const bool enabled = r.check->isChecked();
        for (QWidget* follower : r.followers)
            follower->setEnabled(enabled);
    }
}

PlotOptions TForm1::plotOptions() const
{
    PlotOptions o;
    o.Grid = {CheckBoxRast->isChecked(), EditRastX->text(), EditRastY->text(), PColorRast->color()};
    o.BackGround.Color = PcolorBackGround->color();
    o.Axis = {CheckBoxAxis->isChecked(), PColorAxis->color()};
    o.Scale = {CheckBoxScale->isChecked(), EditScaleX->text(), EditScaleY->text(),
               PcolorScale->color()};
    o.AxisText = {CheckBoxAxisText->isChecked(), EditAxisTextX->text(), EditAxisTextY->text(),
                  PcolorAxisText->color()};
    return o;
}

void TForm1::setPlotOptions(const PlotOptions& o)
{
    CheckBoxRast->setChecked(o.Grid.Visible);
    EditRastX->setText(o.Grid.IX);
    EditRastY->setText(o.Grid.IY);
    PColorRast->setColor(o.Grid.Color);
    PcolorBackGround->setColor(o.BackGround.Color);
    CheckBoxAxis->setChecked(o.Axis.Visible);
    PColorAxis->setColor(o.Axis.Color);
    CheckBoxScale->setChecked(o.Scale.Visible);
    EditScaleX->setText(o.Scale.IX);
    EditScaleY->setText(o.Scale.IY);
    PcolorScale->setColor(o.Scale.Color);
    CheckBoxAxisText->setChecked(o.AxisText.Visible);
    EditAxisTextX->setText(o.AxisText.IX);
    EditAxisTextY->setText(o.AxisText.IY);
    PcolorAxisText->setColor(o.AxisText.Color);
}

void TForm1::BitBtn1Click()
{
    WriteOptionSettings(*this);
}

void TForm1::ChooseColor(ColorSwatch& sender)
{
    ColorDialog1.chooseFor(sender, this);
}

} // namespace kurvaro
