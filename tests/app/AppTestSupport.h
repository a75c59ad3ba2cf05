#pragma once

#include "support/RecordingDesktop.h"
#include "support/TemporaryProgramDirectory.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class QDialog;

namespace kurvaro {

class TMatheMain;

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
    /// The user's first input, a key that does nothing: the window manager's
    /// placement of the window is over, and from now on a resize leaves the
    /// picture as it is.
    void userActs();
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
    /// The window that `start` shows: the real main window, or one derived
    /// from it that watches it.
    virtual std::unique_ptr<TMatheMain> createWindow();

    TemporaryProgramDirectory dir;
    RecordingDesktop desktop;
    std::unique_ptr<TMatheMain> window;
};

} // namespace kurvaro
