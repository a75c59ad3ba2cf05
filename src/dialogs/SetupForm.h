#pragma once

#include "dialogs/ColorSwatch.h"
#include "dialogs/DialogForm.h"
#include "model/Stores.h"

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class TForm1;
}

namespace kurvaro {

/// The options dialog: its controls are the one PlotOptions record. Created
/// once at start (running the enabling rule), shown modally any number of
/// times; Cancel undoes nothing.
///
/// OK sets the result first, then writes the fifteen keys of `Grid`,
/// `BackGround`, `Axis`, `Scale` and `AxisText`; a refused write shows the
/// general error box and the dialog still closes as OK.
class TForm1 : public DialogForm, public PlotOptionsStore
{
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    PlotOptions plotOptions() const override;
    /// A flag that changes runs the enabling rule, as a click would.
    void setPlotOptions(const PlotOptions& options) override;

    /// The enabling rule: every control of a row but its check box is enabled
    /// exactly when the check box is checked; applied to all rows each time.
    /// Values of disabled controls are kept (and written on OK).
    void UpdateOptionControls();

    /// The colour dialog shared by the five swatches, separate from the
    /// functions dialog's.
    ColorChoice ColorDialog1;

    QCheckBox* CheckBoxRast = nullptr;
    QLineEdit* EditRastX = nullptr;
    QLineEdit* EditRastY = nullptr;
    ColorSwatch* PColorRast = nullptr;
    ColorSwatch* PcolorBackGround = nullptr;
    QCheckBox* CheckBoxAxis = nullptr;
    ColorSwatch* PColorAxis = nullptr;
    QCheckBox* CheckBoxScale = nullptr;
    QLineEdit* EditScaleX = nullptr;
    QLineEdit* EditScaleY = nullptr;
    ColorSwatch* PcolorScale = nullptr;
    QCheckBox* CheckBoxAxisText = nullptr;
    QLineEdit* EditAxisTextX = nullptr;
    QLineEdit* EditAxisTextY = nullptr;
    ColorSwatch* PcolorAxisText = nullptr;
    /// "OK".
    QPushButton* BitBtn1 = nullptr;
    /// "Abbrechen".
    QPushButton* BitBtn2 = nullptr;

private:
    struct Row
    {
        QCheckBox* check = nullptr;
        std::vector<QWidget*> followers;
    };

    void FormCreate();
    void CheckBoxRastClick();
    void BitBtn1Click();
    void ChooseColor(ColorSwatch& sender);

    std::unique_ptr<Ui::TForm1> ui;
    std::vector<Row> rows;
};

} // namespace kurvaro
