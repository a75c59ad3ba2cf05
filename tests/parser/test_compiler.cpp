// The grammar as the compiler implements it: which texts compile to which
// tree, which are refused with which error and message, the nesting and
// complexity limits, and the invariants of every list it builds.
#include "support/ListText.h"
#include "parser/P10Build.h"
#include "parser/Parser10.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

using namespace kurvaro;

namespace {

struct CompileCase
{
    std::string text;
    std::string tree;       // the list read back, when the text compiles
    std::string errorClass; // empty when the text compiles
    std::string message;
    const char* reason;
};

std::ostream& operator<<(std::ostream& os, const CompileCase& c)
{
    return os << c.text;
}

CompileCase ok(std::string text, std::string tree, const char* reason)
{
    return {std::move(text), std::move(tree), "", "", reason};
}

CompileCase fails(std::string text, std::string cls, std::string message, const char* reason)
{
    return {std::move(text), "", std::move(cls), std::move(message), reason};
}

const std::string Parse = "Error parsing expression:\r";

class Compile : public testing::TestWithParam<CompileCase>
{
};

TEST_P(Compile, buildsTheTreeOrRaises)
{
    const CompileCase& c = GetParam();
    TParser p;
    if (c.errorClass.empty()) {
        ASSERT_NO_THROW(p.CompileExpression(c.text)) << c.reason;
        EXPECT_EQ(listtext::text(p), c.tree) << c.reason;
        EXPECT_EQ(listtext::brokenInvariant(p), "") << c.reason;
        EXPECT_FALSE(p.CompileFailed());
        return;
    }
    try {
        p.CompileExpression(c.text);
        ADD_FAILURE() << "compiled: " << c.reason << " -> " << listtext::text(p);
    } catch (const Exception& e) {
        EXPECT_EQ(e.className(), c.errorClass) << c.reason;
        EXPECT_EQ(e.message(), c.message) << c.reason;
    }
    EXPECT_EQ(p.FirstNode(), nullptr) << c.reason;
    EXPECT_TRUE(p.CompileFailed());
}

INSTANTIATE_TEST_SUITE_P(
    Operands, Compile,
    testing::Values(
        ok("x", "X", "a lone variable is the anchor alone"),
        ok("((x))", "X", "outer brackets are stripped"), ok("5", "5", "a lone number"),
        ok("-5", "-5", "a minus before a number makes a literal"),
        ok("PI*2", "(3.1415926535897931*2)", "PI is the double nearest pi"),
        ok("-PI", "-3.1415926535897931", "-PI is a literal"),
        ok("e-5", "0", "E-5 is a literal with an empty mantissa, not E minus 5"),
        ok("e-x", "(E-X)", "E minus X"), ok("e", "E", "E alone is the variable"),
        ok(".", "0", "a lone point is the number 0"), ok("E5", "0", "exponent only is 0"),
        ok("1E-5*X", "(1.0000000000000001e-05*X)", "a literal with exponent sign"),
        ok("+2.5", "2.5", "a leading plus belongs to the literal"),
        ok("2.", "2", "point without fraction"),
        ok("0.1", "0.10000000000000001", "decimal point whatever the locale"),
        ok(" x ", "X", "outer blanks are trimmed"), ok("Sin(X)", "SIN(X)", "names ignore case"),
        ok("SIN(x)", "SIN(X)", "variables ignore case"),
        fails("x y", "EExpressionHasBlanks", "Expression has blanks", "an inner blank"),
        fails("   ", "ESyntaxError", Parse, "blanks only: the empty term"),
        fails("(x", "EMissMatchingBracket", "Missing brackets in expression", "open bracket"),
        fails("sin(x", "EMissMatchingBracket", "Missing brackets in expression", "unclosed call"),
        fails(")x(", "ESyntaxError", Parse + ")X(", "counts match, order does not"),
        fails("sinx", "ESyntaxError", Parse + "SINX", "no implicit call"),
        fails("2x", "ESyntaxError", Parse + "2X", "no implicit multiplication"),
        fails("2SIN(X)", "ESyntaxError", Parse + "2SIN(X)", "no implicit multiplication"),
        fails("x^1E30", "EInvalidOp", "Ungültige Gleitkommaoperation",
              "an exponent literal beyond 2^63 faults while compiling"),
        fails("1E400", "EOverflow", "Gleitkommaüberlauf",
              "a literal beyond the double range faults while compiling"),
        fails("X+1E99999", "EOverflow", "Gleitkommaüberlauf", "beyond the extended range too"),
        ok("1E-400", "0", "underflow of a literal is silent")));

INSTANTIATE_TEST_SUITE_P(
    Operators, Compile,
    testing::Values(
        ok("A+B+C", "(A+(B+C))", "plus groups to the right"),
        ok("A-B-C", "((A-B)-C)", "minus groups to the left"),
        ok("A+B-C", "(A+(B-C))", "plus then minus"), ok("A-B+C", "((A-B)+C)", "minus then plus"),
        ok("A*B*C", "(A*(B*C))", "times groups to the right"),
        ok("A/B/C", "((A/B)/C)", "slash groups to the left"),
        ok("A*B/C", "(A*(B/C))", "times then slash"), ok("A/B*C", "((A/B)*C)", "slash then times"),
        ok("ADIVBDIVC", "((A DIV B) DIV C)", "DIV groups to the left"),
        ok("A*BDIVC", "(A*(B DIV C))", "DIV binds tighter than times"),
        ok("7MOD-3", "(7 MOD -3)", "MOD with a negative literal"),
        ok("xdiv2", "(X DIV 2)", "words are upper-cased too"),
        fails("XDIV", "ESyntaxError", Parse + "XDIV", "DIV at the end is no split"),
        fails("DIVX", "ESyntaxError", Parse + "DIVX", "DIV at the start is skipped"),
        ok("X+Y*2", "(X+(Y*2))", "times binds tighter than plus"),
        ok("X*2+SIN(X)", "((X*2)+SIN(X))", "the worked example"),
        ok("(X+1)*2", "((X+1)*2)", "brackets group"), ok("-x+1", "((-X)+1)", "(-X)+1"),
        fails("-x-1", "ESyntaxError", Parse + "-X-1", "the minus scan stops at the leading sign"),
        fails("-1-x", "ESyntaxError", Parse + "-1-X", "likewise before a number"),
        ok("(-x)-1", "((-X)-1)", "bracketed negation"), ok("0-x-1", "((0-X)-1)", "explicit zero"),
        fails("2*-x", "ESyntaxError", Parse + "2\r-X", "no negation after an operator"),
        fails("X+-Y", "ESyntaxError", Parse + "X+\rY", "no negation after plus"),
        ok("2*(-x)", "(2*(-X))", "bracketed negation after times"),
        ok("2*-3", "(2*-3)", "a negative literal after times"),
        ok("X--1", "(X--1)", "a negative literal after minus"),
        ok("-X^2", "(-(X^2))", "negation binds looser than power"),
        ok("-SIN(X)", "(-SIN(X))", "negated call"), ok("-(X+1)", "(-(X+1))", "negated bracket"),
        fails("--X", "ESyntaxError", Parse + "--X", "double negation"),
        fails("X+", "ESyntaxError", Parse + "X+", "operator at the end"),
        fails("*X", "ESyntaxError", Parse + "*X", "operator at the start")));

INSTANTIATE_TEST_SUITE_P(
    Powers, Compile,
    testing::Values(
        ok("x^2", "(X^2)", "square"), ok("x^3", "(X^3)", "cube"), ok("x^4", "(X^4)", "fourth"),
        ok("x^2.0", "(X^2)", "an integral literal"), ok("x^5", "(X^#5)", "integer power"),
        ok("x^-1", "(X^#-1)", "negative integer power"), ok("x^0", "(X^#0)", "zero exponent"),
        ok("x^2.5", "(X**2.5)", "general power"), ok("x^y", "(X**Y)", "variable exponent"),
        ok("x^(2)", "(X**2)", "a bracketed exponent is not a literal"),
        ok("x^3000000000", "(X**3000000000)", "integral but beyond 32 bits"),
        ok("2^X", "(2**X)", "number base"), ok("SIN(X)^2", "(SIN(X)^2)", "call as base"),
        ok("(X+1)^2", "((X+1)^2)", "bracket as base"),
        ok("X^SIN(X)", "(X**SIN(X))", "call as exponent"),
        fails("2^3^2", "ESyntaxError", Parse + "2^3\r2", "power does not chain"),
        fails("x^-x", "ESyntaxError", Parse + "X\r-X", "no negation in the exponent")));

INSTANTIATE_TEST_SUITE_P(
    Calls, Compile,
    testing::Values(ok("max(x,1)", "MAX(X,1)", "two-argument call"),
                    ok("MAX((X),1)", "MAX(X,1)", "bracketed argument"),
                    ok("MAX(SIN(X),COS(X))", "MAX(SIN(X),COS(X))", "nested calls"),
                    ok("min(x,max(y,1))", "MIN(X,MAX(Y,1))", "nested two-argument call"),
                    ok("SQRT(ABS(X))*COS(3*X)", "(SQRT(ABS(X))*COS((3*X)))", "calls in a product"),
                    ok("SIN((X))", "SIN(X)", "double brackets around the argument"),
                    fails("max(x)", "ESyntaxError", Parse + "MAX(X)", "one argument for MAX"),
                    fails("max(x,)", "ESyntaxError", Parse + "MAX(X,)", "empty second argument"),
                    fails("max(x,y,1)", "ESyntaxError", Parse + "X,Y\r1", "the last comma tried"),
                    fails("sin(x,y)", "ESyntaxError", Parse + "SIN(X,Y)", "two arguments for SIN"),
                    fails("foo(x)", "ESyntaxError", Parse + "FOO(X)", "unknown function"),
                    fails("sin()", "ESyntaxError", Parse + "SIN()", "empty argument")));

std::string repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

std::string nestedSin(int n)
{
    return repeat("SIN(", n) + "X" + repeat(")", n);
}

/// A fully bracketed balanced sum of 2^depth variables.
std::string balancedSum(int depth)
{
    return depth == 0 ? "X" : "(" + balancedSum(depth - 1) + "+" + balancedSum(depth - 1) + ")";
}

INSTANTIATE_TEST_SUITE_P(
    Limits, Compile,
    testing::Values(ok(repeat("X+", 20) + "X", "(X+" + repeat("(X+", 19) + "X" + repeat(")", 20),
                       "20 plus signs reach level 20"),
                    fails(repeat("X+", 21) + "X", "ETooManyNestings",
                          "Expression contains too many nestings",
                          "21 plus signs go beyond level 20"),
                    ok(nestedSin(20), nestedSin(20), "20 nested calls"),
                    fails(nestedSin(21), "ETooManyNestings",
                          "Expression contains too many nestings", "21 nested calls"),
                    fails(balancedSum(7), "EExpressionTooComplex", "Expression is too complex",
                          "64 operator terms on one level"),
                    ok("(" + repeat("(", 100) + "X" + repeat(")", 100) + ")", "X",
                       "brackets do not count as nesting")));

// The error flag is set before the syntax, nesting and complexity errors only.
struct FlagCase
{
    std::string text;
    bool flag;
    const char* reason;
};

class ErrorFlag : public testing::TestWithParam<FlagCase>
{
};

TEST_P(ErrorFlag, isSetForTheRecognitionErrors)
{
    const FlagCase& c = GetParam();
    TParser p;
    bool flag = false;
    EXPECT_THROW(BuildOperationList(c.text, p.Variables(), p.OneArgFunctions(), p.TwoArgFunctions(),
                                    true, flag),
                 Exception);
    EXPECT_EQ(flag, c.flag) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, ErrorFlag,
    testing::Values(FlagCase{"X+", true, "syntax error"},
                    FlagCase{repeat("X+", 21) + "X", true, "too many nestings"},
                    FlagCase{balancedSum(7), true, "too complex"}, FlagCase{"X Y", false, "blanks"},
                    FlagCase{"(X", false, "brackets"},
                    FlagCase{"X^1E30", false, "a literal's fault"}));

TEST(CompilerList, workedExampleRunsMultiplySinAdd)
{
    TParser p;
    p.CompileExpression("X*2+SIN(X)");
    const OpNode* n = p.FirstNode();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Kind, okMultiply);
    EXPECT_EQ(n->Arg1, &p.X);
    EXPECT_EQ(*n->Arg2, 2.0);
    n = n->Next;
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Kind, okFunction1);
    EXPECT_EQ(n->Routine, &fnSin);
    EXPECT_EQ(n->Arg1, &p.X);
    EXPECT_EQ(n->Arg2, nullptr);
    n = n->Next;
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Kind, okAdd);
    EXPECT_EQ(n->Arg1, p.FirstNode()->Dest);
    EXPECT_EQ(n->Arg2, p.FirstNode()->Next->Dest);
    EXPECT_EQ(n->Next, nullptr);
}

