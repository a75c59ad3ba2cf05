#pragma once

// Test helper: runs the built kurvaro-cli with arguments (no shell) and
// collects its standard output, standard error and exit code.

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kurvaro {

struct CliResult
{
    int exitCode = -1;
    std::string out;
    std::string err;

    /// Standard output split at "\n" (the last, empty piece dropped).
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::size_t start = 0;
        for (std::size_t i = 0; i < out.size(); ++i)
            if (out[i] == '\n') {
                result.push_back(out.substr(start, i - start));
                start = i + 1;
            }
        if (start < out.size())
            result.push_back(out.substr(start));
        return result;
    }
};

inline std::string readAll(int fd)
{
    std::string s;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        s.append(buffer, static_cast<std::size_t>(n));
    }
    return s;
}

/// Runs `program` with `args`; stderr is read after stdout, so keep it short.
inline CliResult runCli(const std::string& program, const std::vector<std::string>& args)
{
    int outPipe[2];
    int errPipe[2];
    CliResult r;
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return r;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        close(outPipe[1]);
        close(errPipe[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    r.out = readAll(outPipe[0]);
    r.err = readAll(errPipe[0]);
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

} // namespace kurvaro
