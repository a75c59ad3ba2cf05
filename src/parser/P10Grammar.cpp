#include "parser/P10Grammar.h"

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kurvaro::compiler {

namespace {

// ---------------------------------------------------------------------------
// The table of recognisers

enum class Form : std::uint8_t
{
    Leaf,      ///< number or variable: answered at once, no further question
    FirstOf,   ///< the first alternative that accepts
    Split,     ///< a split at an operator: left half and right half
    Negation,  ///< "-" followed by an operand
    Bracketed, ///< "(" term ")"
    Call,      ///< a function name followed by its bracketed argument(s)
};

/// What a FirstOf rule delivers when an alternative accepts.
enum class Delivery : std::uint8_t
{
    Text,      ///< the text itself, or a bracketed term's inner text
    Answer,    ///< the alternative's own answer (the walk's classification)
    PowerKind, ///< as Text, and the power kind an exponent gives
};

struct Rule
{
    Question question = qQuestionCount; // the row's own question
    Form form = Form::Leaf;
    // FirstOf
    Question alternatives[13] = {};
    std::uint8_t count = 0;
    Delivery delivery = Delivery::Text;
    // Split
    char op[4] = {};
    std::uint8_t width = 0;
    Question left = qQuestionCount;
    Question right = qQuestionCount;
    OpKind kind = okVariable;
    bool balancedHalves = true;
    // Negation, Bracketed, Call: the question asked about the rest
    Question operand = qQuestionCount;
};

constexpr Rule leaf()
{
    return Rule{};
}

constexpr Rule firstOf(std::initializer_list<Question> alternatives,
                       Delivery delivery = Delivery::Text)
{
    Rule r;
    r.form = Form::FirstOf;
    r.delivery = delivery;
    for (Question q : alternatives)
        r.alternatives[r.count++] = q;
    return r;
}

/// An operand set: a variable, a number, a bracketed term (which delivers its
/// inner text), then the set's own recognisers in order.
constexpr Rule operands(std::initializer_list<Question> own)
{
    Rule r = firstOf({qVariable, qNumber, qBracketed});
    for (Question q : own)
        r.alternatives[r.count++] = q;
    return r;
}

constexpr Rule split(const char* op, Question left, Question right, OpKind kind,
                     bool balancedHalves = true)
{
    Rule r;
    r.form = Form::Split;
    while (op[r.width] != '\0') {
        r.op[r.width] = op[r.width];
        ++r.width;
    }
    r.left = left;
    r.right = right;
    r.kind = kind;
    r.balancedHalves = balancedHalves;
    return r;
}

constexpr Rule prefixed(Form form, Question operand)
{
    Rule r;
    r.form = form;
    r.operand = operand;
    return r;
}

constexpr Rule row(Question q, Rule r)
{
    r.question = q;
    return r;
}

// clang-format off
/// The grammar, one row per question, in the order of the Question enum.
constexpr Rule Rules[qQuestionCount] = {
    row(qNumber,     leaf()),
    row(qVariable,   leaf()),
    row(qBracketed,  prefixed(Form::Bracketed, qValidTerm)),
    row(qNegation,   prefixed(Form::Negation, qNegOperand)),
    row(qPlus,       split("+", qPlusLeft, qPlusRight, okAdd)),
    row(qMinus,      split("-", qPlusLeft, qMinusRight, okSubtract)),
    row(qTimes,      split("*", qTimesLeft, qMinusRight, okMultiply)),
    row(qDiv,        split("DIV", qTimesLeft, qSlashRight, okDiv)),
    row(qMod,        split("MOD", qTimesLeft, qSlashRight, okMod)),
    row(qSlash,      split("/", qTimesLeft, qSlashRight, okDivide)),
    row(qPower,      split("^", qPowerLeft, qExponent, okPower)),
    row(qFunction1,  prefixed(Form::Call, qBracketed)),
    row(qFunction2,  prefixed(Form::Call, qArguments)),
    row(qArguments,  split(",", qValidTerm, qValidTerm, okFunction2, false)),
    row(qValidTerm,  firstOf({qNumber, qVariable, qNegation, qPlus, qMinus, qTimes, qDiv, qMod,
                              qSlash, qPower, qFunction2, qFunction1, qBracketed})),
    row(qTerm,       firstOf({qVariable, qNumber, qNegation, qPlus, qMinus, qTimes, qDiv, qMod,
                              qSlash, qPower, qFunction1, qFunction2}, Delivery::Answer)),
    row(qNegOperand, firstOf({qBracketed, qVariable, qPower, qFunction1, qFunction2})),
    row(qPlusLeft,   operands({qNegation, qMinus, qTimes, qDiv, qMod, qSlash, qPower,
                               qFunction1, qFunction2})),
    row(qPlusRight,  operands({qPlus, qMinus, qTimes, qDiv, qMod, qSlash, qPower,
                               qFunction1, qFunction2})),
    row(qMinusRight, operands({qTimes, qDiv, qMod, qSlash, qPower, qFunction1, qFunction2})),
    row(qTimesLeft,  operands({qNegation, qDiv, qMod, qSlash, qPower, qFunction1, qFunction2})),
    row(qSlashRight, operands({qPower, qFunction1, qFunction2})),
    row(qPowerLeft,  operands({qFunction1, qFunction2})),
    row(qExponent,   firstOf({qNumber, qVariable, qBracketed, qFunction1, qFunction2},
                             Delivery::PowerKind)),
};
// clang-format on

static_assert(
    [] {
        for (int q = 0; q < qQuestionCount; ++q)
            if (Rules[q].question != q)
                return false;
        return true;
    }(),
    "one row per question, in the order of the Question enum");

/// Pieces shorter than this are not remembered.
constexpr std::uint32_t RememberedLength = 4;

Frame newFrame(Question q, Range text, bool record)
{
    Frame f;
    f.q = q;
    f.text = text;
    f.record = record;
    return f;
}

/// The splits and calls that write the halves they try into the walk's
/// classification of a term.
constexpr bool records(Question q)
{
    return (q >= qPlus && q <= qPower) || q == qFunction2 || q == qArguments;
}

} // namespace

// ---------------------------------------------------------------------------
// The search

Grammar::Grammar(const Source& source, const Tables& tables, GrammarState& state,
                 const Shortcuts* shortcuts)
    : source_(source), tables_(tables), state_(state), shortcuts_(shortcuts)
{
    for (std::size_t i = 0; i < tables_.variables.size(); ++i)
        longestVariable_ = std::max(longestVariable_, tables_.variables.at(i).first.size());
    if (!tables_.pascalNumberFormat) {
        const char* point = std::localeconv()->decimal_point;
        if (point != nullptr && point[0] != '\0' && point[1] == '\0')
            separator_ = point[0];
    }
}

double* Grammar::variableCell(Range text) const
{
    if (text.empty() || text.size() > longestVariable_)
        return nullptr;
    double* const* cell = tables_.variables.find(source_.view(text));
    return cell != nullptr ? *cell : nullptr;
}

std::uint32_t Grammar::firstBracket(Range text) const
{
    if (!source_.contains('('))
        return text.end;
    const void* hit = std::memchr(source_.text.data() + text.start, '(', text.size());
    return hit == nullptr
               ? text.end
               : static_cast<std::uint32_t>(static_cast<const char*>(hit) - source_.text.data());
}

OpRoutine Grammar::routine(Question call, Range text) const
{
    const std::uint32_t p = firstBracket(text);
    const TFunctionTable& table = call == qFunction1 ? tables_.oneArg : tables_.twoArg;
    const OpRoutine* r = table.find(source_.view(Range{text.start, p}));
    return r != nullptr ? *r : nullptr;
}

bool Grammar::leaf(Question q, Range text, Answer& out) const
{
    out.a = text;
    if (q == qVariable)
        out.ok = variableCell(text) != nullptr;
    else
        out.ok = readNumber(source_.view(text), tables_.pascalNumberFormat, separator_, out.value);
    return out.ok;
}

/// Whether `q` refuses `text` before asking anything about a part of it: a
/// bracketed term and a call end with ")", a bracketed term begins with "(",
/// a negation with "-"; a split wants its operator somewhere in the text, not
/// in the first position, and room for a character on either side.
bool Grammar::refusesAtOnce(Question q, Range text) const
{
    const Rule& rule = Rules[q];
    const char first = source_.at(text.start);
    const char last = source_.at(text.end - 1);
    switch (rule.form) {
    case Form::Bracketed:
        return text.size() < 2 || first != '(' || last != ')';
    case Form::Negation:
        return first != '-';
    case Form::Call:
        return last != ')' || !source_.contains('(');
    case Form::Split:
        if (!source_.contains(rule.op[0]))
            return true;
        return rule.width == 1 ? text.size() < 3 || first == rule.op[0] : text.size() < 5;
    default:
        return false;
    }
}

/// Answers at once what needs no search: the empty text (which nothing
/// accepts), numbers and variables, what a rule refuses at once, refuted
/// questions and remembered answers. Answers about pieces of fewer than four
/// characters are not remembered: finding them anew costs less.
bool Grammar::settle(Question q, Range text, bool record, Answer& out)
{
    out = Answer{};
    if (text.empty())
        return true;
    if (Rules[q].form == Form::Leaf) {
        leaf(q, text, out);
        return true;
    }
    if (refusesAtOnce(q, text))
        return true;
    if (record)
        return false;
    if (shortcuts_ != nullptr && shortcuts_->refutes(q, text))
        return true;
    return text.size() >= RememberedLength && state_.memo.find(q, text, out);
}

bool Grammar::ask(Question q, Range text, Answer& out)
{
    return run(q, text, false, out);
}

Classification Grammar::classify(Range text)
{
    record_ = Classification{};
    run(qTerm, text, true, record_.answer);
    return record_;
}

bool Grammar::run(Question q, Range text, bool record, Answer& out)
{
    if (settle(q, text, record, out))
        return out.ok;
    std::vector<Frame>& frames = state_.frames;
    frames.clear();
    frames.reserve(64);
    frames.push_back(newFrame(q, text, record));
    Answer result;
    for (;;) {
        Request next{};
        if (resume(frames.back(), result, next)) {
            if (next.unsettled || !settle(next.q, next.text, next.record, result))
                frames.push_back(newFrame(next.q, next.text, next.record));
            continue;
        }
        const Frame& done = frames.back();
        if (!done.record && done.text.size() >= RememberedLength)
            state_.memo.insert(done.q, done.text, result);
        frames.pop_back();
        if (frames.empty()) {
            out = result;
            return out.ok;
        }
    }
}

bool Grammar::resume(Frame& f, Answer& result, Request& next)
{
    switch (Rules[f.q].form) {
    case Form::FirstOf:
        return stepFirstOf(f, result, next);
    case Form::Split:
        return stepSplit(f, result, next);
    default:
        return stepOther(f, result, next);
    }
}

bool Grammar::stepFirstOf(Frame& f, Answer& result, Request& next)
{
    const Rule& rule = Rules[f.q];
    if (f.step > 0 && result.ok) {
        const Question by = rule.alternatives[f.step - 1];
        if (rule.delivery == Delivery::Answer) {
            result.by = by;
            return false;
        }
        Answer a;
        a.ok = true;
        a.a = by == qBracketed ? result.a : f.text;
        if (rule.delivery == Delivery::PowerKind)
            a.kind = by == qNumber ? powerKind(result.value) : okPower;
        result = a;
        return false;
    }
    // Alternatives answered at once are passed over here, without a frame.
    while (f.step < rule.count) {
        const Question alternative = rule.alternatives[f.step++];
        const bool record = f.record && records(alternative);
        if (!settle(alternative, f.text, record, result)) {
            next = Request{alternative, f.text, record, true};
            return true;
        }
        if (result.ok)
            return stepFirstOf(f, result, next);
    }
    result = Answer{};
    return false;
}

// ---------------------------------------------------------------------------
// Splits
//
// A one-character operator is scanned for from the left; one in the first
// position ends the search at once, as does one in the last position. DIV
// and MOD are searched for likewise, except that an occurrence in the first
// position is passed over. Both halves must have balanced bracket counts
// (the arguments of a call excepted); then the left half must belong to the
// rule's left set and the right half to its right set. The halves of every
// split tried are what a syntax error reports; with shortcuts only the last
// one is looked at again.

Range Grammar::leftOf(const Frame& f, std::uint32_t k) const
{
    return Range{f.text.start, k};
}

Range Grammar::rightOf(const Frame& f, std::uint32_t k) const
{
    return Range{k + Rules[f.q].width, f.text.end};
}

void Grammar::recordTried(const Frame& f, Range left, Range right)
{
    if (!f.record)
        return;
    record_.tried = true;
    record_.left = left;
    record_.right = right;
}

void Grammar::startScan(Frame& f) const
{
    f.last = f.text.end;
    f.narrow = shortcuts_ != nullptr && shortcuts_->narrows(f.q, f.text);
    f.cursor = Rules[f.q].width == 1 ? f.text.start + 1 : f.text.start;
}

std::uint32_t Grammar::nextSplit(const Frame& f) const
{
    const Rule& rule = Rules[f.q];
    const std::string_view word(rule.op, rule.width);
    const std::uint32_t end = f.text.end;
    for (std::uint32_t from = f.cursor; from < end;) {
        std::uint32_t k = end;
        if (f.narrow) {
            k = shortcuts_->nextCandidate(f.q, f.text, from);
        } else {
            const std::size_t hit = source_.view(Range{from, end}).find(word);
            if (hit != std::string_view::npos)
                k = from + static_cast<std::uint32_t>(hit);
        }
        if (k >= end)
            return end;
        if (rule.width == 1)
            return k == end - 1 ? end : k;
        if (k == f.text.start) { // DIV or MOD in the first position: go on behind it
            from = k + 1;
            continue;
        }
        return k + 3 >= end ? end : k;
    }
    return end;
}

std::uint32_t Grammar::lastSplit(const Frame& f) const
{
    const Rule& rule = Rules[f.q];
    const std::string_view word(rule.op, rule.width);
    // The plain scan tries occurrences that leave a character after them and,
    // for one character, one before them; DIV and MOD in the first position
    // it passes over.
    if (f.text.size() < rule.width + 2u)
        return f.text.end;
    const std::size_t hit = source_.view(Range{f.text.start, f.text.end - 1}).rfind(word);
    if (hit == std::string_view::npos || hit == 0)
        return f.text.end;
    return f.text.start + static_cast<std::uint32_t>(hit);
}

/// After a narrowed scan found nothing: the split the plain scan would have
/// tried last, so that the classification reports its halves. The left half
/// is reported as its set delivers it, which differs from the text only for
/// a bracketed term; only then is its set asked.
bool Grammar::reviewLastSplit(Frame& f, Request& next)
{
    const std::uint32_t k = lastSplit(f);
    if (k == f.text.end || k == f.last)
        return false;
    f.k = k;
    const Range left = leftOf(f, k);
    const Range right = rightOf(f, k);
    if ((Rules[f.q].balancedHalves && !(source_.balanced(left) && source_.balanced(right))) ||
        refusesAtOnce(qBracketed, left)) {
        recordTried(f, left, right);
        return false;
    }
    f.step = 4;
    next = Request{Rules[f.q].left, left, false};
    return true;
}

bool Grammar::stepSplit(Frame& f, Answer& result, Request& next)
{
    const Rule& rule = Rules[f.q];
    for (;;) {
        switch (f.step) {
        case 0:
            startScan(f);
            f.step = 1;
            break;
        case 1: {
            const std::uint32_t k = nextSplit(f);
            if (k == f.text.end) {
                if (f.record && f.narrow && reviewLastSplit(f, next))
                    return true;
                result = Answer{};
                return false;
            }
            f.k = f.last = k;
            f.cursor = k + 1;
            const Range left = leftOf(f, k);
            const Range right = rightOf(f, k);
            if (rule.balancedHalves && !(source_.balanced(left) && source_.balanced(right))) {
                recordTried(f, left, right);
                break;
            }
            f.step = 2;
            next = Request{rule.left, left, false};
            return true;
        }
        case 2: // the left half answered
            if (!result.ok) {
                recordTried(f, leftOf(f, f.k), rightOf(f, f.k));
                f.step = 1;
                break;
            }
            f.work = result;
            f.step = 3;
            next = Request{rule.right, rightOf(f, f.k), false};
            return true;
        case 3: { // the right half answered
            if (!result.ok) {
                recordTried(f, f.work.a, rightOf(f, f.k));
                f.step = 1;
                break;
            }
            Answer a;
            a.ok = true;
            a.kind = rule.right == qExponent ? result.kind : rule.kind;
            a.a = f.work.a;
            a.b = result.a;
            recordTried(f, a.a, a.b);
            result = a;
            return false;
        }
        default: // the left half of the reviewed last split answered
            recordTried(f, result.ok ? result.a : leftOf(f, f.k), rightOf(f, f.k));
            result = Answer{};
            return false;
        }
    }
}

// ---------------------------------------------------------------------------
// Negation, brackets, calls

bool Grammar::stepOther(Frame& f, Answer& result, Request& next)
{
    const Rule& rule = Rules[f.q];
    const Range text = f.text;
    if (f.step == 1) {
        if (!result.ok || f.q == qFunction2)
            return false; // a call of two arguments delivers what the split does
        Answer a;
        a.ok = true;
        a.a = result.a;
        result = a;
        return false;
    }
    f.step = 1;
    switch (rule.form) {
    case Form::Negation:
        next = Request{rule.operand, Range{text.start + 1, text.end}, false};
        return true;
    case Form::Bracketed:
        next = Request{rule.operand, Range{text.start + 1, text.end - 1}, false};
        return true;
    default: { // a call: the name before the first "(", found in its table
        const std::uint32_t p = firstBracket(text);
        if (p == text.end || p == text.start)
            break;
        const bool two = f.q == qFunction2;
        const TFunctionTable& table = two ? tables_.twoArg : tables_.oneArg;
        if (table.find(source_.view(Range{text.start, p})) == nullptr)
            break;
        next = two ? Request{rule.operand, Range{p + 1, text.end - 1}, f.record}
                   : Request{rule.operand, Range{p, text.end}, false};
        return true;
    }
    }
    result = Answer{};
    return false;
}

} // namespace kurvaro::compiler
