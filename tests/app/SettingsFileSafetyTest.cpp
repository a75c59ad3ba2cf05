// The real main window against a settings file that cannot be written (a
// full disk, a file-size limit) or is no file at all (a FIFO, a device, a
// socket, a directory) or is far too large: the window comes up with the
// defaults, every refused write shows the general error box, and the file is
// left byte for byte as it was.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "model/ProgramDirectory.h"
#include "settings/ProfileDisk.h"
#include "settings/Settings.h"
#include "support/NonRegularFiles.h"
#include "support/SmallFileSystem.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kurvaro;

namespace {

/// The reported file: two functions and a view.
const QByteArray TwoFunctionsAndAView = "[Function1]\r\nExpression=sin(x)\r\nVisible=1\r\n"
                                        "Color=clBlack\r\n[Function2]\r\nExpression=x^2\r\n"
                                        "Visible=1\r\nColor=clGreen\r\n[View]\r\nXMin=-10\r\n"
                                        "XMax=10\r\nYMin=-3\r\nYMax=3\r\nWidth=683\r\n"
                                        "Height=498\r\nTop=115\r\nLeft=183\r\n";

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString refusal(const QString& path)
{
    return QStringLiteral("nach %1 kann nicht geschrieben werden").arg(path);
}

/// Opens a FIFO for writing after a while, and again and again until it is
/// stopped, which ends every open for reading that waits for a writer: a
/// test that would hang fails instead.
class FifoWatchdog
{
public:
    explicit FifoWatchdog(const QString& fifo)
        : thread([this, name = QFile::encodeName(fifo)] {
              std::unique_lock lock(mutex);
              auto wait = std::chrono::milliseconds(10000);
              while (!woken.wait_for(lock, wait, [this] { return stopping; })) {
                  const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      released = true;
                      ::close(fd);
                  }
                  wait = std::chrono::milliseconds(20);
              }
          })
    {
    }
    ~FifoWatchdog() { stop(); }
    /// True when the watchdog had to let a waiting reader go.
    bool stop()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        woken.notify_all();
        if (thread.joinable())
            thread.join();
        return released;
    }

private:
    std::mutex mutex;
    std::condition_variable woken;
    bool stopping = false;
    std::atomic<bool> released = false;
    std::thread thread;
};

class SettingsFileWindowTest : public MainWindowTest
{
protected:
    /// OK in the functions dialog, then close; each must show the refusal
    /// once and leave the file as `before`.
    void okThenClose(const QString& path, const std::function<std::string()>& state)
    {
        const std::string before = state();
        desktop.dialogAnswer = pressOk;
        click("BitBtn1");
        EXPECT_EQ(desktop.dialogsShown, QStringList({QStringLiteral("Form2")}));
        EXPECT_EQ(desktop.errors, QStringList({refusal(path)}));
        EXPECT_EQ(state(), before) << "after OK in the functions dialog";
        EXPECT_FALSE(plotBitmap().isNull()) << "the window redraws after OK all the same";

        window->close();
        pump();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(desktop.errors, QStringList({refusal(path), refusal(path)}));
        EXPECT_EQ(state(), before) << "after the close";
    }

    void expectLoaded()
    {
        EXPECT_EQ(field("Editxmin"), "-10");
        EXPECT_EQ(field("Editymax"), "3");
    }
};

TEST_F(SettingsFileWindowTest, FullDiskKeepsTheFileAndShowsTheErrorBox)
{
    SmallFileSystem disk;
    if (!disk.unavailable().isEmpty())
        GTEST_SKIP() << disk.unavailable().toStdString();
    SetExecutableDirectoryOverride(disk.path());
    const QString path = disk.filePath(QStringLiteral("Functions.ini"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(TwoFunctionsAndAView), TwoFunctionsAndAView.size());
    }
    ASSERT_TRUE(disk.fill());

    start();
    expectLoaded();
    okThenClose(path, [&] { return bytesOf(path).toStdString(); });
    EXPECT_EQ(bytesOf(path), TwoFunctionsAndAView);
}

/// The process's file-size limit below the new file's size, restored after.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old{};
    void (*oldHandler)(int) = nullptr;
};

TEST_F(SettingsFileWindowTest, FileSizeLimitKeepsTheFileAndShowsTheErrorBox)
{
    writeSettings(TwoFunctionsAndAView);
    start();
    expectLoaded();
    const FileSizeLimit limit(100);
    okThenClose(settingsPath(), [&] { return bytesOf(settingsPath()).toStdString(); });
    EXPECT_EQ(bytesOf(settingsPath()), TwoFunctionsAndAView);
}

struct NotAFileCase
{
    const char* name;
    std::function<bool(const QString& path)> make;
    bool fifo = false; ///< a start that waits for a writer is let go after a while
};

void PrintTo(const NotAFileCase& c, std::ostream* os)
{
    *os << c.name;
}

const NotAFileCase NotAFileCases[] = {
    {"a FIFO without a writer", makeFifo, true},
    {"a link to /dev/zero",
     [](const QString& p) { return QFile::link(QStringLiteral("/dev/zero"), p); }},
    {"a file over the size bound",
     [](const QString& p) {
         QFile file(p);
         return file.open(QIODevice::WriteOnly) && file.write(TwoFunctionsAndAView) > 0 &&
                file.resize(profile::MaxFileSize + 1);
     }},
    {"a directory", [](const QString& p) { return QDir().mkdir(p); }},
    {"a socket", makeSocket},
};

class NotAFile : public SettingsFileWindowTest, public ::testing::WithParamInterface<NotAFileCase>
{
};

TEST_P(NotAFile, WindowComesUpWithTheDefaultsAndTheFileStays)
{
    const QString path = settingsPath();
    ASSERT_TRUE(GetParam().make(path));
    const std::string before = describe(path);

    std::optional<FifoWatchdog> watchdog;
    if (GetParam().fifo)
        watchdog.emplace(path);
    start();
    ASSERT_FALSE(plotBitmap().isNull()) << "no first picture";
    EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join(" | ").toStdString();
    EXPECT_EQ(field("Editxmin"), "-5");
    EXPECT_EQ(field("Editxmax"), "5");
    EXPECT_EQ(field("Editymin"), "-5");
    EXPECT_EQ(field("Editymax"), "5");
    EXPECT_EQ(window->windowBound(WindowBound::Width), 683);
    okThenClose(path, [&] { return describe(path); });
    EXPECT_EQ(describe(path), before);
    if (watchdog) {
        EXPECT_FALSE(watchdog->stop()) << "the window waited for a writer of the FIFO";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NotAFile, ::testing::ValuesIn(NotAFileCases));

} // namespace
