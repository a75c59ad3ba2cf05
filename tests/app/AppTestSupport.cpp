#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "plot/PlotRenderer.h"
#include "settings/Settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace kurvaro {

void MainWindowTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
}

void MainWindowTest::TearDown()
{
    if (window && window->isVisible())
        window->close();
    window.reset();
}

QString MainWindowTest::settingsPath() const
{
    return dir.filePath(QStringLiteral("Functions.ini"));
}

void MainWindowTest::writeSettings(const QByteArray& content)
{
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void MainWindowTest::start(bool expectPicture)
{
    window = createWindow();
    window->CreateDialogs();
    window->show();
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const bool drawn =
            !window->renderer().PlotBitmap().isNull() && !window->renderer().isDrawing();
        if (expectPicture ? drawn : !desktop.errors.isEmpty())
            break;
    }
    pump();
}

std::unique_ptr<TMatheMain> MainWindowTest::createWindow()
{
    return std::make_unique<TMatheMain>();
}

void MainWindowTest::userActs()
{
    QTest::keyClick(window.get(), Qt::Key_Shift);
    pump();
}

QStringList MainWindowTest::settingsLines() const
{
    QFile file(settingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    if (lines.size() == 1)
        lines = lines.front().split(u'\n');
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList MainWindowTest::closeAndReadSettings()
{
    window->close();
    pump();
    return settingsLines();
}

QString MainWindowTest::field(const char* name) const
{
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    return edit != nullptr ? edit->text() : QStringLiteral("<no field %1>").arg(name);
}

void MainWindowTest::setField(const char* name, const QString& text)
{
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(text);
}

void MainWindowTest::click(const char* buttonName)
{
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(buttonName));
    ASSERT_NE(button, nullptr) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
    pump();
}

QImage MainWindowTest::plotBitmap() const
{
    return window->renderer().PlotBitmap();
}

QImage MainWindowTest::shownPicture() const
{
    auto* image = window->findChild<TImage*>(QStringLiteral("Image1"));
    return image != nullptr ? image->picture() : QImage();
}

void MainWindowTest::pump(int ms)
{
    if (ms > 0)
        QTest::qWait(ms);
    QCoreApplication::processEvents();
}

} // namespace kurvaro
