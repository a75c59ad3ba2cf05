#pragma once

#include "dialogs/Desktop.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <optional>
#include <vector>

class QWidget;

namespace kurvaro {

/// Records every request to the desktop and answers from scripts, so that no
/// test blocks on a modal box. Installed for its lifetime.
class RecordingDesktop : public Desktop
{
public:
    RecordingDesktop();
    ~RecordingDesktop() override;

    void showError(QWidget* parent, const QString& message) override;
    void showWarning(QWidget* parent, const QString& text) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& preset) override;
    QString chooseSaveFileName(QWidget* parent, const QString& proposed,
                               const QString& filters) override;
    void openUrl(const QUrl& url) override;
    int execDialog(QDialog& dialog) override;

    QStringList errors;
    QStringList warnings;
    QList<QColor> colorPresets;
    /// Answers of the colour dialog, first one first; nullopt (or none left) cancels.
    QList<std::optional<QColor>> colorAnswers;
    QList<QUrl> openedUrls;
};

/// A temporary directory standing in for the executable's directory, so that
/// `Functions.ini` and `Info.txt` are looked for there.
class TemporaryProgramDirectory
{
public:
    TemporaryProgramDirectory();
    ~TemporaryProgramDirectory();

    QString path() const { return dir.path(); }
    QString iniPath() const { return dir.path() + QStringLiteral("/Functions.ini"); }
    /// Writes the settings file; each line ends with CR LF.
    void writeIni(const QStringList& lines) const;
    QByteArray iniBytes() const;

private:
    QTemporaryDir dir;
};

/// One key of a profile file, in file order.
struct IniEntry
{
    QString section;
    QString key;
    QString value;
    bool operator==(const IniEntry&) const = default;
};

/// The keys of a settings file in their order (sections and keys as written).
std::vector<IniEntry> parseIni(const QByteArray& bytes);
/// The entries of `entries` whose section is not in `sections`.
std::vector<IniEntry> withoutSections(const std::vector<IniEntry>& entries,
                                      const QStringList& sections);
/// Only the entries of `sections`.
std::vector<IniEntry> onlySections(const std::vector<IniEntry>& entries,
                                   const QStringList& sections);

/// Shows `window`, makes it the active window and waits until it is.
bool showActive(QWidget& window);
/// The object names that Tab visits from `start` on, `count` presses.
QStringList tabSequence(QWidget& start, int count);

/// A left click in the middle of `widget`.
void clickCenter(QWidget& widget);

void PrintTo(const IniEntry& entry, std::ostream* os);

} // namespace kurvaro
