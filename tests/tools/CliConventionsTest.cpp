// kurvaro-cli's command line by the usual conventions: help, version, option
// forms and the end of the options, as a process.
#include "support/CliRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kurvaro;

namespace {

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

struct HelpCase
{
    std::vector<std::string> args;
    const char* firstLine; ///< the start of standard output's first line
    const char* mentions;  ///< a text the help must hold
};

std::ostream& operator<<(std::ostream& os, const HelpCase& c)
{
    for (const std::string& a : c.args)
        os << a << ' ';
    return os;
}

class Help : public testing::TestWithParam<HelpCase>
{
};

TEST_P(Help, onStandardOutputWithExit0)
{
    const HelpCase& c = GetParam();
    const CliResult r = runCli(KURVARO_CLI, c.args);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(startsWith(r.out, c.firstLine)) << r.out;
    EXPECT_NE(r.out.find(c.mentions), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Help,
    testing::Values(HelpCase{{"--help"}, "usage: kurvaro-cli eval", "COMMAND --help"},
                    HelpCase{{"-h"}, "usage: kurvaro-cli eval", "render"},
                    HelpCase{{"eval", "--help"}, "usage: kurvaro-cli eval", "--table"},
                    HelpCase{{"eval", "-h"}, "usage: kurvaro-cli eval", "Exit codes"},
                    HelpCase{{"eval", "--set", "A=1", "--help"}, "usage: kurvaro-cli eval", "--"},
                    HelpCase{{"render", "--help"}, "usage: kurvaro-cli render", "66"},
                    HelpCase{{"render", "-h"}, "usage: kurvaro-cli render", "--format"}));

TEST(Version, OnStandardOutputWithExit0)
{
    const CliResult r = runCli(KURVARO_CLI, {"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "kurvaro-cli " KURVARO_VERSION "\n");
    EXPECT_EQ(r.err, "");
}

struct FormCase
{
    std::vector<std::string> args;
    int exitCode;
    std::vector<std::string> lines;
    const char* reason;
};

std::ostream& operator<<(std::ostream& os, const FormCase& c)
{
    return os << c.reason;
}

class Forms : public testing::TestWithParam<FormCase>
{
};

TEST_P(Forms, parse)
{
    const FormCase& c = GetParam();
    const CliResult r = runCli(KURVARO_CLI, c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.reason << "\n" << r.err;
    EXPECT_EQ(r.lines(), c.lines) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Forms,
    testing::Values(
        FormCase{{"eval", "--set=A=2", "A*X", "3"}, 0, {"6"}, "--set=NAME=VALUE"},
        FormCase{{"eval", "--", "-x", "2"}, 0, {"-2"}, "-- before a formula starting with -"},
        FormCase{{"eval", "-x", "2"}, 0, {"-2"}, "a formula starting with - without --"},
        FormCase{{"eval", "-5"}, 0, {"-5"}, "a negative number as the formula"},
        FormCase{{"eval", "--set", "A=-1", "-A", "-0.5"}, 0, {"1"}, "negative values everywhere"},
        FormCase{{"eval", "x", "--set", "A=1"}, 64, {}, "options end at the formula"},
        FormCase{{"eval", "--", "--help"},
                 2,
                 {"ESyntaxError: Error parsing expression:\\r--HELP"},
                 "after -- even --help is the formula"},
        FormCase{{"eval", "--sett", "A=1", "x"}, 64, {}, "an unknown option"},
        FormCase{{"eval", "-hx"},
                 2,
                 {"ESyntaxError: Error parsing expression:\\r-HX"},
                 "-hx is a formula, not -h and -x"},
        FormCase{{}, 64, {}, "no command"},
        FormCase{{"evaluate", "x"}, 64, {}, "an unknown command"},
        FormCase{{"--bogus"}, 64, {}, "an unknown option of the tool"}));

TEST(UsageErrors, NameTheReasonAfterTheUsage)
{
    const CliResult r = runCli(KURVARO_CLI, {"eval", "--set", "Q=1", "x"});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_TRUE(startsWith(r.err, "usage: kurvaro-cli eval")) << r.err;
    EXPECT_NE(r.err.find("\nkurvaro-cli eval: 'Q' is no variable\n"), std::string::npos) << r.err;

    const CliResult unknown = runCli(KURVARO_CLI, {"plot"});
    EXPECT_EQ(unknown.exitCode, 64);
    EXPECT_NE(unknown.err.find("kurvaro-cli: unknown command 'plot'"), std::string::npos);
}

} // namespace