TEST(CompilerList, loneVariableIsItsOwnCell)
{
    TParser p;
    p.CompileExpression("x");
    const OpNode* n = p.FirstNode();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Kind, okVariable);
    EXPECT_EQ(n->Dest, &p.X);
    EXPECT_EQ(n->Next, nullptr);
    p.CompileExpression("5");
    ASSERT_NE(p.FirstNode(), nullptr);
    EXPECT_EQ(p.FirstNode()->Kind, okConstant);
    EXPECT_EQ(p.FirstNode()->Dest, p.FirstNode()->Arg1);
}

TEST(CompilerList, deepestLevelComesFirst)
{
    // SIN sits one level deeper than the product, so it runs first.
    TParser p;
    p.CompileExpression("2*SIN(X+1)");
    const OpNode* n = p.FirstNode();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Kind, okAdd);
    EXPECT_EQ(n->Next->Kind, okFunction1);
    EXPECT_EQ(n->Next->Next->Kind, okMultiply);
}

TEST(CompilerNumbers, localeFormatUsesTheCurrentSeparatorAndWantsDigits)
{
    TParser p;
    p.PascalNumberformat = false;
    p.CompileExpression("2.5*X"); // the C locale's separator is "."
    p.X = 2;
    EXPECT_EQ(static_cast<double>(p.Value()), 5.0);
    EXPECT_THROW(p.CompileExpression("."), ESyntaxError);
    EXPECT_THROW(p.CompileExpression("E5"), ESyntaxError);
}

} // namespace

