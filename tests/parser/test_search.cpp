// The compiler's search modes must be indistinguishable: the same texts
// accepted, the same error class and message, the same list. Random texts
// built from the grammar's pieces are compiled in every mode and compared.
#include "ListText.h"
#include "parser/P10Build.h"
#include "parser/Parser10.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace kurvaro;

namespace {

std::string outcome(const std::string& text, RecogniserSearch mode)
{
    setRecogniserSearch(mode);
    TParser p;
    std::string result;
    try {
        p.CompileExpression(text);
        result = "ok " + listtext::text(p);
    } catch (const Exception& e) {
        result = std::string(e.className()) + " " + e.message();
    }
    setRecogniserSearch(RecogniserSearch::Fast);
    return result;
}

struct Pieces
{
    const char* name;
    std::vector<std::string> pieces;
    int maxPieces;
};

class SearchModes : public testing::TestWithParam<Pieces>
{
};

TEST_P(SearchModes, agreeOnRandomTexts)
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
        const std::string literal = outcome(text, RecogniserSearch::Literal);
        ASSERT_EQ(outcome(text, RecogniserSearch::MemoOnly), literal) << set.name << ": " << text;
        ASSERT_EQ(outcome(text, RecogniserSearch::Filtered), literal) << set.name << ": " << text;
        ASSERT_EQ(outcome(text, RecogniserSearch::Fast), literal) << set.name << ": " << text;
        accepted += literal.rfind("ok ", 0) == 0 ? 1 : 0;
    }
    // The texts must exercise both sides of the grammar.
    EXPECT_GT(accepted, 100) << set.name;
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, SearchModes,
    testing::Values(
        Pieces{"operators", {"X", "Y", "2", "+", "-", "*", "/", "^", "DIV", "MOD", "X", "3"}, 9},
        Pieces{"brackets", {"X", "(", ")", "+", "-", "*", "(", ")", "2", "-X", "^2"}, 10},
        Pieces{"numbers",
               {"E", "E", "-", "5", "1", ".", "+", "*", "PI", "E-5", "1E-", "-", "X", "^"},
               9},
        Pieces{"calls", {"SIN(", "MAX(", ",", ")", "X", "-", "+", "(", "1", "*", ")", "COS"}, 9},
        Pieces{"faults",
               {"X", "^", "1E30", "+", "-", "1E400", "12345678901234567890", "2", "*", "(", ")",
                "E99", "E+99", ")("},
               8},
        Pieces{"mixed", {"X", "-", "X*", "+", "-X", "/", "(X", ")", "^-1", "MOD", "E", "2"}, 11}));

TEST(SearchModes, agreeOnLongTexts)
{
    // Longer texts, too long for the literal search: the memo alone against the filters.
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"X",  "Y",   "2",    "+",    "-",    "*",    "/",
                                             "^",  "DIV", "(",    ")",    "SIN(", "MAX(", ",",
                                             "-X", "E",   "1E-5", "1E30", "PI",   "MOD"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 1500; ++round) {
        std::string text;
        for (int i = 0; i < 40; ++i)
            text += pieces[pick(random)];
        ASSERT_EQ(outcome(text, RecogniserSearch::Filtered),
                  outcome(text, RecogniserSearch::MemoOnly))
            << text;
    }
}

} // namespace
