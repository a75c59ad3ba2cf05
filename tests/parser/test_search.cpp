// The compiler's speed layer must be invisible: with the single-pass path and
// the search shortcuts, every text must give what the grammar's own search
// alone gives - the same texts accepted, the same list (shape, kinds,
// constants, shared cells), the same error class and message, the same error
// flag. Hand-picked texts, random texts built from the grammar's pieces and
// mutations of typical formulas are compiled every way and compared.
#include "parser/P10Compile.h"
#include "parser/Parser10.h"
#include "support/ListText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace kurvaro;

namespace {

using compiler::CompileOptions;
using compiler::DecidedBy;

const CompileOptions Full{true, true};
const CompileOptions GrammarOnly{false, false};
const CompileOptions ShortcutsOnly{false, true};
const CompileOptions SinglePassOnly{true, false};

std::string outcome(const std::string& text, const CompileOptions& options,
                    DecidedBy* decidedBy = nullptr)
{
    static const TParser tables;
    bool flag = false;
    std::string result;
    try {
        OpNode* first = compiler::build(text, tables.Variables(), tables.OneArgFunctions(),
                                        tables.TwoArgFunctions(), true, flag, options, decidedBy);
        result = "ok " + listtext::shape(first, tables.Variables());
        FreeOperationList(first, tables.Variables());
    } catch (const Exception& e) {
        result = std::string(e.className()) + " " + e.message();
    }
    return result + (flag ? " (flag)" : "");
}

/// Compiles `text` every way; empty when all agree, else what differs.
std::string disagreement(const std::string& text)
{
    const std::string reference = outcome(text, GrammarOnly);
    for (const CompileOptions& o : {Full, ShortcutsOnly, SinglePassOnly}) {
        const std::string other = outcome(text, o);
        if (other != reference)
            return "single pass " + std::to_string(o.singlePass) + ", shortcuts " +
                   std::to_string(o.shortcuts) + ":\n  " + other + "\ngrammar alone:\n  " +
                   reference;
    }
    return "";
}

/// A fully bracketed balanced sum of 2^depth variables: 64 nodes on one level at depth 7.
std::string balancedSum(int depth)
{
    return depth == 0 ? "X" : "(" + balancedSum(depth - 1) + "+" + balancedSum(depth - 1) + ")";
}

struct Case
{
    std::string text;
    bool singlePass; // the single-pass compiler decides it
};

std::ostream& operator<<(std::ostream& os, const Case& c)
{
    return os << c.text;
}

class SpeedLayer : public testing::TestWithParam<Case>
{
};

TEST_P(SpeedLayer, agreesWithTheGrammarAlone)
{
    const Case& c = GetParam();
    EXPECT_EQ(disagreement(c.text), "") << c.text;
    DecidedBy by = DecidedBy::Grammar;
    outcome(c.text, Full, &by);
    EXPECT_EQ(by == DecidedBy::SinglePass, c.singlePass) << c.text;
}

// Typical formulas go the single-pass way; the grammar's quirks, every refused
// text and the limits are left to the grammar.
INSTANTIATE_TEST_SUITE_P(
    Compiler, SpeedLayer,
    testing::Values(
        Case{"x*2+sin(x)", true}, Case{"SQRT(ABS(X))*COS(3*X)", true}, Case{"X^3-2*X^2+X-1", true},
        Case{"MAX(SIN(X),COS(X))", true}, Case{"1/X", true}, Case{"EXP(-X^2)*4", true},
        Case{"-X^2", true}, Case{"-SIN(X)/2", true}, Case{"X^-1", true}, Case{"2*-3", true},
        Case{"X--1", true}, Case{"((X))", true}, Case{"(X+1)^2", true}, Case{"A-B-C", true},
        Case{"A+B+C", true}, Case{"A/B/C", true}, Case{"ADIVBDIVC", true}, Case{"A*BMODC", true},
        Case{"X+-Y+T", true}, Case{"X--Y*T", true}, Case{"-2^X", true}, Case{"X*-2^3", true},
        Case{"X/-2^3", true}, Case{"1E-5*X", true}, Case{"2.5E+3-X", true}, Case{".5", true},
        Case{"PI*X", true}, Case{"-PI", true}, Case{"X^2.5", true}, Case{"x^3000000000", true},
        Case{"MIN(X,MAX(Y,1))", true}, Case{"-(X+1)", true}, Case{"RND(10)*PH(X)", true},
        // quirks of the grammar, left to it
        Case{"E-5", false}, Case{"X*E-5", false}, Case{"E+5*X", false}, Case{"X*-", false},
        Case{"+5", false}, Case{"X*+5", false}, Case{"X^1E30", false}, Case{"1E400*X", false},
        Case{"12345678901*X", true}, Case{"2^99999999999", true},
        Case{"X^12345678901234567890", false}, Case{"X-1E30-X", true},
        // a literal that faults where it stands, before, between and after the
        // operators that let the shortcuts refute the questions around it
        Case{"X-X-X^1E30", false}, Case{"X^1E30-X-X", false}, Case{"X-X^1E30-X", false},
        Case{"1E400/Y-X", false}, Case{"X-Y/1E400", false}, Case{"X*Y-2^1E30", false},
        Case{"SIN(X)-X^1E30", false}, Case{"X-X^-1E30*2", false}, Case{"*1E400-X", false},
        Case{"X*1E400/Y", false}, Case{"X/Y*2^1E30", false}, Case{"MAX(X,1E400)-X", false},
        Case{"(X-1E400)*2-X", false}, Case{"X-(Y^1E30)", false}, Case{"-X*Y-X^1E30", false},
        Case{"X+X^1E30+X-", false}, Case{"X^1E30DIVX-X", false},
        // literals near the limits that do not fault, and ones that cannot be reached
        Case{"X^9E18-X-X", true}, Case{"1E301*X-X", true}, Case{"X-1E308/X", true},
        Case{"X^9.3E18-X", false}, Case{"2^3^1E30-X-X", false}, Case{"2^-3^1E30-X", false},
        Case{"2^3DIVX^1E30-X", false}, Case{"2^3MODX^1E400-X", false}, Case{"X^Y^-1E400", false},
        Case{"2^X1E30^1E30-X", false}, Case{"X*-X^1E30-X", false}, Case{"X^-1E30*2-X", false},
        Case{"X*-X^1E30*2-X", false}, Case{"X/-X^1E30-X", false}, Case{"XDIV-X^1E30*2", false},
        Case{"X+-X^1E30+X", false}, Case{"X+-X^1E30-X", false}, Case{"X--X^1E30/2", false},
        Case{"X--X^1E30", false}, Case{"X+-X^1E30DIV2", false}, Case{"(X*-X^1E30)*2", false},
        Case{"X*+X^1E30*2", false}, Case{"X-Y*-Z^-1E400MODX", false}, Case{"--X^1E30*2", false},
        Case{"-+X^1E400+X*", false}, Case{"X*-+X^1E30-X", false}, Case{"(+-X^1E30)-X", false},
        // a literal that faults in a bracketed term or call refused right after it, so
        // never read; and beside it ones where a piece can end after the ")" and reads it
        Case{"(X^1E30)X-X-X", false}, Case{"SIN(1E400)X-X-X", false}, Case{"(1E400)(X)-X-X", false},
        Case{"X-X-(X^1E30)X-X-X", false}, Case{"X-X-SIN(1E400)2-X", false},
        Case{"((1E400))X-X", false}, Case{"((1E400)X)-X-X", false}, Case{"(1E400)PI-X*X", false},
        Case{"MAX((1E400)X,2)-X", false}, Case{"(X^1E30)-X-X", false},
        Case{"X-X-SIN(1E400)", false}, Case{"((1E400))-X", false}, Case{"((1E400)X)", false},
        Case{"(1E400)DIVX-X", false}, Case{"(1E400),X-X", false}, Case{"(1E400)^X-X", false},
        Case{" (1E400)  ", false}, Case{"(1E400)X-1E400", false}, Case{"(1E400.5)X-X", false},
        Case{"(1E+400)X-X", false}, Case{"(X^-1E30)(1E400)-X", false}, Case{"X-X-((1E400))", false},
        Case{"((X^1E30))-X-X", false}, Case{"X-((X^1E30))-X", false},
        Case{"X-X*SIN((1E400))", false}, Case{"SIN(1E400)^*", false}, Case{"(1E400)-X-X+", false},
        Case{"X-(X^1E30)*", false}, Case{"X-((1E400))-", false}, Case{"(X-(1E400)X)-X*", false},
        // ... and opened right after an operand, which no piece begins at unless a name
        // precedes the "(" (a call), against ones that a piece can hold
        Case{"2(1E400)-X-X", false}, Case{"(X)(1E400)-X*", false}, Case{".(1E400)-X", false},
        Case{"SIN(X)(X^1E30)-X", false}, Case{"2(-1E400)-X+", false}, Case{"X-2(X^1E30)-X*", false},
        Case{"X(1E400)-X", false}, Case{"SIN(1E400)-X*", false}, Case{"X-(1E400)-*", false},
        Case{"((1E400))-X+", false}, Case{"X*(-1E400)-", false}, Case{"MAX(2,1E400)-X*", false},
        Case{"XDIV(1E400)-X+", false}, Case{"XMOD1E400-*", false}, Case{"SIN((1E400))-X*", false},
        Case{"SIN(-1E400)-X*", false}, Case{"MAX(1E400,2)-X*", false}, Case{"X^(1E400)-", false},
        // ... where the name before the "(" decides: a function's name (also after DIV or
        // MOD inside a run of letters) against a variable, a constant, a prefix or an
        // extension of a function's name
        Case{"SIN(1E400)-X-X", false}, Case{"X(1E400)-X-X", false}, Case{"PI(1E400)-X", false},
        Case{"E(1E400)-X*", false}, Case{"SI(1E400)-X*", false}, Case{"SINHX(1E400)-X*", false},
        Case{"SINH(1E400)-X*", false}, Case{"XSIN(1E400)-X*", false}, Case{"AB(-1E400)-X", false},
        Case{"XDIVSIN(1E400)-X*", false}, Case{"XDIVX(1E400)-X", false},
        Case{"MA(2,1E400)-X", false}, Case{"MAXX(2,1E400)-X*", false},
        Case{"XMODMAX(2,1E400)-X", false}, Case{"XMODIVSIN(1E400)-X", false},
        Case{"XMODIV(1E400)-X", false}, Case{"2MODSIN(1E400)-X", false},
        Case{"X^SIN(1E400)-X", false}, Case{"X^XSIN(1E400)-X", false},
        Case{"XMODEXP((1E400))-X*", false}, Case{"MIN(X)(1E400)-X", false},
        Case{"X-SIN(2)-X", true}, Case{"ADIVSIN(X)-X", true}, Case{"XMODEXP(2)-X", true},
        // ... also when what follows the literal inside the brackets is refused
        Case{"SIN(1E400*/)-X", false}, Case{"XDIVSIN(1E400*/)-X", false},
        Case{"XMODMAX(1E400*/,2)", false}, Case{"X^SIN(1E400-,)", false},
        Case{"XSIN(1E400*/)", false}, Case{"SI(1E400*/)", false}, Case{"X(1E400*/)", false},
        Case{"XMODIVSIN(1E400*/)", false}, Case{"SINHX(1E400*/)", false},
        Case{"ABS(1E400*/)-X", false}, Case{"XDIVX(1E400*/)", false},
        // blanks around the text are not part of it
        Case{" -*2*31.", false}, Case{" X-1E-5 ", true}, Case{"  -X*2 ", true},
        // refused texts
        Case{"-X-1", false}, Case{"-1-X", false}, Case{"2*-X", false}, Case{"X+-Y", false},
        Case{"2^3^2", false}, Case{"x^-x", false}, Case{"max(x)", false}, Case{"max(x,y,1)", false},
        Case{"sin(x,y)", false}, Case{"foo(x)", false}, Case{"sin()", false}, Case{")x(", false},
        Case{"2x", false}, Case{"--X", false}, Case{"X+", false}, Case{"*X", false},
        Case{"XDIV", false}, Case{"DIVX", false}, Case{"X/-Y", false}, Case{"-X*Y-Z", false},
        Case{"1E", false}, Case{"X.Y", false},
        // the limits
        Case{"X+X+X+X+X+X+X+X+X+X+X+X+X+X+X+X+X+X+X+X+X+X", false}, Case{balancedSum(7), false}));

struct Pieces
{
    const char* name;
    std::vector<std::string> pieces;
    int maxPieces;
};

class RandomTexts : public testing::TestWithParam<Pieces>
{
};

TEST_P(RandomTexts, agreeWithTheGrammarAlone)
{
    const Pieces& set = GetParam();
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, set.pieces.size() - 1);
    std::uniform_int_distribution<int> count(1, set.maxPieces);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = count(random); i > 0; --i)
            text += set.pieces[pick(random)];
        if (round % 7 == 0)
            text = " " + text + "  ";
        ASSERT_EQ(disagreement(text), "") << set.name << ": " << text;
        accepted += outcome(text, GrammarOnly).rfind("ok ", 0) == 0 ? 1 : 0;
    }
    // The texts must exercise both sides of the grammar.
    EXPECT_GT(accepted, 100) << set.name;
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, RandomTexts,
    testing::Values(
        Pieces{"operators", {"X", "Y", "2", "+", "-", "*", "/", "^", "DIV", "MOD", "X", "3"}, 9},
        Pieces{"brackets", {"X", "(", ")", "+", "-", "*", "(", ")", "2", "-X", "^2"}, 10},
        Pieces{"numbers",
               {"E", "E", "-", "5", "1", ".", "+", "*", "PI", "E-5", "1E-", "-", "X", "^"},
               9},
        Pieces{"calls", {"SIN(", "MAX(", ",", ")", "X", "-", "+", "(", "1", "*", ")", "COS"}, 9},
        Pieces{"names before brackets",
               {"SIN(", "SI", "N", "X", "DIV", "MOD", "(", "1E400", ")", "-", "X", "MAX(", ",",
                "IV", "2", ")", "-X", "*", "/"},
               8},
        Pieces{"faults",
               {"X", "^", "1E30", "+", "-", "1E400", "12345678901234567890", "2", "*", "(", ")",
                "E99", "E+99", ")("},
               8},
        Pieces{"mixed", {"X", "-", "X*", "+", "-X", "/", "(X", ")", "^-1", "MOD", "E", "2"}, 11},
        Pieces{"signs", {"X", "-", "+", "-2", "^", "*", "(", ")", "-X", "2", "/", "PI"}, 10},
        // Literals that may fault before, between and after the operators
        // that let the shortcuts refute a question.
        Pieces{"risky literals",
               {"X",   "-", "+",     "*",     "/",      "X",        "1E30", "1E400",  "^1E30",
                "DIV", "(", ")",     "-X",    "MAX(X,", "2",        "^2",   "^-1E30", "SIN(",
                "X",   ",", "^9E18", "1E301", "^",      "*-X^1E30", "+-X",  "/-"},
               10},
        // Literals that fault in brackets and calls, closed before an operand or not.
        Pieces{"closed literals",
               {"(1E400)", "(X^1E30)", "SIN(1E400)", "X",      "-",  "+",   "*",
                "(",       ")",        "2",          "MAX(X,", ",",  "DIV", "^",
                ")X",      "(",        "1E400)",     "PI",     "-X", "/",   "2(",
                ")(",      "X(1E400)", "(-1E400)",   "X",      "+X", "X"},
               9}));

