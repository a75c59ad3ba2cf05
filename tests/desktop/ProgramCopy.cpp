#include "DesktopSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace kurvaro {

namespace {

/// The directory of the kurvaro under test: the build's, unless a test run
/// names another (for comparing two builds).
QString programDirectory()
{
    const QByteArray other = qgetenv("KURVARO_DESKTOP_BIN_DIR");
    return other.isEmpty() ? QStringLiteral(KURVARO_BIN_DIR) : QString::fromLocal8Bit(other);
}

} // namespace

// ---- ProgramCopy ----

ProgramCopy::ProgramCopy()
{
    if (!root.isValid()) {
        Failure = QStringLiteral("no temporary folder");
        return;
    }
    QDir(root.path()).mkpath(QStringLiteral("program"));
    QDir(root.path()).mkpath(QStringLiteral("shell"));
    QDir(root.path()).mkpath(QStringLiteral("home"));
    const QString from = programDirectory();
    for (const char* name : {"kurvaro", "Info.txt"}) {
        const QString file = QString::fromLatin1(name);
        if (!QFile::copy(from + u'/' + file, filePath(file))) {
            Failure = QStringLiteral("cannot copy ") + from + u'/' + file;
            return;
        }
    }
    QFile::setPermissions(filePath(QStringLiteral("kurvaro")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The desktop's "open" (Qt asks xdg-open): records its argument.
    QFile opener(root.filePath(QStringLiteral("shell/xdg-open")));
    if (!opener.open(QIODevice::WriteOnly)) {
        Failure = QStringLiteral("cannot write the stand-in for xdg-open");
        return;
    }
    opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" +
                 root.filePath(QStringLiteral("opened.log")).toLocal8Bit() + "'\n");
    opener.close();
    opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

ProgramCopy::~ProgramCopy() = default;

QString ProgramCopy::directory() const
{
    return root.filePath(QStringLiteral("program"));
}

QString ProgramCopy::filePath(const QString& name) const
{
    return directory() + u'/' + name;
}

void ProgramCopy::writeSettings(const QByteArray& content) const
{
    QFile file(filePath(QStringLiteral("Functions.ini")));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

bool ProgramCopy::hasSettings() const
{
    return QFileInfo::exists(filePath(QStringLiteral("Functions.ini")));
}

QMap<QString, QString> ProgramCopy::settingsSection(const QString& section) const
{
    QFile file(filePath(QStringLiteral("Functions.ini")));
    QMap<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    QString current;
    for (QString line : QString::fromLatin1(file.readAll()).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']'))
            current = line.mid(1, line.size() - 2);
        else if (current == section && line.contains(u'='))
            keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return keys;
}

QStringList ProgramCopy::opened() const
{
    QFile log(root.filePath(QStringLiteral("opened.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool ProgramCopy::start(const VirtualDesktop& desktop, const QStringList& extraEnvironment)
{
    QStringList environment = desktop.clientEnvironment(root.filePath(QStringLiteral("home")));
    environment += extraEnvironment;
    for (QString& entry : environment) {
        if (entry.startsWith(QStringLiteral("PATH=")))
            entry.insert(5, root.filePath(QStringLiteral("shell")) + u':');
    }
    process = std::make_unique<ChildProcess>(filePath(QStringLiteral("kurvaro")), QStringList{},
                                             environment, directory(),
                                             root.filePath(QStringLiteral("kurvaro.log")));
    return process->started();
}

bool ProgramCopy::running()
{
    return process && process->running();
}

bool ProgramCopy::waitForExit(std::chrono::milliseconds timeout)
{
    if (!process)
        return true;
    ExitStatus = process->waitForExit(timeout);
    return ExitStatus != -1;
}

// ---- Waiting for windows ----

unsigned long waitForMainWindow(const VirtualDesktop& desktop)
{
    unsigned long window = 0;
    const bool shown = eventually([&] {
        window = desktop.findWindow(QStringLiteral("Kurvaro"));
        return window != 0 && (!desktop.hasWindowManager() || desktop.isFramed(window)) &&
               countColor(desktop.grab(drawingArea(desktop.clientRect(window))), BackgroundColor) >
                   0;
    });
    return shown ? window : 0;
}

unsigned long openDialog(const VirtualDesktop& desktop, unsigned long mainWindow,
                         const QString& button, const QString& title)
{
    if (!desktop.click(panelButton(desktop.clientRect(mainWindow), button)))
        return 0;
    unsigned long dialog = 0;
    const bool shown = eventually([&] {
        dialog = desktop.findWindow(title);
        return dialog != 0 && desktop.hasInputFocus(dialog);
    });
    return shown ? dialog : 0;
}

// ---- The main window's parts ----

QRect drawingArea(const QRect& client, int scale)
{
    return QRect(client.x() + scale, client.y() + scale, client.width() - 202 * scale,
                 client.height() - 2 * scale);
}

QPoint panelButton(const QRect& client, const QString& name)
{
    struct Button
    {
        const char* name;
        QPoint topLeft;
    };
    static const Button Buttons[] = {{"BitBtn1", {18, 283}},
                                     {"BitBtn4", {18, 316}},
                                     {"BitBtn3", {18, 349}},
                                     {"BitBtn2", {18, 382}},
                                     {"BitBtn5", {17, 425}}};
    const QPoint panel(client.x() + client.width() - 200, client.y());
    for (const Button& b : Buttons) {
        if (name == QLatin1String(b.name))
            return panel + b.topLeft + QPoint(166 / 2, 25 / 2);
    }
    return {};
}

QPoint fullestLines(const QImage& picture, QRgb color)
{
    std::vector<int> rows(std::size_t(std::max(picture.height(), 0)));
    std::vector<int> columns(std::size_t(std::max(picture.width(), 0)));
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) == color) {
                ++rows[std::size_t(y)];
                ++columns[std::size_t(x)];
            }
        }
    }
    if (rows.empty() || columns.empty())
        return {-1, -1};
    return {int(std::max_element(columns.begin(), columns.end()) - columns.begin()),
            int(std::max_element(rows.begin(), rows.end()) - rows.begin())};
}

int countColor(const QImage& picture, QRgb color)
{
    int n = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            n += picture.pixel(x, y) == color ? 1 : 0;
    }
    return n;
}

} // namespace kurvaro
