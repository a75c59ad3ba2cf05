#pragma once

#include <QDialog>

#include <functional>

class QShowEvent;

namespace kurvaro {

/// What the functions, options and info dialogs share: each time one is
/// shown, its frame is centred on its screen and the keyboard starts at the
/// head of its tab order; and the OK of the two dialogs that store settings.
class DialogForm : public QDialog
{
public:
    explicit DialogForm(QWidget* parent) : QDialog(parent) {}

protected:
    void showEvent(QShowEvent* event) override;

    /// The control that has the focus at every opening: the first of the
    /// dialog's tab order.
    void startEachOpeningAt(QWidget& control) { firstControl = &control; }

    /// OK: the result is OK before `write` runs (inside the guard of the
    /// general error box), so that a refused write still closes the dialog
    /// as OK and what was edited is drawn.
    void acceptAfter(const std::function<void()>& write);

private:
    QWidget* firstControl = nullptr;
};

/// Places a top-level window so that its frame is centred on its screen.
void centerOnScreen(QWidget& window);

} // namespace kurvaro
