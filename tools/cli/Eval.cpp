// kurvaro-cli eval: the expression engine without a window, for scripts and tests.

#include "Commands.h"

#include "parser/Parser10.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <vector>

using namespace kurvaro;

namespace {

int usage()
{
    std::fputs("usage: kurvaro-cli eval [--set NAME=VALUE]... EXPR [XVALUE...]\n"
               "  NAME is one of A, B, C, D, E, X, Y, T; VALUE and XVALUE are numbers\n"
               "  with \".\" as decimal separator. Prints one value per XVALUE (or one\n"
               "  value without any), or \"fault: MESSAGE\" when evaluating raises.\n",
               stderr);
    return ExitUsage;
}

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

} // namespace

int runEval(const std::vector<std::string>& args)
{
    TParser parser;
    struct Setting
    {
        double* cell;
        double value;
    };
    std::vector<Setting> settings;
    std::size_t i = 0;
    while (i < args.size() && args[i] == "--set") {
        if (i + 1 >= args.size())
            return usage();
        const std::string& assignment = args[i + 1];
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos)
            return usage();
        Setting s{variable(parser, assignment.substr(0, eq)), 0.0};
        if (s.cell == nullptr || !parseNumber(assignment.substr(eq + 1), s.value))
            return usage();
        settings.push_back(s);
        i += 2;
    }
    if (i >= args.size())
        return usage();
    const std::string& expression = args[i++];
    std::vector<double> xs;
    for (; i < args.size(); ++i) {
        double x = 0;
        if (!parseNumber(args[i], x))
            return usage();
        xs.push_back(x);
    }

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
