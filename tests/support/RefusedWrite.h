#pragma once

// Writes that are expected to be refused, and work that may block, run in a
// child process.

#include "settings/SettingsErrors.h"

#include <QString>

#include <csignal>
#include <ctime>
#include <functional>
#include <string>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kurvaro {

inline std::string cannotWriteMessage(const QString& path)
{
    return "nach " + path.toStdString() + " kann nicht geschrieben werden";
}

/// Runs `body` in a child process and returns what it returned, or a text
/// that begins with "blocked" when it has not ended after `seconds` (the
/// child is then killed, so that a test fails instead of hanging).
inline std::string inChildProcess(const std::function<std::string()>& body, int seconds = 30)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        const std::string result = body();
        (void)!::write(pipeFds[1], result.data(), result.size());
        _exit(0);
    }
    close(pipeFds[1]);
    std::string result;
    const std::time_t deadline = std::time(nullptr) + seconds;
    bool ended = false;
    while (!ended) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const int waitMs = static_cast<int>(deadline - std::time(nullptr)) * 1000;
        if (waitMs <= 0 || poll(&p, 1, waitMs) <= 0)
            break;
        char buffer[512];
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0)
            result.append(buffer, static_cast<std::size_t>(n));
        ended = n <= 0;
    }
    close(pipeFds[0]);
    if (!ended) {
        kill(child, SIGKILL);
        result = "blocked: still running after " + std::to_string(seconds) + " s";
    }
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

/// The message of the EIniFileException that `write` raises, or "no exception".
inline std::string writeFailure(const std::function<void()>& write)
{
    try {
        write();
        return "no exception";
    } catch (const EIniFileException& e) {
        return e.message();
    } catch (const std::exception& e) {
        return std::string("other exception: ") + e.what();
    }
}

/// Runs `write` as an unprivileged user when the test runs as root (root
/// ignores permission bits), else in this process; or, when `restrict` is
/// given, in a child process that applies it first. Returns the message of
/// the EIniFileException it raised, or "no exception".
inline std::string refusedWrite(const std::function<void()>& write,
                                const std::function<void()>& restrict = {})
{
    if (geteuid() != 0 && !restrict)
        return writeFailure(write);
    return inChildProcess([&]() -> std::string {
        if (restrict) {
            restrict();
            return writeFailure(write);
        }
        if (setgid(65534) != 0 || setuid(65534) != 0)
            return "could not drop privileges";
        return writeFailure(write);
    });
}

/// A disk that fills up in the middle of a write: the file-size limit of the
/// writing process. SIGXFSZ ignored, so that a write past it fails instead of
/// ending the process.
inline void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace kurvaro
