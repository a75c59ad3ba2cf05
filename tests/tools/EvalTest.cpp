// kurvaro-cli eval, run as a separate process: output lines and exit codes.
#include "support/CliRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kurvaro;

namespace {

struct EvalCase
{
    std::vector<std::string> args; // after "eval"
    int exitCode;
    std::vector<std::string> lines;
    const char* reason;
};

std::ostream& operator<<(std::ostream& os, const EvalCase& c)
{
    return os << c.reason;
}

class Eval : public testing::TestWithParam<EvalCase>
{
};

TEST_P(Eval, printsAndExits)
{
    const EvalCase& c = GetParam();
    std::vector<std::string> args{"eval"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = runCli(KURVARO_CLI, args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.reason << "\n" << r.err;
    EXPECT_EQ(r.lines(), c.lines) << c.reason;
    if (c.exitCode == 64) {
        EXPECT_NE(r.err.find("usage: kurvaro-cli eval"), std::string::npos) << c.reason;
    } else {
        EXPECT_EQ(r.err, "") << c.reason;
    }
}

const std::string Parse = "ESyntaxError: Error parsing expression:\\r";

INSTANTIATE_TEST_SUITE_P(
    Values, Eval,
    testing::Values(
        EvalCase{{"x*2+sin(x)", "0", "1"}, 0, {"0", "2.8414709848078967"}, "the example"},
        EvalCase{{"5"}, 0, {"5"}, "no XVALUE evaluates once"},
        EvalCase{{"1/3"}, 0, {"0.33333333333333331"}, "17 significant digits"},
        EvalCase{{"x", "-0"}, 0, {"-0"}, "the sign of zero shows"},
        EvalCase{{"x", "1e-320"}, 0, {"9.9998886718268301e-321"}, "denormal input"},
        EvalCase{{" x ", "3"}, 0, {"3"}, "outer blanks are the engine's business"},
        EvalCase{{"", "1"}, 0, {"0"}, "an empty text has no list and gives 0"},
        EvalCase{{"--set", "A=2", "A*X", "3"}, 0, {"6"}, "a set variable"},
        EvalCase{{"--set", "y=1.5", "--set", "T=2", "Y*T"}, 0, {"3"}, "names ignore case"},
        EvalCase{{"--set", "X=4", "X"}, 0, {"4"}, "X set and no XVALUE"},
        EvalCase{{"--set", "X=4", "X", "5"}, 0, {"5"}, "an XVALUE wins over --set X"},
        EvalCase{{"rnd(10)", "0", "0"},
                 0,
                 {"2.3283064365386963e-09", "0.31379939522594213"},
                 "one RND sequence from state 0 across the run"}));

INSTANTIATE_TEST_SUITE_P(
    Faults, Eval,
    testing::Values(
        EvalCase{{"1/x", "0", "2"},
                 0,
                 {"fault: Gleitkommadivision durch Null", "0.5"},
                 "a fault is one line and the run goes on"},
        EvalCase{{"sqrt(x)", "-1"}, 0, {"fault: Ungültige Gleitkommaoperation"}, "invalid"},
        EvalCase{{"exp(x)", "1000"}, 0, {"fault: Gleitkommaüberlauf"}, "overflow"},
        EvalCase{{"5DIV0.5"}, 0, {"fault: Division durch Null"}, "integer division by zero"},
        EvalCase{{"ln(x)", "0", "1"},
                 0,
                 {"fault: Gleitkommadivision durch Null", "0"},
                 "the list survives a fault"}));

INSTANTIATE_TEST_SUITE_P(
    CompileErrors, Eval,
    testing::Values(
        EvalCase{{"X+"}, 2, {Parse + "X+"}, "one-part message"},
        EvalCase{{"2^3^2", "1"}, 2, {Parse + "2^3\\r2"}, "two-part message"},
        EvalCase{{"   "}, 2, {Parse}, "blanks only"},
        EvalCase{{"x y"}, 2, {"EExpressionHasBlanks: Expression has blanks"}, "inner blank"},
        EvalCase{{"(x"}, 2, {"EMissMatchingBracket: Missing brackets in expression"}, "brackets"},
        EvalCase{{"x^1E30"},
                 2,
                 {"EInvalidOp: Ungültige Gleitkommaoperation"},
                 "a fault while compiling"},
        EvalCase{{"SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN(SIN("
                  "SIN(X)))))))))))))))))))))"},
                 2,
                 {"ETooManyNestings: Expression contains too many nestings"},
                 "nesting"}));

INSTANTIATE_TEST_SUITE_P(
    Usage, Eval,
    testing::Values(EvalCase{{}, 64, {}, "no expression"},
                    EvalCase{{"--set"}, 64, {}, "--set without assignment"},
                    EvalCase{{"--set", "A=1"}, 64, {}, "no expression after --set"},
                    EvalCase{{"--set", "Q=1", "X"}, 64, {}, "unknown variable"},
                    EvalCase{{"--set", "A", "X"}, 64, {}, "assignment without ="},
                    EvalCase{{"--set", "A=abc", "X"}, 64, {}, "value is no number"},
                    EvalCase{{"--set", "A=", "X"}, 64, {}, "empty value"},
                    EvalCase{{"x", "abc"}, 64, {}, "XVALUE is no number"},
                    EvalCase{{"x", "1,5"}, 64, {}, "the decimal separator is ."},
                    EvalCase{{"x", "1e400"}, 64, {}, "XVALUE beyond the double range"},
                    EvalCase{{"x", "nan"}, 64, {}, "no NaN enters a cell"},
                    EvalCase{{"X+", "abc"}, 64, {}, "usage is checked before compiling"}));

} // namespace
