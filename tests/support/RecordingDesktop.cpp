#include "support/RecordingDesktop.h"

#include <QAbstractButton>
#include <QDialog>

namespace kurvaro {

RecordingDesktop::RecordingDesktop() : previous(Desktop::install(this)) {}

RecordingDesktop::~RecordingDesktop()
{
    Desktop::install(previous);
}

void RecordingDesktop::showError(QWidget*, const QString& message)
{
    errors << message;
}

void RecordingDesktop::showWarning(QWidget*, const QString& text)
{
    warnings << text;
}

std::optional<QColor> RecordingDesktop::chooseColor(QWidget*, const QColor& preset)
{
    colorPresets << preset;
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
}

QString RecordingDesktop::chooseSaveFileName(QWidget*, const QString& proposed,
                                             const QString& filters)
{
    saveRequests.push_back({proposed, filters});
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

void RecordingDesktop::openUrl(const QUrl& url)
{
    openedUrls << url;
}

int RecordingDesktop::execDialog(QDialog& dialog)
{
    dialogsShown << dialog.objectName();
    return dialogAnswer ? dialogAnswer(dialog) : pressCancel(dialog);
}

int pressOk(QDialog& dialog)
{
    dialog.setResult(QDialog::Rejected);
    if (auto* ok = dialog.findChild<QAbstractButton*>(QStringLiteral("BitBtn1")))
        ok->click();
    else
        dialog.accept();
    return dialog.result();
}

int pressCancel(QDialog& dialog)
{
    dialog.reject();
    return dialog.result();
}

} // namespace kurvaro
