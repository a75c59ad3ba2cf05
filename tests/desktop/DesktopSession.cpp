#include "DesktopSession.h"

#include <QDir>
#include <QFile>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kurvaro {

namespace {

constexpr std::chrono::milliseconds PollInterval{25};

QString inheritedPath()
{
    const QByteArray path = qgetenv("PATH");
    return path.isEmpty() ? QStringLiteral("/usr/bin:/bin") : QString::fromLocal8Bit(path);
}

/// A window that vanished between two questions is no failure of the test.
int ignoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(PollInterval);
    }
}

// ---- ChildProcess ----

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments,
                           const QStringList& environment, const QString& directory,
                           const QString& logFile, int sharedFd)
{
    std::vector<std::string> args{program.toStdString()};
    for (const QString& a : arguments)
        args.push_back(a.toStdString());
    std::vector<std::string> env;
    for (const QString& e : environment)
        env.push_back(e.toStdString());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string log = logFile.toStdString();
    const std::string dir = directory.toStdString();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (sharedFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, sharedFd, 3);
    if (!dir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    pid_t child = -1;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0)
        pid = child;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess()
{
    if (!running())
        return;
    kill(pid, SIGTERM);
    if (waitForExit(std::chrono::seconds(5)) == -1 && running()) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
}

bool ChildProcess::running()
{
    if (pid <= 0)
        return false;
    int st = 0;
    const pid_t done = waitpid(pid, &st, WNOHANG);
    if (done == 0)
        return true;
    if (done == pid)
        status = st;
    pid = -1;
    return false;
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    if (!eventually([this] { return !running(); }, timeout))
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// ---- VirtualDesktop ----

struct VirtualDesktop::X
{
    Display* display = nullptr;
    Window root = 0;
    Atom netWmName = 0;
    Atom utf8 = 0;
    Atom frameExtents = 0;
    Atom protocols = 0;
    Atom deleteWindow = 0;
    Atom supportingWm = 0;
    Atom netWmIcon = 0;

    ~X()
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }

    QString title(Window w) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        QString text;
        if (XGetWindowProperty(display, w, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                               &after, &data) == Success &&
            data != nullptr && type == utf8 && format == 8)
            text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
        if (data != nullptr)
            XFree(data);
        return text;
    }

    std::vector<long> cardinals(Window w, Atom property) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> values;
        if (XGetWindowProperty(display, w, property, 0, 64, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success &&
            data != nullptr && format == 32) {
            const long* longs = reinterpret_cast<const long*>(data);
            values.assign(longs, longs + count);
        }
        if (data != nullptr)
            XFree(data);
        return values;
    }

    Window parentOf(Window w) const
    {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, w, &rootReturn, &parent, &children, &count) == 0)
            return 0;
        if (children != nullptr)
            XFree(children);
        return parent;
    }
};

VirtualDesktop::VirtualDesktop(Manager manager, QSize screen)
    : ScreenSize(screen), x(std::make_unique<X>())
{
    if (!home.isValid()) {
        Failure = QStringLiteral("no temporary folder");
        return;
    }
    // The server picks a free display itself and names it on descriptor 3:
    // tests running side by side cannot take the same one.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        Failure = QStringLiteral("no pipe");
        return;
    }
    server = std::make_unique<ChildProcess>(
        QStringLiteral("Xvfb"),
        QStringList{QStringLiteral("-displayfd"), QStringLiteral("3"), QStringLiteral("-screen"),
                    QStringLiteral("0"),
                    QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")},
        QStringList{QStringLiteral("PATH=") + inheritedPath()}, home.path(),
        home.filePath(QStringLiteral("xvfb.log")), fds[1]);
    close(fds[1]);
    QByteArray number;
    eventually([&] {
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 0) > 0) {
            char c = 0;
            if (read(fds[0], &c, 1) != 1)
                return true;
            if (c == '\n')
                return true;
            number += c;
        }
        return !server->running();
    });
    close(fds[0]);
    if (!server->started() || number.isEmpty()) {
        Failure = QStringLiteral("Xvfb did not start");
        return;
    }
    DisplayName = QStringLiteral(":") + QString::fromLatin1(number);

    XSetErrorHandler(ignoreXErrors);
    x->display = XOpenDisplay(DisplayName.toLatin1().constData());
    if (x->display == nullptr) {
        Failure = QStringLiteral("cannot open display ") + DisplayName;
        return;
    }
    x->root = DefaultRootWindow(x->display);
    x->netWmName = XInternAtom(x->display, "_NET_WM_NAME", False);
    x->utf8 = XInternAtom(x->display, "UTF8_STRING", False);
    x->frameExtents = XInternAtom(x->display, "_NET_FRAME_EXTENTS", False);
    x->protocols = XInternAtom(x->display, "WM_PROTOCOLS", False);
    x->deleteWindow = XInternAtom(x->display, "WM_DELETE_WINDOW", False);
    x->supportingWm = XInternAtom(x->display, "_NET_SUPPORTING_WM_CHECK", False);
    x->netWmIcon = XInternAtom(x->display, "_NET_WM_ICON", False);

    if (manager == Manager::Openbox) {
        this->manager = std::make_unique<ChildProcess>(
            QStringLiteral("openbox"), QStringList{QStringLiteral("--sm-disable")},
            clientEnvironment(home.path()), home.path(),
            home.filePath(QStringLiteral("openbox.log")));
        // The window manager is ready once it announces itself on the root.
        if (!eventually([this] {
                return !x->cardinals(x->root, x->supportingWm).empty() || !this->manager->running();
            }) ||
            !this->manager->running()) {
            Failure = QStringLiteral("openbox did not come up");
            return;
        }
    }
}

