// kurvaro-cli: the expression engine and the picture without a window.

#include "Commands.h"

#include <QCommandLineOption>
#include <QString>

#include <string>
#include <vector>

using namespace kurvaro;

namespace {

const char Usage[] = "usage: kurvaro-cli eval [--set NAME=VALUE]... EXPR [XVALUE...]\n"
                     "       kurvaro-cli render [--ini FILE] [--size WxH] --out FILE\n";

const char Help[] =
    "usage: kurvaro-cli eval [--set NAME=VALUE]... [--] EXPR [XVALUE...]\n"
    "       kurvaro-cli eval [--set NAME=VALUE]... --table XMIN XMAX STEP EXPR\n"
    "       kurvaro-cli render [--ini FILE] [--size WxH] [--format FMT] --out FILE|-\n"
    "       kurvaro-cli --help | --version\n"
    "\n"
    "Commands:\n"
    "  eval     evaluate an expression, or tabulate it as a curve samples it\n"
    "  render   draw the picture that the window would show for a settings file\n"
    "\n"
    "'kurvaro-cli COMMAND --help' describes a command, its options and exit codes.\n"
    "Exit codes: 0 done, 64 wrong command line; each command adds its own.\n";

int usage(const QString& reason = {})
{
    printErr(QString::fromLatin1(Usage));
    if (!reason.isEmpty())
        printErr(QStringLiteral("kurvaro-cli: %1\n").arg(reason));
    return ExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> all(argv + (argc > 0 ? 1 : 0), argv + argc);
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringLiteral("version"));
    QCommandLineParser commandLine;
    commandLine.addOptions({helpOption, versionOption});
    QString error;
    // Everything from the command on belongs to the command.
    if (!parseCommandLine(commandLine, latin1Arguments("kurvaro-cli", all), error))
        return usage(error);
    if (commandLine.isSet(helpOption)) {
        printOut(QString::fromLatin1(Help));
        return 0;
    }
    if (commandLine.isSet(versionOption)) {
        printOut(QStringLiteral("kurvaro-cli " KURVARO_VERSION "\n"));
        return 0;
    }
    const QStringList operands = commandLine.positionalArguments();
    if (operands.isEmpty())
        return usage();
    const QString command = operands.first();
    const std::vector<std::string> args(all.end() - (operands.size() - 1), all.end());
    if (command == QLatin1String("eval"))
        return runEval(args);
    if (command == QLatin1String("render"))
        return runRender(argc, argv, args);
    return usage(QStringLiteral("unknown command '%1'").arg(command));
}
