#include "parser/P10Shortcuts.h"

#include "model/Faults.h"

#include <algorithm>
#include <cmath>
#include <string_view>

// Where the pieces of text the grammar asks about can begin and end, and
// which literals a piece can hold on its own and fault when it is read.

namespace kurvaro::compiler {

namespace {

/// Whether reading `literal` faults, as the number recogniser reads it or,
/// after "^", as the power split then takes it as an exponent. A sign before
/// it changes neither.
bool faults(std::string_view literal, bool exponentOfPower)
{
    double value = 0.0;
    try {
        readNumber(literal, true, '.', value);
    } catch (const EMathError&) {
        return true;
    }
    return exponentOfPower && !(std::fabs(value) < 9223372036854775808.0);
}

} // namespace

/// Whether the literal after the "^" at `caret`, ending at `end`, is never
/// read, because no question that could split its power is asked about the
/// power. Only a base of letters, digits and points (without DIV or MOD,
/// after which pieces may begin) is looked at, and only where it stands:
/// - right after another "^", perhaps with a sign between ("2^3^1E30"): a
///   piece that begins after "^" is only asked whether it is an exponent;
/// - after a sign that follows "/", DIV or MOD ("X/-Y^1E30"): a piece after
///   those is asked for a power, never for a negation, and "-Y" is no base;
/// - after a sign that follows "*" or a subtraction ("X*-Y^1E30-Z"), or an
///   addition: there the negation is reached only as the left operand of a
///   product or quotient (after "+" also of a sum), so only if one of those
///   operators follows.
bool StructureShortcuts::exponentNeverRead(std::uint32_t caret, std::uint32_t end) const
{
    const std::string_view s = source_->text;
    const std::uint32_t begin = source_->whole.start;
    const std::uint32_t last = source_->whole.end;
    auto isBaseChar = [&](char c) { return isDigit(c) || c == '.' || (c >= 'A' && c <= 'Z'); };
    auto word = [&](std::uint32_t at) {
        return at + 3 <= last && (s.substr(at, 3) == "DIV" || s.substr(at, 3) == "MOD");
    };
    std::uint32_t x = caret;
    while (x > begin && isBaseChar(s[x - 1]))
        --x;
    const std::string_view base = s.substr(x, caret - x);
    if (base.empty() || base.find("DIV") != base.npos || base.find("MOD") != base.npos)
        return false;
    const bool signed_ = x > begin && (s[x - 1] == '+' || s[x - 1] == '-');
    if (signed_)
        --x;
    if (x == begin)
        return false;
    const char before = s[x - 1];
    if (before == '^')
        return true;
    if (!signed_)
        return false;
    if (before == '/' || (x >= begin + 3 && word(x - 3)))
        return true;
    const char after = end < last ? s[end] : ')';
    const bool quotientOrProduct = after == '*' || after == '/' || word(end);
    // A "+" or "-" before the sign must be an addition or subtraction: a lone
    // sign at the start of a piece is the number 0, after which the power
    // is an operand of its own.
    const bool free = (classes_[x - 1] & (1u << cFree)) != 0;
    if (before == '*' || (before == '-' && free))
        return !quotientOrProduct;
    if (before == '+' && free)
        return !quotientOrProduct && after != '+';
    return false;
}

/// Whether the "(" at `bracket` can open a call's brackets: a piece that
/// begins inside the run of letters before it holds a function's name up to
/// there. Inside a run pieces begin at its start and after DIV or MOD; since
/// no name holds DIV or MOD (Lexicon::plain), only names that begin after the
/// last of those can be one, which keeps the look-ups to two per bracket.
bool StructureShortcuts::callBracket(std::uint32_t bracket) const
{
    const std::string_view s = source_->text;
    const std::uint32_t first = source_->whole.start;
    auto isLetter = [&](std::uint32_t i) { return s[i] >= 'A' && s[i] <= 'Z'; };
    auto word = [&](std::uint32_t at) {
        return s.substr(at, 3) == "DIV" || s.substr(at, 3) == "MOD";
    };
    auto isCall = [&](std::uint32_t start) {
        if (start >= bracket)
            return false;
        const Lexicon::Kind kind = lexicon_->find(s.substr(start, bracket - start)).kind;
        return kind == Lexicon::Kind::Function1 || kind == Lexicon::Kind::Function2;
    };
    std::uint32_t run = bracket;
    while (run > first && isLetter(run - 1))
        --run;
    // The last DIV or MOD inside the run, ending at the bracket at the latest.
    std::uint32_t k = bracket;
    while (k >= run + 3 && !word(k - 3))
        --k;
    if (k < run + 3)
        return isCall(run);
    // "MODIV": a piece may also begin after the MOD that overlaps the DIV.
    const std::uint32_t last = k - 3;
    return isCall(k) || (last >= run + 2 && word(last - 2) && isCall(last + 1));
}

/// Where a piece of text the grammar asks about can end: at the text's end,
/// at an operator (where a split ends its left half) and at a ")" that ends
/// a bracketed term's or a call's inner text, which needs the bracketed term
/// or call to end where a piece can. Every other position ends none: a ")"
/// followed by a name, a literal or "(" is refused right there, and what it
/// closes is never read (a literal is read only as a piece of its own, since
/// the number recogniser checks the whole form before converting).
///
/// And where one can begin: at the text's start, after an operator (the
/// right half of a split, the operand of a negation), after a "(" where a
/// bracketed term begins, and at and after the "(" of a call (see
/// callBracket). Any other "(" begins no piece, nor does what follows it: a
/// call asks about its brackets only once its name is found in a table.
void StructureShortcuts::markPieceBounds()
{
    const std::string& s = source_->text;
    const std::uint32_t first = source_->whole.start;
    const std::uint32_t last = source_->whole.end;
    auto word = [&](std::uint32_t at) {
        return at + 3 <= s.size() && (s.compare(at, 3, "DIV") == 0 || s.compare(at, 3, "MOD") == 0);
    };
    auto isOperatorAt = [&](std::uint32_t i) { return isOperator(s[i]) || s[i] == ',' || word(i); };
    pieceEnds_.assign(s.size() + 1, 0);
    for (std::uint32_t i = last + 1; i-- > first;) {
        const bool end = i == last || (i < last && isOperatorAt(i));
        const bool inner = i < last && s[i] == ')' && pieceEnds_[i + 1] != 0;
        pieceEnds_[i] = end || inner ? 1 : 0;
    }
    pieceStarts_.assign(s.size() + 1, 0);
    for (std::uint32_t i = first; i < last; ++i) {
        const char before = i > first ? s[i - 1] : '\0';
        const bool call = s[i] == '(' && callBracket(i);
        const bool afterOperator =
            i > first && (isOperatorAt(i - 1) || (i >= first + 3 && word(i - 3)));
        const bool inner = before == '(' && pieceStarts_[i - 1] != 0;
        pieceStarts_[i] = i == first || call || afterOperator || inner ? 1 : 0;
    }
}

/// Literals whose reading raises a fault: one beyond the double range, and
/// one right after "^" (perhaps signed) whose magnitude is 2^63 or more (an
/// exponent that faults). A literal is digits with at most one ".", then
/// perhaps "E", a sign and digits; the digits after such a sign may also be
/// read on their own. Only a literal whose size suggests a fault (beyond
/// 10^300, or 10^18 after "^") and that a piece can hold on its own (see
/// markPieceBounds) is read to find out. The positions of those that fault are
/// marked.
void StructureShortcuts::markRiskyLiterals()
{
    const std::string& s = source_->text;
    const auto n = static_cast<std::uint32_t>(s.size());
    bool bounded = false; // the piece bounds are marked when a literal first needs them
    marks_.assign(static_cast<std::size_t>(n) + 1, 0);
    for (std::uint32_t i = 0; i < n;) {
        if (!(isDigit(s[i]) || s[i] == '.')) {
            ++i;
            continue;
        }
        std::uint32_t j = i;
        int digits = 0; // before the point, leading zeros aside
        bool point = false;
        for (; j < n && (isDigit(s[j]) || (s[j] == '.' && !point)); ++j) {
            point = point || s[j] == '.';
            if (!point && (digits > 0 || s[j] != '0'))
                ++digits;
        }
        std::int64_t exponent = 0;
        std::uint32_t exponentDigits = 0;
        if (j + 1 < n && s[j] == 'E') {
            std::uint32_t k = j + 1;
            const bool negative = s[k] == '-';
            k += (s[k] == '+' || s[k] == '-') ? 1 : 0;
            for (; k < n && isDigit(s[k]); ++k, ++exponentDigits)
                exponent = std::min<std::int64_t>(exponent * 10 + (s[k] - '0'), 1000000);
            if (exponentDigits > 0) {
                exponent = negative ? -exponent : exponent;
                j = k;
            }
        }
        std::uint32_t before = i;
        if (before > 0 && (s[before - 1] == '+' || s[before - 1] == '-'))
            --before;
        const bool exponentOfPower = before > 0 && s[before - 1] == '^';
        const std::int64_t magnitude = digits + std::max<std::int64_t>(exponent, 0);
        const bool large = magnitude > 300 || (exponentOfPower && magnitude > 18);
        bool risky = false;
        if (large || digits > 300 || exponentDigits > 300) {
            if (!bounded)
                markPieceBounds();
            bounded = true;
            // The digits after an exponent's sign begin a piece wherever one
            // ends; a sign before the literal is an operator, after which a
            // piece begins.
            const bool whole = pieceStarts_[i] != 0;
            if (pieceEnds_[j] != 0)
                risky = (whole && digits > 300) || exponentDigits > 300 ||
                        (whole && large &&
                         faults(std::string_view(s).substr(i, j - i), exponentOfPower));
        }
        if (risky && exponentOfPower && exponentNeverRead(before - 1, j))
            risky = false;
        for (std::uint32_t k = i; k < j; ++k)
            marks_[k] = risky ? 1 : 0;
        i = j;
    }
    // Prefix counts: a piece of text holds a risky literal when they differ.
    std::int32_t count = 0;
    for (std::uint32_t i = 0; i <= n; ++i) {
        const std::int32_t here = i < n ? marks_[i] : 0;
        marks_[i] = count;
        count += here;
    }
}

} // namespace kurvaro::compiler
