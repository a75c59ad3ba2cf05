#include "dialogs/info_dialog.h"

#include "ui_info_dialog.h"

#include "dialogs/Desktop.h"
#include "dialogs/MakerAddresses.h"
#include "dialogs/SamplePlot.h"
#include "dialogs/ShellTargets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

namespace kurvaro {

TForm4::TForm4(QWidget* parent) : DialogForm(parent), ui(std::make_unique<Ui::TForm4>())
{
    ui->setupUi(this);
    // A tool window: narrow caption with only a close button, fixed size.
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Image1 = ui->Image1;
    Panel1 = ui->Panel1;
    Label3 = ui->Label3;
    Label4 = ui->Label4;
    Button2 = ui->Button2;
    FlatButton5 = ui->FlatButton5;

    ui->Label4->setText(QString::fromUtf8(maker::MailAddress));
    ui->Label3->setText(QString::fromUtf8(maker::HomePageText));
    ui->Label7->setText(QString::fromUtf8(maker::Credit));

    Image1->setPixmap(QPixmap::fromImage(drawSamplePlot()));
    // Every opening starts at the head of the tab order: the panel, which
    // reacts to no key, then "Updates ?" and "Funktions-Parser".
    startEachOpeningAt(*Panel1);

    Label4->installEventFilter(this);
    Label3->installEventFilter(this);
    connect(Button2, &QPushButton::clicked, this, guardedSlot(this, &TForm4::Button2Click));
    connect(FlatButton5, &QPushButton::clicked, this, guardedSlot(this, &TForm4::FlatButton5Click));
}

TForm4::~TForm4() = default;

bool TForm4::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && (watched == Label4 || watched == Label3)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            guarded(this, [this, watched] {
                if (watched == Label4)
                    Label4Click();
                else
                    Label3Click();
            });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm4::keyPressEvent(QKeyEvent* event)
{
    // No control closes this dialog, Esc included: only the frame's close
    // button does. Enter presses a focused button (the button takes it
    // itself) and nothing else: there is no default button to fall back on.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm4::Label4Click()
{
    Desktop::instance().openUrl(mailUrl());
}

void TForm4::Label3Click()
{
    Desktop::instance().openUrl(homePageUrl());
}

void TForm4::FlatButton5Click()
{
    Desktop::instance().openUrl(updateUrl());
}

void TForm4::Button2Click()
{
    Desktop::instance().openUrl(helpFileUrl());
}

} // namespace kurvaro
