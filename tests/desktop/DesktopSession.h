#pragma once

// The real Kurvaro on a real X desktop: a virtual X server of its own per
// test, with or without a window manager that frames windows (openbox), the
// program run as a copy in a temporary folder (it keeps Functions.ini beside
// itself), driven from outside with xdotool and observed through the X server
// (window geometry, screen pixels), the files it writes and the requests it
// hands to the desktop's "open".

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>

namespace kurvaro {

/// How long a condition may take on a loaded machine before a test gives up.
constexpr std::chrono::milliseconds Patience{30000};

/// Polls `condition` until it holds or `timeout` has passed; true when it held.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = Patience);

/// A process started by a test; ended by its id when the object goes.
class ChildProcess
{
public:
    /// Starts `program` with `arguments` in `directory` with exactly the
    /// environment `environment`, output appended to `logFile`. `sharedFd`, if
    /// not negative, is handed to the child as its descriptor 3.
    ChildProcess(const QString& program, const QStringList& arguments,
                 const QStringList& environment, const QString& directory, const QString& logFile,
                 int sharedFd = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid > 0; }
    bool running();
    /// Waits for the end; its exit status, or -1 when it did not end in time.
    int waitForExit(std::chrono::milliseconds timeout = Patience);

private:
    int pid = -1;
    int status = -1;
};

/// A virtual X server of its own, 24 bits deep, optionally with openbox.
class VirtualDesktop
{
public:
    enum class Manager
    {
        /// No window manager: windows stay unframed where they ask to be.
        Bare,
        Openbox
    };

    explicit VirtualDesktop(Manager manager, QSize screen = QSize(1024, 768));
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    /// Empty when the server (and the window manager) came up, else why not.
    const QString& failure() const { return Failure; }
    const QString& displayName() const { return DisplayName; }
    QSize screenSize() const { return ScreenSize; }
    /// The environment for a client of this server, HOME in `home`.
    QStringList clientEnvironment(const QString& home) const;

    /// The mapped window with this title (the client window, not a frame); 0
    /// when there is none.
    unsigned long findWindow(const QString& title) const;
    bool isMapped(unsigned long window) const;
    bool hasWindowManager() const { return manager != nullptr; }
    /// The client area in screen coordinates.
    QRect clientRect(unsigned long window) const;
    /// The client area with the frame that the window manager announces.
    QRect outerRect(unsigned long window) const;
    /// Whether the window manager has framed the window.
    bool isFramed(unsigned long window) const;
    /// The size of the first picture of the window's icon (_NET_WM_ICON);
    /// empty when it has none.
    QSize iconSize(unsigned long window) const;
    /// Whether the keyboard input goes to `window` or one of its children.
    bool hasInputFocus(unsigned long window) const;
    /// The part of `area` that lies on the screen, as the screen shows it.
    QImage grab(const QRect& area) const;
    /// Asks the window to close, as a window manager's close button does.
    void requestClose(unsigned long window) const;

    /// xdotool with these arguments; true when it succeeded.
    bool xdotool(const QStringList& arguments) const;
    bool click(QPoint screenPosition) const;
    bool key(const QString& keys) const;
    bool type(const QString& text) const;

private:
    struct X;
    QSize ScreenSize;
    QString DisplayName;
    QString Failure;
    QTemporaryDir home;
    std::unique_ptr<ChildProcess> server;
    std::unique_ptr<ChildProcess> manager;
    std::unique_ptr<X> x;
};

/// The real kurvaro, copied with its help text into a temporary folder, with
/// a stand-in for the desktop's "open" that records what it is handed.
class ProgramCopy
{
public:
    ProgramCopy();
    ~ProgramCopy();

    /// Empty when the copy is ready, else why not.
    const QString& failure() const { return Failure; }
    QString directory() const;
    QString filePath(const QString& name) const;

    /// Functions.ini as given (CR LF line ends are the caller's).
    void writeSettings(const QByteArray& content) const;
    bool hasSettings() const;
    /// The keys of one section of Functions.ini; empty when it is missing.
    QMap<QString, QString> settingsSection(const QString& section) const;
    /// The targets handed to the desktop's "open", in order.
    QStringList opened() const;

    /// Starts the program on `desktop` with the client environment and
    /// `extraEnvironment` ("NAME=VALUE"); false when it could not be started.
    bool start(const VirtualDesktop& desktop, const QStringList& extraEnvironment = {});
    bool running();
    /// Waits for the program to end by itself; true when it did.
    bool waitForExit(std::chrono::milliseconds timeout = Patience);
    /// How the program ended: its exit code, 128 + the signal that ended it,
    /// or -1 while it has not been seen to end.
    int exitStatus() const { return ExitStatus; }

private:
    QTemporaryDir root;
    QString Failure;
    std::unique_ptr<ChildProcess> process;
    int ExitStatus = -1;
};

/// The program's main window once it is on screen, framed when a window
/// manager runs, with a picture in its drawing area; 0 when it does not come.
unsigned long waitForMainWindow(const VirtualDesktop& desktop);
/// Clicks the panel button `button` of the main window and waits until the
/// dialog `title` is shown and has the keyboard; 0 when it does not come.
unsigned long openDialog(const VirtualDesktop& desktop, unsigned long mainWindow,
                         const QString& button, const QString& title);

/// Where the main window's parts are, from its client rectangle (screen
/// coordinates): the panel of 200 pixels on the right, the drawing area in
/// the 1-pixel bevel of the rest; each of them `scale` times as large on a
/// screen of that device pixel ratio.
QRect drawingArea(const QRect& client, int scale = 1);
/// The middle of a command button of the panel ("BitBtn1" … "BitBtn5").
QPoint panelButton(const QRect& client, const QString& name);

/// The row and the column of a picture with the most pixels of `color`: where
/// a full-length axis is drawn.
QPoint fullestLines(const QImage& picture, QRgb color);
/// Number of pixels of exactly `color`.
int countColor(const QImage& picture, QRgb color);

/// The colours of the designed picture.
constexpr QRgb BackgroundColor = 0xFFF2F1FE;
constexpr QRgb AxisColor = 0xFF808080;

} // namespace kurvaro
