#pragma once

#include "dialogs/DialogForm.h"

#include <memory>

class QEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace Ui {
class TForm4;
}

namespace kurvaro {

/// The info dialog: name and version over a sample picture, and four actions
/// handed to the shell (mail, home page, update page, help text). Nothing in
/// it changes; only the frame's close button closes it.
class TForm4 : public DialogForm
{
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    /// The picture area (4, 4), 329 x 254, showing the 305 x 234 sample plot.
    QLabel* Image1 = nullptr;
    /// The light panel over the picture's upper right part.
    QFrame* Panel1 = nullptr;
    /// The home-page address; a click opens it.
    QLabel* Label3 = nullptr;
    /// The author's mail address; a click writes a mail.
    QLabel* Label4 = nullptr;
    /// "Funktions-Parser": opens `Info.txt`.
    QPushButton* Button2 = nullptr;
    /// "Updates ?": opens the update page.
    QPushButton* FlatButton5 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Label4Click();
    void Label3Click();
    void FlatButton5Click();
    void Button2Click();

    std::unique_ptr<Ui::TForm4> ui;
};

} // namespace kurvaro
