#include "dialogs/DialogForm.h"

#include "dialogs/Desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>

namespace kurvaro {

void centerOnScreen(QWidget& window)
{
    QScreen* screen = window.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    // Before the first showing the window manager has not told the frame yet;
    // the client size is the best estimate then.
    QSize outer = window.frameGeometry().size();
    if (outer.width() < window.width() || outer.height() < window.height())
        outer = window.size();
    const QRect area = screen->geometry();
    window.move(area.left() + (area.width() - outer.width()) / 2,
                area.top() + (area.height() - outer.height()) / 2);
}

void DialogForm::showEvent(QShowEvent* event)
{
    centerOnScreen(*this);
    if (firstControl != nullptr)
        firstControl->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void DialogForm::acceptAfter(const std::function<void()>& write)
{
    setResult(QDialog::Accepted);
    guarded(this, write);
    accept();
}

} // namespace kurvaro
