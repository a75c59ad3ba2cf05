// kurvaro-cli eval: the expression engine without a window, for scripts and tests.

#include "Commands.h"

#include "parser/Parser10.h"
#include "plot/NumberText.h"
#include "plot/ViewMapping.h"

#include <QCommandLineOption>
#include <QSize>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kurvaro {

namespace {

const char Usage[] = "usage: kurvaro-cli eval [--set NAME=VALUE]... EXPR [XVALUE...]\n"
                     "       kurvaro-cli eval [--set NAME=VALUE]... --table XMIN XMAX STEP EXPR\n"
                     "  NAME is one of A, B, C, D, E, X, Y, T; VALUE and XVALUE are numbers\n"
                     "  with \".\" as decimal separator. Prints one value per XVALUE (or one\n"
                     "  value without any), or \"fault: MESSAGE\" when evaluating raises.\n";

const char Help[] =
    "\n"
    "Compiles the expression EXPR once and prints its value, 17 significant\n"
    "digits, for each XVALUE as X (or once, without any).\n"
    "\n"
    "Options:\n"
    "  --set NAME=VALUE   set a variable before evaluating; may be repeated\n"
    "  --table XMIN XMAX STEP\n"
    "                     print \"x<TAB>value\" lines, sampled as the curves of the\n"
    "                     window sample: the whole number of STEPs nearest to\n"
    "                     XMAX-XMIN make the columns; x runs from XMIN plus one\n"
    "                     step up to XMAX (XMIN itself is not sampled), and the\n"
    "                     expression, without its blanks, is compiled anew for\n"
    "                     every x; a failed value prints \"x<TAB>fault: MESSAGE\"\n"
    "  -h, --help         this text\n"
    "  --                 ends the options (EXPR may start with \"-\" all the same)\n"
    "\n"
    "Exit codes: 0 values printed (faults included), 2 EXPR does not compile\n"
    "(\"EClass: message\" on standard output), 64 wrong command line.\n";

/// The usage on standard error, with the reason when there is one.
int usage(const QString& reason = {})
{
    std::fputs(Usage, stderr);
    if (!reason.isEmpty())
        printErr(QStringLiteral("kurvaro-cli eval: %1\n").arg(reason));
    return ExitUsage;
}

/// Rows of a table larger than this are refused: no window draws so many columns.
constexpr long long MaxTableRows = 1000000;

/// A finite double in the C locale's syntax, the whole text.
bool parseNumber(const std::string& text, double& value)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (text.empty())
        return false;
    char* end = nullptr;
    value = strtod_l(text.c_str(), &end, c);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

double* variable(TParser& p, const std::string& name)
{
    if (name.size() != 1)
        return nullptr;
    switch (name[0]) {
    case 'A':
    case 'a':
        return &p.A;
    case 'B':
    case 'b':
        return &p.B;
    case 'C':
    case 'c':
        return &p.C;
    case 'D':
    case 'd':
        return &p.D;
    case 'E':
    case 'e':
        return &p.E;
    case 'X':
    case 'x':
        return &p.X;
    case 'Y':
    case 'y':
        return &p.Y;
    case 'T':
    case 't':
        return &p.T;
    default:
        return nullptr;
    }
}

/// The message on one line: each carriage return as the two characters "\r".
std::string oneLine(const std::string& message)
{
    std::string out;
    for (char ch : message) {
        if (ch == '\r')
            out += "\\r";
        else
            out += ch;
    }
    return out;
}

struct Setting
{
    double* cell;
    double value;
};

struct TableRange
{
    double xmin;
    double xmax;
    long long columns;
};

/// The columns of a table: the whole number of steps nearest to the range,
/// with reversed bounds put in order as the view's are. Empty with a reason
/// when the numbers make no table.
std::optional<TableRange> tableRange(double xmin, double xmax, double step, QString& reason)
{
    if (xmin > xmax)
        std::swap(xmin, xmax);
    if (xmin == xmax) {
        reason = QStringLiteral("XMIN and XMAX are equal");
        return std::nullopt;
    }
    if (!(step > 0)) {
        reason = QStringLiteral("STEP must be greater than 0");
        return std::nullopt;
    }
    const long double steps =
        std::nearbyint((static_cast<long double>(xmax) - static_cast<long double>(xmin)) / step);
    if (steps < 1 || steps > MaxTableRows) {
        reason = QStringLiteral("XMAX-XMIN must hold 1 to %1 steps").arg(MaxTableRows);
        return std::nullopt;
    }
    return TableRange{xmin, xmax, static_cast<long long>(steps)};
}

/// The mapping of a drawing area `range.columns` pixels wide: the table's x
/// are its PixelToX of the columns, as the curves sample them.
ViewMapping tableMapping(const TableRange& range)
{
    return ViewMapping(ViewRange{range.xmin, range.xmax, 0, 0},
                       QSize(static_cast<int>(range.columns), 0));
}

/// The curve's sampling as lines "x<TAB>value": the expression without its
/// blanks, compiled at column 1 first (a compile error ends the table, as it
/// stops the curve), then compiled anew and evaluated at every column.
int printTable(TParser& parser, std::string expression, const TableRange& range,
               const std::vector<Setting>& settings)
{
    expression.erase(std::remove(expression.begin(), expression.end(), ' '), expression.end());
    const ViewMapping mapping = tableMapping(range);
    try {
        parser.X = mapping.PixelToX(1);
        parser.CompileExpression(expression);
    } catch (const Exception& e) {
        std::printf("%s: %s\n", e.className(), oneLine(e.message()).c_str());
        return 2;
    }
    for (const Setting& s : settings)
        *s.cell = s.value;
    for (long long k = 1; k <= range.columns; ++k) {
        const double x = mapping.PixelToX(k);
        try {
            parser.X = x;
            parser.CompileExpression(expression);
            std::printf("%.17g\t%.17g\n", x, storeDouble(parser.Value()));
        } catch (const Exception& e) {
            std::printf("%.17g\tfault: %s\n", x, oneLine(e.message()).c_str());
        }
    }
    return 0;
}

/// One value per x (or one without any): the expression compiled once,
/// the variables set after it.
int evaluateAll(TParser& parser, const std::string& expression, const std::vector<double>& xs,
                const std::vector<Setting>& settings)
{
    try {
        parser.CompileExpression(expression);
    } catch (const Exception& e) {
        std::printf("%s: %s\n", e.className(), oneLine(e.message()).c_str());
        return 2;
    }
    for (const Setting& s : settings)
        *s.cell = s.value;

    auto evaluate = [&] {
        try {
            const double v = static_cast<double>(parser.Value());
            std::printf("%.17g\n", v);
        } catch (const Exception& e) {
            std::printf("fault: %s\n", oneLine(e.message()).c_str());
        }
    };
    if (xs.empty()) {
        evaluate();
    } else {
        for (double x : xs) {
            parser.X = x;
            evaluate();
        }
    }
    return 0;
}

/// The --set assignments as cells and values, or the reason one is wrong.
std::optional<QString> readSettings(const QStringList& assignments, TParser& parser,
                                    std::vector<Setting>& settings)
{
    for (const QString& assignment : assignments) {
        const qsizetype eq = assignment.indexOf(u'=');
        if (eq < 0)
            return QStringLiteral("--set wants NAME=VALUE, not '%1'").arg(assignment);
        Setting s{variable(parser, toBytes(assignment.left(eq))), 0.0};
        if (s.cell == nullptr)
            return QStringLiteral("'%1' is no variable").arg(assignment.left(eq));
        if (!parseNumber(toBytes(assignment.mid(eq + 1)), s.value))
            return QStringLiteral("'%1' is no number").arg(assignment.mid(eq + 1));
        settings.push_back(s);
    }
    return std::nullopt;
}

/// The table's range: XMIN is the option's value, XMAX and STEP the first two
/// operands, which are taken off, leaving EXPR alone. Or the reason it is wrong.
std::optional<QString> readTable(const QStringList& optionValues, QStringList& operands,
                                 std::optional<TableRange>& table)
{
    if (optionValues.size() > 1)
        return QStringLiteral("--table is given twice");
    if (operands.size() != 3)
        return QStringLiteral("--table wants XMIN XMAX STEP EXPR and nothing after");
    double bounds[3] = {};
    const QString texts[3] = {optionValues.first(), operands[0], operands[1]};
    for (int n = 0; n < 3; ++n)
        if (!parseNumber(toBytes(texts[n]), bounds[n]))
            return QStringLiteral("'%1' is no number").arg(texts[n]);
    QString reason;
    table = tableRange(bounds[0], bounds[1], bounds[2], reason);
    if (!table)
        return reason;
    operands.remove(0, 2);
    return std::nullopt;
}

} // namespace

