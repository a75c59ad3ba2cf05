#pragma once

// The expression grammar: the recognisers that decide which texts compile,
// into which terms, and what a refused text reports. It is the one place that
// decides acceptance; everything else in the compiler only makes it faster.
//
// There is no tokeniser. A text is offered to recognisers that each answer
// yes or no: a two-operand recogniser tries the occurrences of its operator
// from the left and takes the first split whose halves have balanced bracket
// counts and belong to the forms allowed on each side. The order of the
// recognisers and these forms make the grammar's precedence and
// associativity. The table of recognisers is in P10Grammar.cpp.
//
// The search runs on a stack of its own, so that the depth of a text costs
// memory in proportion to its length and never the thread's stack, and it
// remembers every answer for the duration of a compile. A speed layer may
// hand it Shortcuts that rule out questions and split positions; the answers
// stay the grammar's own.

#include "parser/P10Source.h"
#include "parser/Parser10.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kurvaro::compiler {

/// The questions the grammar answers about a piece of text: one per
/// recogniser and one per set of forms allowed as an operand.
enum Question : std::uint8_t
{
    qNumber,
    qVariable,
    qBracketed,
    qNegation,
    qPlus,
    qMinus,
    qTimes,
    qDiv,
    qMod,
    qSlash,
    qPower,
    qFunction1,
    qFunction2,
    qArguments,
    qValidTerm,
    qTerm, // the walk's classification of a term
    qNegOperand,
    qPlusLeft,
    qPlusRight,
    qMinusRight,
    qTimesLeft,
    qSlashRight,
    qPowerLeft,
    qExponent,
    qQuestionCount
};

/// A recogniser's answer and what it delivers.
struct Answer
{
    bool ok = false;
    Question by = qQuestionCount; ///< for the walk's classification: the recogniser that accepted
    OpKind kind = okVariable;     ///< a split's kind (the power split's from its exponent)
    Range a;                      ///< first delivered text: operand, argument or inner text
    Range b;                      ///< second delivered text
    double value = 0.0;           ///< a number's value
};

/// The walk's classification of a term: the recogniser that accepted it, or
/// the halves of the last split tried, which a syntax error reports.
struct Classification
{
    Answer answer;
    bool tried = false;
    Range left;
    Range right;
};

/// What a search may skip, provided by the speed layer. Both answers must be
/// certain: a refuted question would have answered no without raising a fault,
/// and a split position passed over would have failed without raising one.
class Shortcuts
{
public:
    virtual ~Shortcuts() = default;
    /// True when `q` certainly refuses `text`.
    virtual bool refutes(Question q, Range text) const = 0;
    /// True when the split `q` of `text` may try only nextCandidate's positions.
    virtual bool narrows(Question q, Range text) const = 0;
    /// The first position at or after `from` where the split `q` of `text`
    /// could succeed, or text.end.
    virtual std::uint32_t nextCandidate(Question q, Range text, std::uint32_t from) const = 0;
};

/// The name tables and number format a compile uses.
struct Tables
{
    const TVariableTable& variables;
    const TFunctionTable& oneArg;
    const TFunctionTable& twoArg;
    bool pascalNumberFormat;
};

/// Reads a number literal: "PI", "-PI", or an optional sign, digits with at
/// most one decimal separator (possibly none at all, which reads as 0) and an
/// optional exponent "E" with optional sign and at least one digit. The fixed
/// format uses "." and accepts an empty mantissa; the locale format uses the C
/// library's separator and wants a digit. Raises EOverflow beyond the double
/// range.
bool readNumber(std::string_view text, bool pascalNumberFormat, char separator, double& value);

/// The value of a literal of an optional sign, digits and at most one
/// `point`, 18 digits at most, as readNumber reads it; false for any other
/// text.
bool readPlainDecimal(std::string_view text, char point, double& value);

/// The power kind an exponent literal gives: square, cube, fourth power, an
/// integer power for other integers of 32 bits, the general power otherwise.
/// Raises EInvalidOp for a magnitude of 2^63 or more.
OpKind powerKind(double exponent);

/// Remembered answers of one compile, keyed by question and text.
class Memo
{
public:
    /// Empties the table for a text of `length` characters.
    void begin(std::size_t length);
    bool find(Question q, Range text, Answer& out) const;
    void insert(Question q, Range text, const Answer& answer);
    /// The slots the table holds.
    std::size_t capacity() const { return table_.size(); }

private:
    struct Entry
    {
        std::uint32_t start;
        std::uint32_t length; // 0: an empty slot
        std::uint32_t aStart;
        std::uint32_t aEnd;
        std::uint8_t question;
        std::uint8_t ok;
        std::uint8_t kind;
    };
    std::size_t slot(Question q, Range text) const;
    void grow();

    std::vector<Entry> table_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
    std::size_t limit_ = 0;
};

/// One question under way on the grammar's own stack.
struct Frame
{
    Question q = qQuestionCount;
    std::uint8_t step = 0;
    bool record = false; // writes the halves it tries into the classification
    bool narrow = false; // tries only the split positions the shortcuts name
    Range text;
    std::uint32_t cursor = 0; // where a split's scan goes on
    std::uint32_t k = 0;      // the split position being tried
    std::uint32_t last = 0;   // the last split position tried
    Answer work;
};

/// Buffers a thread's compiles reuse.
struct GrammarState
{
    Memo memo;
    std::vector<Frame> frames;
};

class Grammar
{
public:
    Grammar(const Source& source, const Tables& tables, GrammarState& state,
            const Shortcuts* shortcuts);

    /// Asks `q` about `text`.
    bool ask(Question q, Range text, Answer& out);
    /// The walk's classification: variable, number, negation, the splits in
    /// the order plus, minus, times, DIV, MOD, slash, power, then the calls.
    Classification classify(Range text);

    double* variableCell(Range text) const;
    /// The routine of a call accepted by qFunction1 or qFunction2.
    OpRoutine routine(Question call, Range text) const;

private:
    struct Request
    {
        Question q;
        Range text;
        bool record;
        bool unsettled = false; // settle() has been asked and answered false
    };

    bool run(Question q, Range text, bool record, Answer& out);
    bool settle(Question q, Range text, bool record, Answer& out);
    bool leaf(Question q, Range text, Answer& out) const;
    bool resume(Frame& f, Answer& result, Request& next);
    bool stepFirstOf(Frame& f, Answer& result, Request& next);
    bool stepSplit(Frame& f, Answer& result, Request& next);
    bool stepOther(Frame& f, Answer& result, Request& next);
    bool refusesAtOnce(Question q, Range text) const;
    void startScan(Frame& f) const;
    std::uint32_t nextSplit(const Frame& f) const;
    std::uint32_t lastSplit(const Frame& f) const;
    bool reviewLastSplit(Frame& f, Request& next);
    void recordTried(const Frame& f, Range left, Range right);
    Range leftOf(const Frame& f, std::uint32_t k) const;
    Range rightOf(const Frame& f, std::uint32_t k) const;
    std::uint32_t firstBracket(Range text) const;

    const Source& source_;
    const Tables& tables_;
    GrammarState& state_;
    const Shortcuts* shortcuts_;
    char separator_ = '.';
    std::size_t longestVariable_ = 0;
    Classification record_;
};

} // namespace kurvaro::compiler