/// A typical formula changed in a few random places.
std::string mutate(std::string text, std::mt19937& random)
{
    static const std::string alphabet = "X+-*/^()2.E,SIN(MAX(DIV";
    std::uniform_int_distribution<int> edits(1, 3);
    for (int n = edits(random); n > 0; --n) {
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
        const char c =
            alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
        switch (std::uniform_int_distribution<int>(0, 3)(random)) {
        case 0:
            text.insert(at, 1, c);
            break;
        case 1:
            if (at < text.size())
                text.erase(at, 1);
            break;
        case 2:
            if (at < text.size())
                text[at] = c;
            break;
        default: { // repeat a piece of the text
            const std::size_t from =
                std::uniform_int_distribution<std::size_t>(0, text.size())(random);
            text.insert(at, text.substr(std::min(at, from), 6));
            break;
        }
        }
    }
    return text;
}

TEST(MutatedTexts, agreeWithTheGrammarAlone)
{
    const std::vector<std::string> seeds = {
        "X*2+SIN(X)",        "SQRT(ABS(X))*COS(3*X)", "X^3-2*X^2+X-1", "MAX(SIN(X),COS(X))",
        "EXP(-X^2)*4",       "LN(ABS(X)+1)*2",        "X^3/10-X",      "1E-5*X-2.5E+3",
        "-X^2+X MODY DIV 2", "(X+1)*(X-1)/(X+2)^-1",  "-(X)-PI*-2",    "MIN(-X,MAX(Y,-2^X))",
        "A+B-C*D/E^2",       "X--Y*Z+-T+Y/-2^3*E-5",
    };
    std::mt19937 random(5);
    int accepted = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string text = seeds[static_cast<std::size_t>(round) % seeds.size()];
        text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
        text = mutate(text, random);
        ASSERT_EQ(disagreement(text), "") << text;
        accepted += outcome(text, GrammarOnly).rfind("ok ", 0) == 0 ? 1 : 0;
    }
    EXPECT_GT(accepted, 500);
}

TEST(LongTexts, shortcutsAgreeWithTheGrammarAlone)
{
    // Longer texts: the grammar alone against each speed path.
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"X",  "Y",   "2",    "+",    "-",    "*",    "/",
                                             "^",  "DIV", "(",    ")",    "SIN(", "MAX(", ",",
                                             "-X", "E",   "1E-5", "1E30", "PI",   "MOD"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 1500; ++round) {
        std::string text;
        for (int i = 0; i < 40; ++i)
            text += pieces[pick(random)];
        ASSERT_EQ(disagreement(text), "") << text;
    }
}

} // namespace
