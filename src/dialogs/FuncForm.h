#pragma once

#include "dialogs/ColorSwatch.h"
#include "dialogs/DialogForm.h"
#include "model/Stores.h"

#include <array>
#include <memory>

class QCheckBox;
class QCloseEvent;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace Ui {
class TForm2;
}

namespace kurvaro {

/// The functions dialog: its thirty controls are the ten function slots. It is
/// created once at start and shown modally any number of times; opening it
/// reloads nothing, and Cancel undoes nothing.
///
/// OK sets the result first, then writes the thirty `Function1` … `Function10`
/// keys; a refused write shows the general error box and the dialog still
/// closes as OK.
class TForm2 : public DialogForm, public FunctionSlotStore
{
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    /// n = 1..10; throws std::out_of_range otherwise.
    FunctionSlot functionSlot(int n) const override;
    void setFunctionSlot(int n, const FunctionSlot& slot) override;

    /// The colour dialog shared by the ten swatches; it remembers its last colour.
    ColorChoice ColorDialog1;

    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QCheckBox* CheckBox10 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QLineEdit* Edit10 = nullptr;
    ColorSwatch* PColor1 = nullptr;
    ColorSwatch* pColor2 = nullptr;
    ColorSwatch* Pcolor3 = nullptr;
    ColorSwatch* PColor4 = nullptr;
    ColorSwatch* PColor5 = nullptr;
    ColorSwatch* PColor6 = nullptr;
    ColorSwatch* PColor7 = nullptr;
    ColorSwatch* PColor8 = nullptr;
    ColorSwatch* PColor9 = nullptr;
    ColorSwatch* PColor10 = nullptr;
    /// "OK".
    QPushButton* BitBtn1 = nullptr;
    /// "Abbrechen".
    QPushButton* BitBtn2 = nullptr;
    /// The help button: opens `Info.txt`.
    QToolButton* SpeedButton1 = nullptr;

private:
    struct Row
    {
        QCheckBox* visible = nullptr;
        QLineEdit* expression = nullptr;
        ColorSwatch* color = nullptr;
    };
    const Row& row(int n) const;

    void BitBtn1Click();
    void ChooseColor(ColorSwatch& sender);
    void SpeedButton1Click();

    std::unique_ptr<Ui::TForm2> ui;
    std::array<Row, FunctionSlotCount> rows;
};

} // namespace kurvaro