VirtualDesktop::~VirtualDesktop()
{
    x.reset(); // the connection closes before the server ends
    manager.reset();
    server.reset();
}

QStringList VirtualDesktop::clientEnvironment(const QString& homePath) const
{
    QDir(homePath).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(homePath + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return {QStringLiteral("PATH=") + inheritedPath(), QStringLiteral("DISPLAY=") + DisplayName,
            QStringLiteral("HOME=") + homePath,
            QStringLiteral("XDG_CONFIG_HOME=") + homePath + QStringLiteral("/config"),
            QStringLiteral("XDG_CACHE_HOME=") + homePath + QStringLiteral("/cache"),
            QStringLiteral("XDG_DATA_HOME=") + homePath + QStringLiteral("/data"),
            QStringLiteral("XDG_RUNTIME_DIR=") + homePath + QStringLiteral("/runtime"),
            // English everywhere: what the program shows in German it must
            // show whatever the locale.
            QStringLiteral("LC_ALL=C.UTF-8"), QStringLiteral("QT_QPA_PLATFORM=xcb")};
}

unsigned long VirtualDesktop::findWindow(const QString& title) const
{
    if (x->display == nullptr)
        return 0;
    std::deque<Window> pending{x->root};
    while (!pending.empty()) {
        const Window w = pending.front();
        pending.pop_front();
        if (w != x->root && isMapped(w) && x->title(w) == title)
            return w;
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(x->display, w, &rootReturn, &parent, &children, &count) != 0) {
            pending.insert(pending.end(), children, children + count);
            if (children != nullptr)
                XFree(children);
        }
    }
    return 0;
}

bool VirtualDesktop::isMapped(unsigned long window) const
{
    XWindowAttributes attributes;
    return x->display != nullptr && XGetWindowAttributes(x->display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

QRect VirtualDesktop::clientRect(unsigned long window) const
{
    XWindowAttributes attributes;
    if (x->display == nullptr || XGetWindowAttributes(x->display, window, &attributes) == 0)
        return {};
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(x->display, window, x->root, 0, 0, &left, &top, &child);
    return QRect(left, top, attributes.width, attributes.height);
}

QRect VirtualDesktop::outerRect(unsigned long window) const
{
    const QRect client = clientRect(window);
    const std::vector<long> e = x->cardinals(window, x->frameExtents);
    if (e.size() != 4)
        return client;
    // left, right, top, bottom
    return client.adjusted(-int(e[0]), -int(e[2]), int(e[1]), int(e[3]));
}

bool VirtualDesktop::isFramed(unsigned long window) const
{
    const Window parent = x->parentOf(window);
    return parent != 0 && parent != x->root && x->cardinals(window, x->frameExtents).size() == 4;
}

QSize VirtualDesktop::iconSize(unsigned long window) const
{
    if (x->display == nullptr)
        return {};
    // The property starts with the first picture's width and height.
    const std::vector<long> icon = x->cardinals(window, x->netWmIcon);
    if (icon.size() < 3)
        return {};
    return QSize(int(icon[0]), int(icon[1]));
}

bool VirtualDesktop::hasInputFocus(unsigned long window) const
{
    if (x->display == nullptr)
        return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(x->display, &focus, &revert);
    for (Window w = focus; w != 0 && w != PointerRoot && w != x->root; w = x->parentOf(w)) {
        if (w == window)
            return true;
    }
    return false;
}

QImage VirtualDesktop::grab(const QRect& area) const
{
    const QRect visible = area.intersected(QRect(QPoint(0, 0), ScreenSize));
    if (x->display == nullptr || visible.isEmpty())
        return {};
    XImage* image =
        XGetImage(x->display, x->root, visible.x(), visible.y(), unsigned(visible.width()),
                  unsigned(visible.height()), AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    QImage picture(visible.size(), QImage::Format_RGB32);
    for (int row = 0; row < visible.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(row));
        for (int column = 0; column < visible.width(); ++column)
            line[column] = 0xFF000000u | (XGetPixel(image, column, row) & 0xFFFFFFu);
    }
    XDestroyImage(image);
    return picture;
}

void VirtualDesktop::requestClose(unsigned long window) const
{
    if (x->display == nullptr)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x->protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(x->deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x->display, window, False, NoEventMask, &event);
    XFlush(x->display);
}

bool VirtualDesktop::xdotool(const QStringList& arguments) const
{
    ChildProcess tool(
        QStringLiteral("xdotool"), arguments,
        {QStringLiteral("PATH=") + inheritedPath(), QStringLiteral("DISPLAY=") + DisplayName},
        home.path(), home.filePath(QStringLiteral("xdotool.log")));
    return tool.started() && tool.waitForExit() == 0;
}

bool VirtualDesktop::click(QPoint screenPosition) const
{
    return xdotool({QStringLiteral("mousemove"), QString::number(screenPosition.x()),
                    QString::number(screenPosition.y()), QStringLiteral("click"),
                    QStringLiteral("1")});
}

bool VirtualDesktop::key(const QString& keys) const
{
    return xdotool(
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} +
        keys.split(u' ', Qt::SkipEmptyParts));
}

bool VirtualDesktop::type(const QString& text) const
{
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

} // namespace kurvaro
