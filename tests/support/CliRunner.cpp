#include "support/CliRunner.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace kurvaro {

std::vector<std::string> CliResult::lines() const
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') {
            result.push_back(out.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < out.size())
        result.push_back(out.substr(start));
    return result;
}

CliResult runCli(const std::string& program, const std::vector<std::string>& args,
                 int timeoutSeconds)
{
    QStringList arguments;
    for (const std::string& a : args)
        arguments << QFile::decodeName(QByteArray::fromStdString(a));
    QProcess process;
    process.start(QFile::decodeName(QByteArray::fromStdString(program)), arguments);
    CliResult r;
    if (!process.waitForStarted())
        return r;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutSeconds * 1000)) {
        r.timedOut = true;
        process.kill();
        process.waitForFinished();
    }
    r.out = process.readAllStandardOutput().toStdString();
    r.err = process.readAllStandardError().toStdString();
    if (!r.timedOut && process.exitStatus() == QProcess::NormalExit)
        r.exitCode = process.exitCode();
    return r;
}

} // namespace kurvaro