int runEval(const std::vector<std::string>& args)
{
    const QCommandLineOption setOption(QStringLiteral("set"), {}, QStringLiteral("NAME=VALUE"));
    const QCommandLineOption tableOption(QStringLiteral("table"), {}, QStringLiteral("XMIN"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    QCommandLineParser commandLine;
    commandLine.addOptions({setOption, tableOption, helpOption});
    QString error;
    if (!parseCommandLine(
            commandLine,
            markFirstOperand(latin1Arguments("eval", args), {"-h", "--help"}, {"--set", "--table"}),
            error))
        return usage(error);
    if (commandLine.isSet(helpOption)) {
        printOut(QString::fromLatin1(Usage) + QString::fromLatin1(Help));
        return 0;
    }

    TParser parser;
    std::vector<Setting> settings;
    if (const std::optional<QString> wrong =
            readSettings(commandLine.values(setOption), parser, settings))
        return usage(*wrong);
    QStringList operands = commandLine.positionalArguments();
    std::optional<TableRange> table;
    if (commandLine.isSet(tableOption)) {
        if (const std::optional<QString> wrong =
                readTable(commandLine.values(tableOption), operands, table))
            return usage(*wrong);
    }
    if (operands.isEmpty())
        return usage(QStringLiteral("EXPR is missing"));
    const std::string expression = toBytes(operands.takeFirst());
    std::vector<double> xs;
    for (const QString& text : operands) {
        double x = 0;
        if (!parseNumber(toBytes(text), x))
            return usage(QStringLiteral("'%1' is no number").arg(text));
        xs.push_back(x);
    }
    if (table)
        return printTable(parser, expression, *table, settings);
    return evaluateAll(parser, expression, xs, settings);
}

} // namespace kurvaro
