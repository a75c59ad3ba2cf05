// Texts of a million characters - pasted into an edit field of the functions
// dialog, they reach the compiler at every redraw - must give the result or
// the error the grammar gives them, on the thread's default stack, with the
// speed layer and, for shorter ones, with the grammar's search alone.
#include "support/ListText.h"
#include "parser/P10Compile.h"
#include "parser/Parser10.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace kurvaro;

namespace {

std::string repeat(const std::string& s, std::size_t n)
{
    std::string r;
    r.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i)
        r += s;
    return r;
}

const std::string Parse = "Error parsing expression:\r";
const std::string Nestings = "Expression contains too many nestings";

/// The texts, each about `n` characters long, and what they must give: the
/// list read back, or the error's class and message.
struct LongCase
{
    const char* name;
    std::function<std::string(std::size_t n)> text;
    std::string errorClass; // empty when the text compiles
    std::function<std::string(const std::string& text)> expected;
    /// The grammar's search alone takes time in proportion to the text (for
    /// refused sums and chains it takes time in proportion to its square).
    bool linearAlone = false;
};

std::ostream& operator<<(std::ostream& os, const LongCase& c)
{
    return os << c.name;
}

const LongCase cases[] = {
    {"sum", [](std::size_t n) { return "X" + repeat("+X", n / 2); }, "ETooManyNestings",
     [](const std::string&) { return Nestings; }, true},
    {"sum refused at its end", [](std::size_t n) { return "X" + repeat("+X", n / 2) + "+"; },
     "ESyntaxError",
     // the last split tried: its left half is no operand of "+"
     [](const std::string& t) { return Parse + t.substr(0, t.size() - 3) + "\rX+"; }},
    {"difference refused at its end", [](std::size_t n) { return "X" + repeat("-X", n / 2) + "-"; },
     "ESyntaxError",
     // the left half of the last split tried is a difference, an operand of "-"
     [](const std::string& t) { return Parse + t.substr(0, t.size() - 3) + "\rX-"; }},
    {"brackets", [](std::size_t n) { return repeat("(", n / 2) + "X" + repeat(")", n / 2); }, "",
     [](const std::string&) { return std::string("X"); }, true},
    {"brackets not closed", [](std::size_t n) { return repeat("(", n) + "X"; },
     "EMissMatchingBracket",
     [](const std::string&) { return std::string("Missing brackets in expression"); }, true},
    {"calls", [](std::size_t n) { return repeat("SIN(", n / 5) + "X" + repeat(")", n / 5); },
     "ETooManyNestings", [](const std::string&) { return Nestings; }, true},
    {"calls of two arguments",
     [](std::size_t n) { return repeat("MAX(", n / 7) + "X" + repeat(",X)", n / 7); },
     "ETooManyNestings", [](const std::string&) { return Nestings; }},
    {"literals 1E-1E-", [](std::size_t n) { return "1E" + repeat("-1E", n / 3); }, "ESyntaxError",
     [](const std::string& t) { return Parse + t.substr(0, t.size() - 3) + "\r1E"; }},
    {"difference ending in a power that faults",
     [](std::size_t n) { return "X" + repeat("-X", n / 2) + "-X^1E30"; }, "EInvalidOp",
     [](const std::string&) { return std::string("Ungültige Gleitkommaoperation"); }},
    {"difference around a literal that overflows",
     [](std::size_t n) { return "X" + repeat("-X", n / 4) + "-1E400" + repeat("-X", n / 4); },
     "EOverflow", [](const std::string&) { return std::string("Gleitkommaüberlauf"); }},
    {"quotients", [](std::size_t n) { return "X" + repeat("/X", n / 2); }, "ETooManyNestings",
     [](const std::string&) { return Nestings; }},
    {"powers", [](std::size_t n) { return "X" + repeat("^X", n / 2); }, "ESyntaxError",
     // "^" does not chain; the last split tried leaves a power on the left
     [](const std::string& t) { return Parse + t.substr(0, t.size() - 2) + "\rX"; }, true},
    {"negations", [](std::size_t n) { return repeat("-(", n / 2) + "X" + repeat(")", n / 2); },
     "ETooManyNestings", [](const std::string&) { return Nestings; }, true},
    {"a long literal", [](std::size_t n) { return "X+0." + repeat("0", n) + "1"; }, "",
     [](const std::string&) { return std::string("(X+0)"); }, true},
    {"blanks around", [](std::size_t n) { return repeat(" ", n / 2) + "X*2" + repeat(" ", n / 2); },
     "", [](const std::string&) { return std::string("(X*2)"); }, true},
    {"bracket pairs the wrong way round", [](std::size_t n) { return repeat(")(", n / 2); },
     "ESyntaxError", [](const std::string& t) { return Parse + t; }, true},
};

/// The list read back, or the error's message with its class in `errorClass`.
std::string run(const std::string& text, const compiler::CompileOptions& options,
                std::string& errorClass)
{
    const TParser p;
    bool flag = false;
    errorClass.clear();
    try {
        OpNode* first = compiler::build(text, p.Variables(), p.OneArgFunctions(),
                                        p.TwoArgFunctions(), true, flag, options);
        const std::string tree = listtext::text(first, p.Variables());
        FreeOperationList(first, p.Variables());
        return tree;
    } catch (const Exception& e) {
        errorClass = e.className();
        return e.message();
    }
}

class LongTexts : public testing::TestWithParam<LongCase>
{
};

TEST_P(LongTexts, giveTheGrammarsResultOnTheDefaultStack)
{
    const LongCase& c = GetParam();
    const std::string text = c.text(1000000);
    ASSERT_GE(text.size(), 999990u);
    std::string errorClass;
    const std::string result = run(text, compiler::CompileOptions{}, errorClass);
    EXPECT_EQ(errorClass, c.errorClass);
    EXPECT_TRUE(result == c.expected(text)) << result.substr(0, 200);
}

TEST_P(LongTexts, giveTheSameWithoutTheSpeedLayer)
{
    // Shorter, since the grammar's search alone does more work per character;
    // deep enough to overflow any stack a recursive search would use.
    const LongCase& c = GetParam();
    if (!c.linearAlone)
        GTEST_SKIP() << "quadratic without the speed layer";
    const std::string text = c.text(200000);
    std::string fullClass;
    std::string aloneClass;
    const std::string full = run(text, compiler::CompileOptions{}, fullClass);
    const std::string alone = run(text, compiler::CompileOptions{false, false}, aloneClass);
    EXPECT_EQ(aloneClass, fullClass);
    EXPECT_TRUE(alone == full) << alone.substr(0, 200);
}

INSTANTIATE_TEST_SUITE_P(Compiler, LongTexts, testing::ValuesIn(cases));

} // namespace
