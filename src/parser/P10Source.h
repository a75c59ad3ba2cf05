#pragma once

// The text one compile works on, shared by the grammar, the walk and the
// speed layer: the expression upper-cased (ASCII letters only), trimmed of
// blanks, with the bracket depth before every character.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kurvaro::compiler {

/// An ASCII digit, whatever the locale.
constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// One of the operator characters; DIV and MOD are words.
constexpr bool isOperator(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}

/// A piece of the compiled text by its offsets, [start, end).
struct Range
{
    std::uint32_t start = 0;
    std::uint32_t end = 0;

    std::uint32_t size() const { return end - start; }
    bool empty() const { return start == end; }
    friend bool operator==(const Range&, const Range&) = default;
};

/// A bit per operator character, set when the character occurs in the text;
/// "D" and "M" stand for DIV and MOD.
constexpr std::uint32_t presenceBit(char c)
{
    switch (c) {
    case '+':
        return 1u << 0;
    case '-':
        return 1u << 1;
    case '*':
        return 1u << 2;
    case '/':
        return 1u << 3;
    case '^':
        return 1u << 4;
    case 'D':
        return 1u << 5;
    case 'M':
        return 1u << 6;
    case ',':
        return 1u << 7;
    case '(':
        return 1u << 8;
    default:
        return 0;
    }
}

struct Source
{
    std::string text;                // upper-cased copy of the whole expression
    std::vector<std::int32_t> depth; // "(" minus ")" before each character; one more entry
    Range whole;                     // the text without leading and trailing blanks
    std::uint32_t present = 0;       // presenceBit of every character that occurs

    /// Upper-cases and trims `raw`; raises EExpressionHasBlanks for a blank
    /// inside and EMissMatchingBracket for unequal bracket counts.
    void prepare(std::string_view raw);
    /// Fills `depth` and `present`, which the grammar and the shortcuts read.
    void measureDepths();

    std::string_view view(Range r) const { return {text.data() + r.start, r.size()}; }
    char at(std::uint32_t i) const { return text[i]; }
    /// Equal numbers of "(" and ")", in any order.
    bool balanced(Range r) const { return depth[r.start] == depth[r.end]; }
    bool contains(char c) const { return (present & presenceBit(c)) != 0; }
};

} // namespace kurvaro::compiler
