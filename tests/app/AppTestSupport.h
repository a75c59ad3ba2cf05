#pragma once

#include "dialogs/Desktop.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class QDialog;

namespace kurvaro {

class TMatheMain;

/// Records every box and answers every dialog, so that no test blocks.
class RecordingDesktop : public Desktop
{
public:
    QStringList errors;
    QStringList warnings;
    struct SaveRequest
    {
        QString proposed;
        QString filters;
    };
    std::vector<SaveRequest> saveRequests;
    /// Names handed out by the save dialog, front first; empty: cancelled.
    QStringList saveAnswers;
    /// How a modal dialog ends; the default presses nothing and cancels.
    std::function<int(QDialog&)> dialogAnswer;
    QStringList dialogsShown;

    void showError(QWidget*, const QString& message) override { errors << message; }
    void showWarning(QWidget*, const QString& text) override { warnings << text; }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    QString chooseSaveFileName(QWidget*, const QString& proposed, const QString& filters) override;
    void openUrl(const QUrl&) override {}
    int execDialog(QDialog& dialog) override;
};

/// Ends a dialog through its OK button (`BitBtn1`), as a user pressing it.
int pressOk(QDialog& dialog);
/// Ends a dialog with the cancel result.
int pressCancel(QDialog& dialog);

/// The real main window with its three dialogs, in a temporary folder that
/// stands in for the executable's one.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Writes `content` as Functions.ini before the window starts.
    void writeSettings(const QByteArray& content);
    /// Creates and shows the window; waits for the first picture (or for the
    /// error box when `expectPicture` is false).
    void start(bool expectPicture = true);
    /// Closes the window (FormClose) and returns the settings file's lines.
    QStringList closeAndReadSettings();
    QStringList settingsLines() const;
    QString settingsPath() const;

    QString field(const char* name) const;
    void setField(const char* name, const QString& text);
    void click(const char* buttonName);
    QImage plotBitmap() const;
    QImage shownPicture() const;
    /// Lets queued events and timers run for `ms` milliseconds.
    void pump(int ms = 0);

    QTemporaryDir dir;
    RecordingDesktop desktop;
    std::unique_ptr<TMatheMain> window;
};

} // namespace kurvaro
