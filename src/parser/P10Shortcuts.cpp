#include "parser/P10Shortcuts.h"

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <string_view>

namespace kurvaro::compiler {

/// Whether the sign at `i`, after an "E", could be the sign of an exponent:
/// the "E" follows a mantissa or starts a literal, and digits follow that end
/// where a literal can end.
bool StructureShortcuts::exponentSign(std::int32_t i) const
{
    const std::string& s = source_->text;
    // Only the text between the blanks it was trimmed of counts.
    const auto begin = static_cast<std::int32_t>(source_->whole.start);
    const auto n = static_cast<std::int32_t>(source_->whole.end);
    if (i + 1 >= n || !isDigit(s[static_cast<std::size_t>(i) + 1]))
        return false;
    std::int32_t j = i + 1;
    while (j < n && isDigit(s[static_cast<std::size_t>(j)]))
        ++j;
    auto word = [&](std::int32_t at, const char* w) {
        return at >= 0 && at + 3 <= n && s.compare(static_cast<std::size_t>(at), 3, w) == 0;
    };
    const char after = j < n ? s[static_cast<std::size_t>(j)] : ')';
    if (!(isOperator(after) || after == ')' || after == ',' || word(j, "DIV") || word(j, "MOD")))
        return false;
    if (i - 2 < begin)
        return true; // the "E" starts the text
    const char before = s[static_cast<std::size_t>(i) - 2];
    return isDigit(before) || before == '.' || isOperator(before) || before == '(' ||
           before == ',' || word(i - 4, "DIV") || word(i - 4, "MOD");
}

/// The classes of the character at `i`. A "+" or "-" is free (an addition
/// or subtraction) when it follows what can end an operand and is neither
/// the sign of an exponent nor the sign of a literal after DIV or MOD.
std::uint16_t StructureShortcuts::classify(std::int32_t i) const
{
    const std::string& s = source_->text;
    auto word = [&](std::int32_t at, const char* w) {
        return at >= 0 && at + 3 <= static_cast<std::int32_t>(s.size()) &&
               s.compare(static_cast<std::size_t>(at), 3, w) == 0;
    };
    const char c = s[static_cast<std::size_t>(i)];
    switch (c) {
    case '+':
    case '-': {
        std::uint16_t bits = static_cast<std::uint16_t>(1u << (c == '+' ? cPlus : cMinus));
        bool free = false;
        if (i > static_cast<std::int32_t>(source_->whole.start)) {
            const char p = s[static_cast<std::size_t>(i) - 1];
            if (p == 'E')
                free = !exponentSign(i);
            else if (p == 'V' || p == 'D')
                free = !word(i - 3, "DIV") && !word(i - 3, "MOD");
            else
                free = !(isOperator(p) || p == '(' || p == ',');
        }
        if (free)
            bits |= static_cast<std::uint16_t>(1u << cFree | (c == '+' ? 1u << cFreePlus : 0u));
        return bits;
    }
    case '*':
        return 1u << cStar;
    case '/':
        return 1u << cSlash;
    case '^':
        return 1u << cCaret;
    case ',':
        return 1u << cComma;
    case 'D':
        return word(i, "DIV") ? 1u << cDiv : 0u;
    case 'M':
        return word(i, "MOD") ? 1u << cMod : 0u;
    default:
        return 0;
    }
}

void StructureShortcuts::prepare(const Source& source, const Lexicon& lexicon)
{
    source_ = &source;
    lexicon_ = &lexicon;
    const std::int32_t* depth = source.depth.data();
    const auto n = static_cast<std::int32_t>(source.text.size());
    const auto size = static_cast<std::size_t>(n) + 1;

    classes_.assign(size, 0);
    occurring_ = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        classes_[static_cast<std::size_t>(i)] = classify(i);
        occurring_ |= classes_[static_cast<std::size_t>(i)];
    }

    // Next position with a lower depth (monotonic stack).
    nextLower_.assign(size, n + 1);
    seen_.clear();
    for (std::int32_t i = n; i >= 0; --i) {
        while (!seen_.empty() && depth[seen_.back()] >= depth[i])
            seen_.pop_back();
        nextLower_[static_cast<std::size_t>(i)] = seen_.empty() ? n + 1 : seen_.back();
        seen_.push_back(i);
    }

    // Next and previous position of each class at the same depth.
    const std::int32_t low = *std::min_element(depth, depth + size);
    const std::int32_t high = *std::max_element(depth, depth + size);
    const auto levels = static_cast<std::size_t>(high - low + 1);
    auto level = [&](std::int32_t i) { return static_cast<std::size_t>(depth[i] - low); };
    for (int c = 0; c < cClassCount; ++c) {
        const auto bit = static_cast<std::uint16_t>(1u << c);
        if (!(occurring_ & bit))
            continue; // first(), last() and from() know there is none
        next_[c].resize(size);
        seen_.assign(levels, INT32_MAX);
        for (std::int32_t i = n; i >= 0; --i) {
            if (classes_[static_cast<std::size_t>(i)] & bit)
                seen_[level(i)] = i;
            next_[c][static_cast<std::size_t>(i)] = seen_[level(i)];
        }
        // Only these classes are asked for their last position.
        if (!(c == cFree || c == cCaret || c == cSlash || c == cDiv || c == cMod))
            continue;
        prev_[c].resize(size);
        seen_.assign(levels, -1);
        for (std::int32_t i = 0; i <= n; ++i) {
            prev_[c][static_cast<std::size_t>(i)] = seen_[level(i)];
            if (classes_[static_cast<std::size_t>(i)] & bit)
                seen_[level(i)] = i;
        }
    }
    markRiskyLiterals();
}

