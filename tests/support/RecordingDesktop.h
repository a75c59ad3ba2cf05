#pragma once

#include "dialogs/Desktop.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace kurvaro {

/// Records every request to the desktop and answers from scripts, so that no
/// test blocks on a modal box. Installed from construction to destruction;
/// the one installed before comes back afterwards.
class RecordingDesktop : public Desktop
{
public:
    RecordingDesktop();
    ~RecordingDesktop() override;
    RecordingDesktop(const RecordingDesktop&) = delete;
    RecordingDesktop& operator=(const RecordingDesktop&) = delete;

    void showError(QWidget* parent, const QString& message) override;
    void showWarning(QWidget* parent, const QString& text) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& preset) override;
    QString chooseSaveFileName(QWidget* parent, const QString& proposed,
                               const QString& filters) override;
    void openUrl(const QUrl& url) override;
    /// Records the dialog's object name, then ends it with `dialogAnswer`
    /// (cancel when none is set).
    int execDialog(QDialog& dialog) override;

    QStringList errors;
    QStringList warnings;

    QList<QColor> colorPresets;
    /// Answers of the colour dialog, first one first; nullopt (or none left) cancels.
    QList<std::optional<QColor>> colorAnswers;

    struct SaveRequest
    {
        QString proposed;
        QString filters;
    };
    std::vector<SaveRequest> saveRequests;
    /// Names handed out by the save dialog, front first; empty: cancelled.
    QStringList saveAnswers;

    QList<QUrl> openedUrls;

    /// How a modal dialog ends.
    std::function<int(QDialog&)> dialogAnswer;
    QStringList dialogsShown;

private:
    Desktop* previous = nullptr;
};

/// Ends a dialog through its OK button (`BitBtn1`), as a user pressing it.
int pressOk(QDialog& dialog);
/// Ends a dialog with the cancel result.
int pressCancel(QDialog& dialog);

} // namespace kurvaro
