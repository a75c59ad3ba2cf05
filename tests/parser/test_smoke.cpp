// First check that the engine compiles and evaluates the formulas the curves draw.
#include "parser/Parser10.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace kurvaro;

namespace {

struct SmokeCase
{
    std::string expression;
    double x;
    double expected;
    const char* reason;
};

class Smoke : public testing::TestWithParam<SmokeCase>
{
};

TEST_P(Smoke, evaluatesAtX)
{
    const SmokeCase& c = GetParam();
    TParser p;
    p.X = c.x;
    ASSERT_TRUE(p.CompileExpression(c.expression)) << c.reason;
    EXPECT_DOUBLE_EQ(static_cast<double>(p.Value()), c.expected) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Curves, Smoke,
                         testing::Values(SmokeCase{"x*2+sin(x)", 0, 0, "the worked example at 0"},
                                         SmokeCase{"x*2+sin(x)", 1, 2 + std::sin(1.0),
                                                   "the worked example at 1"},
                                         SmokeCase{"X^2", 3, 9, "square"},
                                         SmokeCase{"x^3-2*x^2+x-1", 2, 1, "polynomial"},
                                         SmokeCase{"1/x", 4, 0.25, "reciprocal"},
                                         SmokeCase{"max(sin(x),cos(x))", 0, 1, "two-argument call"},
                                         SmokeCase{"sqrt(abs(x))*cos(3*x)", 0, 0, "nested calls"},
                                         SmokeCase{"-x+1", 5, -4, "leading negation"},
                                         SmokeCase{"x-1-1", 5, 3, "minus chains to the left"},
                                         SmokeCase{"8/2/2", 0, 2, "slash chains to the left"},
                                         SmokeCase{"5", 0, 5, "a lone number"},
                                         SmokeCase{"((x))", 7, 7, "a bracketed variable"}));

TEST(SmokeErrors, handlerTakesSyntaxError)
{
    TParser p;
    int calls = 0;
    std::string message;
    std::string cls;
    p.OnParserError = [&](TCustomParser*, const Exception& e) {
        ++calls;
        message = e.message();
        cls = e.className();
    };
    EXPECT_FALSE(p.CompileExpression("X+"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(cls, "ESyntaxError");
    EXPECT_EQ(message, "Error parsing expression:\rX+");
    EXPECT_EQ(static_cast<double>(p.Value()), 0.0);
    EXPECT_TRUE(p.CompileFailed());
}

} // namespace