/// Free of risky literals and well bracketed: every accepted text is, so a
/// text that is not is refused.
bool StructureShortcuts::usable(Range text) const
{
    return marks_[text.end] == marks_[text.start];
}

/// An operator needs an operand on either side: no accepted text begins
/// with "*", "/", "^", ",", ")" or DIV or MOD, nor ends with one of them, "("
/// or a free sign - nor with an "E" after a digit, which only a literal's
/// exponent has.
bool StructureShortcuts::operatorAtAnEnd(Range text) const
{
    constexpr std::uint16_t binary =
        1u << cStar | 1u << cSlash | 1u << cCaret | 1u << cComma | 1u << cDiv | 1u << cMod;
    const char firstChar = source_->at(text.start);
    if ((classes_[text.start] & binary) || firstChar == ')')
        return true;
    const std::uint16_t last = classes_[text.end - 1];
    if ((last & (binary | 1u << cFree)) || source_->at(text.end - 1) == '(')
        return true;
    // A literal's "E" wants digits after it; a name has no digit before it.
    if (source_->at(text.end - 1) == 'E' && text.size() >= 2) {
        const char before = source_->at(text.end - 2);
        if ((before >= '0' && before <= '9') || before == '.')
            return true;
    }
    // DIV or MOD ending the text
    return text.size() >= 3 && (classes_[text.end - 3] & (1u << cDiv | 1u << cMod)) != 0;
}

std::int32_t StructureShortcuts::first(int c, Range text) const
{
    if (!(occurring_ & (1u << c)))
        return -1;
    const std::int32_t j = next_[c][text.start];
    return j < static_cast<std::int32_t>(text.end) ? j : -1;
}

std::int32_t StructureShortcuts::last(int c, Range text) const
{
    if (!(occurring_ & (1u << c)))
        return -1;
    const std::int32_t j = prev_[c][text.end];
    return j >= static_cast<std::int32_t>(text.start) ? j : -1;
}

bool StructureShortcuts::hasAny(std::initializer_list<int> classes, Range text) const
{
    for (int c : classes)
        if (has(c, text))
            return true;
    return false;
}

/// Where a text holds a literal that could fault, a question may still be
/// refuted for a character `poison` at the text's own depth that no question
/// its search asks can take into a piece it accepts, nor split at: a split's
/// right half is asked only once its left half is accepted, so that every
/// piece that search asks about holds the poison or lies before it. Literals
/// after the poison are then never read, and their faults never raised.
bool StructureShortcuts::readsNoRiskyLiteral(Range text, std::int32_t poison) const
{
    return poison >= 0 && marks_[static_cast<std::size_t>(poison) + 1] == marks_[text.start];
}

std::int32_t StructureShortcuts::firstOfAny(std::initializer_list<int> classes, Range text) const
{
    std::int32_t found = -1;
    for (int c : classes) {
        const std::int32_t j = first(c, text);
        if (j >= 0 && (found < 0 || j < found))
            found = j;
    }
    return found;
}

bool StructureShortcuts::refutes(Question q, Range text) const
{
    const std::int32_t* depth = source_->depth.data();
    const bool wellBracketed = depth[text.start] == depth[text.end] &&
                               nextLower_[text.start] > static_cast<std::int32_t>(text.end);
    const bool plain = usable(text);
    if (!wellBracketed || !plain) {
        // The poison argument needs the text's own depth to be its lowest.
        if (!wellBracketed)
            return plain;
        const std::int32_t poison = poisonOf(q, text);
        return poison >= 0 && readsNoRiskyLiteral(text, poison);
    }
    if (q != qArguments && has(cComma, text))
        return true; // commas stand only between the arguments of a call
    if (operatorAtAnEnd(text))
        return true;
    auto atMostOneCaret = [&](Range r) { return first(cCaret, r) == last(cCaret, r); };
    switch (q) {
    case qNegation:
    case qNegOperand: {
        const Range rest{text.start + (q == qNegation ? 1u : 0u), text.end};
        return hasAny({cFree, cStar, cSlash, cDiv, cMod}, rest) || !atMostOneCaret(rest);
    }
    case qPlus:
    case qMinus:
    case qTimes:
    case qDiv:
    case qMod:
    case qSlash:
    case qPower:
        return nextCandidate(q, text, text.start + 1) == text.end;
    case qFunction1:
    case qFunction2:
        return hasAny({cPlus, cMinus, cStar, cSlash, cCaret, cDiv, cMod}, text);
    case qPlusLeft:
        return has(cFreePlus, text);
    case qMinusRight:
        return has(cFree, text);
    case qTimesLeft:
        return hasAny({cFree, cStar}, text);
    case qSlashRight:
        return hasAny({cFree, cStar, cSlash, cDiv, cMod}, text) || !atMostOneCaret(text);
    case qPowerLeft:
    case qExponent:
        return hasAny({cFree, cStar, cSlash, cCaret, cDiv, cMod}, text);
    default:
        return false;
    }
}

