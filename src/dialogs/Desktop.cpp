#include "dialogs/Desktop.h"

#include "dialogs/PicturePreview.h"
#include "model/ErrorText.h"
#include "model/Faults.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

namespace kurvaro {

namespace {

/// The real modal boxes and dialogs of the running program.
class SystemDesktop final : public Desktop
{
public:
    void showError(QWidget* parent, const QString& message) override
    {
        QMessageBox box(QMessageBox::Critical, applicationTitle(), errorBoxText(message),
                        QMessageBox::Ok, parent);
        box.exec();
    }

    void showWarning(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Warnung"), text, QMessageBox::Ok,
                        parent);
        box.exec();
    }

    std::optional<QColor> chooseColor(QWidget* parent, const QColor& preset) override
    {
        // Qt's own dialog without the alpha channel is the basic mode: the
        // stored colours have no transparency.
        const QColor picked = QColorDialog::getColor(preset, parent, QStringLiteral("Farbe"),
                                                     QColorDialog::DontUseNativeDialog);
        if (!picked.isValid())
            return std::nullopt;
        return picked;
    }

    QString chooseSaveFileName(QWidget* parent, const QString& proposed,
                               const QString& filters) override
    {
        QFileDialog dialog(parent, QStringLiteral("Speichern unter"));
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(filters.split(QStringLiteral(";;")));
        addPicturePreview(dialog);
        if (!proposed.isEmpty())
            dialog.selectFile(proposed);
        // The type list shows its patterns separated by ";", which Qt's own
        // dialog would take for one pattern matching nothing: the list of
        // files follows the patterns of the chosen entry instead.
        if (auto* files = dialog.findChild<QFileSystemModel*>()) {
            const auto follow = [files](const QString& filter) {
                files->setNameFilters(filterPatterns(filter));
            };
            QObject::connect(&dialog, &QFileDialog::filterSelected, files, follow);
            follow(dialog.selectedNameFilter());
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    void openUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }
};

Desktop* installedDesktop = nullptr;

} // namespace

QStringList filterPatterns(const QString& filter)
{
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    const QString patterns =
        open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter;
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    return patterns.split(separators, Qt::SkipEmptyParts);
}

namespace {

QString executablePath()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

void showErrorQuietly(QWidget* parent, const QString& message)
{
    // The box is the last resort: if even showing it fails there is nobody
    // left to tell, and the failure must not leave the event handler.
    try {
        Desktop::instance().showError(parent, message);
    } catch (...) {
    }
}

} // namespace

Desktop& Desktop::instance()
{
    static SystemDesktop system;
    return installedDesktop != nullptr ? *installedDesktop : system;
}

Desktop* Desktop::install(Desktop* desktop)
{
    return std::exchange(installedDesktop, desktop);
}

QString applicationTitleFor(const QString& executablePath)
{
    const qsizetype slash =
        std::max(executablePath.lastIndexOf(u'/'), executablePath.lastIndexOf(u'\\'));
    QString name = executablePath.mid(slash + 1);
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString applicationTitle()
{
    return applicationTitleFor(executablePath());
}

void guarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const Exception& e) {
        showErrorQuietly(parent, QString::fromStdString(e.message()));
    } catch (const std::bad_alloc&) {
        showErrorQuietly(parent, QStringLiteral("Zu wenig Arbeitsspeicher"));
    } catch (const std::exception& e) {
        showErrorQuietly(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        showErrorQuietly(parent, QStringLiteral("Unbekannter Fehler"));
    }
}

} // namespace kurvaro
