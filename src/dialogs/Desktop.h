#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDialog;
class QUrl;
class QWidget;

namespace kurvaro {

/// Kurvaro's one seam to modal system UI and the shell. The program installs
/// the real implementation at start; tests install a recording double so that
/// no test blocks on a modal box.
class Desktop
{
public:
    virtual ~Desktop() = default;

    /// The general error box: error icon, one "OK", the application's title
    /// as caption, `message` with the full-stop rule applied.
    virtual void showError(QWidget* parent, const QString& message) = 0;
    /// Warning icon, caption "Warnung", one "OK".
    virtual void showWarning(QWidget* parent, const QString& text) = 0;
    /// The colour dialog in basic mode, preset to `preset`; nullopt when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& preset) = 0;
    /// The save dialog; `proposed` is the remembered name, `filters` the type
    /// list. Empty result: cancelled.
    virtual QString chooseSaveFileName(QWidget* parent, const QString& proposed,
                                       const QString& filters) = 0;
    /// The shell's "open"; the result is ignored.
    virtual void openUrl(const QUrl& url) = 0;
    /// Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int execDialog(QDialog& dialog) = 0;

    static Desktop& instance();
    /// Installs `desktop` (not owned); nullptr restores the real one. Returns
    /// the one installed before (nullptr: the real one).
    static Desktop* install(Desktop* desktop);
};

/// The application's title, the caption of the general error box: the
/// executable's file name without its directory, up to its first ".", every
/// letter after the first turned to lower case ("KURVARO.bin" -> "Kurvaro").
QString applicationTitle();
/// The same rule for a given executable path (either separator).
QString applicationTitleFor(const QString& executablePath);

/// The file patterns of one entry of a save dialog's type list, as in
/// "Alle (*.jpg;*.jpeg)": the text in the last brackets split at ";" and blanks.
QStringList filterPatterns(const QString& filter);

/// Runs `handler` so that no exception leaves it: a failure is shown once in
/// the general error box and the program goes on. Every event handler runs
/// inside this guard.
void guarded(QWidget* parent, const std::function<void()>& handler);

/// A slot for `connect` that runs the handler `member` of `receiver` inside
/// `guarded`, handing on the signal's arguments.
template <typename Receiver, typename... Args>
auto guardedSlot(Receiver* receiver, void (Receiver::*member)(Args...))
{
    return [receiver, member](Args... args) {
        guarded(receiver, [&] { (receiver->*member)(args...); });
    };
}

/// A slot that runs `handler` inside `guarded` with `parent`'s error box.
template <typename Handler> auto guardedSlot(QWidget* parent, Handler handler)
{
    return [parent, handler] { guarded(parent, handler); };
}

} // namespace kurvaro