/// The first character of a well-bracketed text, at its own depth, for which
/// `q` refuses it and which no question of `q`'s search accepts or splits at
/// (see readsNoRiskyLiteral); -1 when there is none. An operator that starts
/// the text starts every piece such a search asks about, and none of those
/// is accepted.
std::int32_t StructureShortcuts::poisonOf(Question q, Range text) const
{
    if (q != qArguments && has(cComma, text))
        return first(cComma, text);
    constexpr std::uint16_t binary =
        1u << cStar | 1u << cSlash | 1u << cCaret | 1u << cComma | 1u << cDiv | 1u << cMod;
    if (classes_[text.start] & binary)
        return static_cast<std::int32_t>(text.start);
    switch (q) {
    case qNegation:
    case qNegOperand:
    case qSlashRight:
        return firstOfAny({cFree, cStar, cSlash, cDiv, cMod}, text);
    case qTimes:
        return first(cFree, text);
    case qDiv:
    case qMod:
    case qSlash:
    case qTimesLeft:
        return firstOfAny({cFree, cStar}, text);
    case qPower: // which splits at "^" itself
        return firstOfAny({cFree, cStar, cSlash, cDiv, cMod}, text);
    case qPowerLeft:
    case qExponent:
        return firstOfAny({cFree, cStar, cSlash, cCaret, cDiv, cMod}, text);
    case qPlusLeft:
        return first(cFreePlus, text);
    case qMinusRight:
        return first(cFree, text);
    default:
        return -1;
    }
}

bool StructureShortcuts::narrows(Question q, Range text) const
{
    const std::int32_t* depth = source_->depth.data();
    return q >= qPlus && q <= qArguments && q != qFunction1 && q != qFunction2 && usable(text) &&
           depth[text.start] == depth[text.end] &&
           nextLower_[text.start] > static_cast<std::int32_t>(text.end);
}

/// The next position of class `c` at the text's own depth at or after
/// `position`, which is the text's start, the position after it, or the
/// position after one at the text's depth.
std::int32_t StructureShortcuts::from(int c, Range text, std::uint32_t position) const
{
    const auto end = static_cast<std::int32_t>(text.end);
    if (!(occurring_ & (1u << c)))
        return end;
    std::int32_t j = next_[c][position <= text.start + 1 ? text.start : position];
    if (j < static_cast<std::int32_t>(position)) // the one at the start itself
        j = next_[c][static_cast<std::size_t>(j) + 1];
    return j < end ? j : end;
}

/// A quotient splits only at the last of its operators: its right operand
/// holds none of "/", DIV and MOD.
std::int32_t StructureShortcuts::quotientCandidate(int c, Range text) const
{
    const std::int32_t k = last(c, text);
    for (int other : {cSlash, cDiv, cMod})
        if (other != c && last(other, text) > k)
            return -1;
    return k;
}

std::uint32_t StructureShortcuts::nextCandidate(Question q, Range text,
                                                std::uint32_t position) const
{
    const auto end = static_cast<std::int32_t>(text.end);
    std::int32_t k = end;
    std::int32_t limit = end; // no candidate after this one
    switch (q) {
    case qPlus: {
        // The left operand holds no free "+": up to the first one.
        k = from(cPlus, text, position);
        const std::int32_t fp = first(cFreePlus, text);
        limit = fp >= 0 ? fp : end;
        break;
    }
    case qMinus: {
        // The right operand holds no free sign, the left one no free "+".
        const std::int32_t lf = last(cFree, text);
        k = from(cMinus, text, std::max<std::uint32_t>(position, lf >= 0 ? lf : 0));
        const std::int32_t fp = first(cFreePlus, text);
        limit = fp >= 0 ? fp : end;
        break;
    }
    case qTimes: // the left operand holds no "*", neither operand a free sign
        if (has(cFree, text))
            return text.end;
        k = first(cStar, text);
        limit = k;
        break;
    case qPower: // one "^" between a base and an exponent that hold no other operator
        if (hasAny({cFree, cStar, cSlash, cDiv, cMod}, text) ||
            first(cCaret, text) != last(cCaret, text))
            return text.end;
        k = first(cCaret, text);
        limit = k;
        break;
    case qDiv:
    case qMod:
    case qSlash:
        if (hasAny({cFree, cStar}, text))
            return text.end;
        k = quotientCandidate(q == qDiv ? cDiv : q == qMod ? cMod : cSlash, text);
        limit = k;
        break;
    case qArguments:
        k = from(cComma, text, position);
        break;
    default:
        break;
    }
    if (k < 0 || k < static_cast<std::int32_t>(position) || k > limit)
        return text.end;
    return static_cast<std::uint32_t>(k);
}

} // namespace kurvaro::compiler
