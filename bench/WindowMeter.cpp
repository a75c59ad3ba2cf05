#include "WindowMeter.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kurvaro::bench {

namespace {

double milliseconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace

Cost now()
{
    return {milliseconds(CLOCK_PROCESS_CPUTIME_ID), milliseconds(CLOCK_MONOTONIC)};
}

void Meter::start(Part base)
{
    stack.assign(1, base);
    totals = {};
    last = now();
}

std::array<Cost, PartCount> Meter::stop()
{
    charge();
    stack.clear();
    return totals;
}

void Meter::enter(Part part)
{
    if (!running())
        return;
    charge();
    stack.push_back(part);
}

void Meter::leave()
{
    if (!running())
        return;
    charge();
    if (stack.size() > 1)
        stack.pop_back();
}

bool Meter::inside(Part part) const
{
    return std::find(stack.begin(), stack.end(), part) != stack.end();
}

void Meter::charge()
{
    const Cost t = now();
    Cost& to = totals[static_cast<std::size_t>(stack.back())];
    to.cpu += t.cpu - last.cpu;
    to.wall += t.wall - last.wall;
    last = t;
}

VirtualServer::VirtualServer(int width, int height)
{
    // Xvfb picks a free display itself and writes its number to the pipe.
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return;
    }
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return;
    const std::string name = ":" + number;
    for (int attempt = 0; attempt < 100; ++attempt) {
        xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
        const bool up = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        if (up) {
            Display = QString::fromStdString(name);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

VirtualServer::~VirtualServer()
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

double VirtualServer::cpuMs() const
{
    // The scheduler's run time in nanoseconds, summed over the server's threads.
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = file.readAll().split(' ');
        if (!fields.isEmpty())
            total += fields.front().toDouble() / 1e6;
    }
    return total;
}

bool onPath(const char* name)
{
    const QStringList dirs = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    return std::any_of(dirs.begin(), dirs.end(), [name](const QString& dir) {
        return access((dir + u'/' + QString::fromLatin1(name)).toLocal8Bit().constData(), X_OK) ==
               0;
    });
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QStringList fields = QString::fromLatin1(file.readAll()).split(u' ');
    return fields.mid(0, 3).join(u' ');
}

Spread spreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

} // namespace kurvaro::bench
