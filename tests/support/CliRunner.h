#pragma once

#include <string>
#include <vector>

namespace kurvaro {

/// What a command-line run left behind.
struct CliResult
{
    int exitCode = -1; ///< -1 when the program did not start, crashed or ran too long
    bool timedOut = false;
    std::string out;
    std::string err;

    /// Standard output split at "\n" (the last, empty piece dropped).
    std::vector<std::string> lines() const;
};

/// Runs `program` with `args` (no shell), collecting both output streams. A
/// run that takes longer than `timeoutSeconds` is killed and reported as
/// timed out, so that a hang fails the test instead of stalling it.
CliResult runCli(const std::string& program, const std::vector<std::string>& args,
                 int timeoutSeconds = 120);

} // namespace kurvaro
