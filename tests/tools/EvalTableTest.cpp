// kurvaro-cli eval --table: the lines a curve's sampling gives, as a process.
#include "support/CliRunner.h"

#include "plot/NumberText.h"
#include "plot/ViewMapping.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kurvaro;

namespace {

struct TableCase
{
    std::vector<std::string> args; // after "eval"
    int exitCode;
    std::vector<std::string> lines;
    const char* reason;
};

std::ostream& operator<<(std::ostream& os, const TableCase& c)
{
    return os << c.reason;
}

class EvalTable : public testing::TestWithParam<TableCase>
{
};

TEST_P(EvalTable, printsAndExits)
{
    const TableCase& c = GetParam();
    std::vector<std::string> args{"eval"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = runCli(KURVARO_CLI, args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.reason << "\n" << r.err;
    EXPECT_EQ(r.lines(), c.lines) << c.reason;
    if (c.exitCode == 64)
        EXPECT_NE(r.err.find("usage: kurvaro-cli eval"), std::string::npos) << c.reason;
    else
        EXPECT_EQ(r.err, "") << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EvalTable,
    testing::Values(
        TableCase{{"--table", "-1", "1", "0.5", "x*x"},
                  0,
                  {"-0.5\t0.25", "0\t0", "0.5\t0.25", "1\t1"},
                  "XMIN is not sampled, XMAX is, as columns 1 to W"},
        TableCase{{"--table", "1", "-1", "0.5", "x*x"},
                  0,
                  {"-0.5\t0.25", "0\t0", "0.5\t0.25", "1\t1"},
                  "reversed bounds are put in order as the view's are"},
        TableCase{{"--table", "0", "1", "0.3", "x"},
                  0,
                  {"0.33333333333333331\t0.33333333333333331",
                   "0.66666666666666663\t0.66666666666666663", "1\t1"},
                  "the nearest whole number of steps spans the range, ending at XMAX"},
        TableCase{{"--table", "0", "1", "0.7", "x"}, 0, {"1\t1"}, "one step, rounded from 1.43"},
        TableCase{{"--table", "-1", "1", "1", "1/x"},
                  0,
                  {"0\tfault: Gleitkommadivision durch Null", "1\t1"},
                  "a failed sample is a fault line and the table goes on"},
        TableCase{{"--table", "0", "2", "1", "x * 3"},
                  0,
                  {"1\t3", "2\t6"},
                  "blanks are removed as the curves remove them"},
        TableCase{{"--set", "A=3", "--table", "0", "1", "0.5", "A*X"},
                  0,
                  {"0.5\t1.5", "1\t3"},
                  "variables set with --set"},
        TableCase{{"--set", "X=7", "--table", "0", "1", "1", "X"},
                  0,
                  {"1\t1"},
                  "the table's x wins over --set X"},
        TableCase{{"--table=-2", "-1", "1", "-x"},
                  0,
                  {"-1\t1"},
                  "--table=XMIN, negative bounds and a formula starting with -"},
        TableCase{
            {"--table", "0", "--", "1", "1", "-x"}, 0, {"1\t-1"}, "-- after the option's value"},
        TableCase{{"--table", "0", "1", "0.5", "x+"},
                  2,
                  {"ESyntaxError: Error parsing expression:\\rX+"},
                  "a compile error ends the table before its first row"}));

INSTANTIATE_TEST_SUITE_P(
    Usage, EvalTable,
    testing::Values(
        TableCase{{"--table", "1", "1", "0.5", "x"}, 64, {}, "equal bounds"},
        TableCase{{"--table", "0", "1", "0", "x"}, 64, {}, "zero step"},
        TableCase{{"--table", "0", "1", "-0.5", "x"}, 64, {}, "negative step"},
        TableCase{{"--table", "0", "1", "2.5", "x"}, 64, {}, "no whole step fits"},
        TableCase{{"--table", "0", "1", "1e-7", "x"}, 64, {}, "ten million rows"},
        TableCase{{"--table", "0", "1", "0.5"}, 64, {}, "no expression"},
        TableCase{{"--table", "0", "1", "0.5", "x", "3"}, 64, {}, "an XVALUE too"},
        TableCase{{"--table", "0", "a", "0.5", "x"}, 64, {}, "XMAX is no number"},
        TableCase{{"--table", "0", "1", "0.5", "--table", "0", "x"},
                  64,
                  {},
                  "options end at the first operand"},
        TableCase{{"--table", "0", "--table", "1", "1", "0.5", "x"}, 64, {}, "--table twice"}));

struct WindowCase
{
    const char* xmin;
    const char* xmax;
    int width;
};

std::ostream& operator<<(std::ostream& os, const WindowCase& c)
{
    return os << c.xmin << ".." << c.xmax << " in " << c.width << " columns";
}

class EvalTableWindow : public testing::TestWithParam<WindowCase>
{
};

// The rows' x are the window's own PixelToX(1..W) for a drawing area W wide,
// its range read from the texts as the range fields are read.
TEST_P(EvalTableWindow, xIsThePixelToXOfTheCurves)
{
    const WindowCase& c = GetParam();
    int errorPos = 0;
    ViewRange range;
    range.XMin = TextToReal(QString::fromLatin1(c.xmin), errorPos);
    ASSERT_EQ(errorPos, 0) << c.xmin;
    range.XMax = TextToReal(QString::fromLatin1(c.xmax), errorPos);
    ASSERT_EQ(errorPos, 0) << c.xmax;
    range.YMin = -5;
    range.YMax = 5;
    const ViewMapping mapping(range, QSize(c.width, 100));

    char step[40];
    std::snprintf(step, sizeof step, "%.17g",
                  (std::strtod(c.xmax, nullptr) - std::strtod(c.xmin, nullptr)) / c.width);
    const CliResult r = runCli(KURVARO_CLI, {"eval", "--table", c.xmin, c.xmax, step, "x*2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.width));
    for (int k = 1; k <= c.width; ++k) {
        char x[40];
        std::snprintf(x, sizeof x, "%.17g", mapping.PixelToX(k));
        const std::string& line = lines[static_cast<std::size_t>(k - 1)];
        ASSERT_EQ(line.substr(0, line.find('\t')), x) << "column " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EvalTableWindow,
                         testing::Values(WindowCase{"-5", "5", 473}, WindowCase{"-3", "7", 200},
                                         WindowCase{"0.1", "0.2", 7},
                                         WindowCase{"-0.001", "200000", 1000}));

TEST(EvalTableDesigned, FirstAndLastSampleOfTheDesignedView)
{
    const CliResult r =
        runCli(KURVARO_CLI, {"eval", "--table", "-5", "5", "0.021141649048625793", "x"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = r.lines();
    ASSERT_EQ(lines.size(), 473u) << "473 values per curve";
    EXPECT_EQ(lines.front().substr(0, 9), "-4.978858") << "x = -5 + 1/47.3";
    EXPECT_EQ(lines.back().substr(0, 6), "5.0000") << "the last column is XMax";
}

} // namespace