namespace {

TEST(CompilerNumbers, literalsRoundLikeTheExtendedConversion)
{
    // Short decimal literals take a shortcut; it must give the double that the
    // 80-bit conversion rounded to double gives.
    std::mt19937 random(99);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> length(1, 20);
    TParser p;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int n = length(random);
        const int point = std::uniform_int_distribution<int>(-1, n)(random);
        for (int i = 0; i < n; ++i) {
            if (i == point)
                text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        p.CompileExpression(text);
        const double expected = static_cast<double>(std::strtold(text.c_str(), nullptr));
        ASSERT_EQ(static_cast<double>(p.Value()), expected) << text;
    }
}

TEST(CompilerRelease, longListsAreFreedToo)
{
    // More than 64 nodes: five balanced sums of 16 variables, each 15 nodes, and
    // the four additions joining them.
    auto sum16 = [] {
        std::string s = "X";
        for (int depth = 0; depth < 4; ++depth)
            s = "(" + s + "+" + s + ")";
        return s;
    };
    const std::string text =
        sum16() + "+" + sum16() + "-" + sum16() + "*2+" + sum16() + "/3+" + sum16();
    TParser p;
    p.X = 1;
    p.CompileExpression(text);
    int nodes = 0;
    for (const OpNode* n = p.FirstNode(); n; n = n->Next)
        ++nodes;
    EXPECT_GT(nodes, 64);
    EXPECT_EQ(listtext::brokenInvariant(p), "");
    EXPECT_DOUBLE_EQ(static_cast<double>(p.Value()), 16 + 16 - 32 + 16.0 / 3 + 16);
    p.setExpression("");
    EXPECT_EQ(p.X, 1.0);
}

} // namespace
