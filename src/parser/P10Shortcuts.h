#pragma once

// Part of the compiler's speed layer: shortcuts for the grammar's search on
// texts the single-pass compiler leaves to it (every refused text among
// them). The grammar confines where operators may stand in an accepted text:
// a "+" or "-" that follows an operand (so that it can only be an addition or
// subtraction) occurs only in sums and differences, a "*" only in products, a
// "/" of a quotient never in its right operand, and so on. Facts gathered in
// one pass over the text (operator positions at every bracket depth) turn
// these into answers in constant time: most questions are refuted at once,
// and a split is tried only where it can succeed.
//
// On a piece of text holding a literal that could raise a fault they refute
// a question only where its search could not reach that literal (see
// StructureShortcuts::readsNoRiskyLiteral), since skipping the question that
// reads it would skip the fault. They need plain names (see Lexicon::plain).

#include "parser/P10Grammar.h"
#include "parser/P10Lexicon.h"
#include "parser/P10Source.h"

#include <cstdint>
#include <vector>

namespace kurvaro::compiler {

class StructureShortcuts final : public Shortcuts
{
public:
    /// Gathers the facts about `source`'s text, whose names `lexicon` knows;
    /// both must outlive the use.
    void prepare(const Source& source, const Lexicon& lexicon);

    bool refutes(Question q, Range text) const override;
    bool narrows(Question q, Range text) const override;
    std::uint32_t nextCandidate(Question q, Range text, std::uint32_t from) const override;

private:
    /// Kinds of character whose positions at each bracket depth are kept.
    enum Class
    {
        cPlus,
        cMinus,
        cFree,     // "+" or "-" after an operand: an addition or subtraction, never a sign
        cFreePlus, // "+" of those
        cStar,
        cSlash,
        cCaret,
        cDiv, // first letter of "DIV"
        cMod, // first letter of "MOD"
        cComma,
        cClassCount
    };

    std::uint16_t classify(std::int32_t i) const;
    bool exponentSign(std::int32_t i) const;
    bool callBracket(std::uint32_t bracket) const;
    void markPieceBounds();
    void markRiskyLiterals();
    bool exponentNeverRead(std::uint32_t caret, std::uint32_t end) const;
    bool usable(Range text) const;
    bool readsNoRiskyLiteral(Range text, std::int32_t poison) const;
    std::int32_t poisonOf(Question q, Range text) const;
    std::int32_t firstOfAny(std::initializer_list<int> classes, Range text) const;
    bool operatorAtAnEnd(Range text) const;
    std::int32_t first(int c, Range text) const;
    std::int32_t last(int c, Range text) const;
    bool has(int c, Range text) const { return first(c, text) >= 0; }
    bool hasAny(std::initializer_list<int> classes, Range text) const;
    std::int32_t from(int c, Range text, std::uint32_t position) const;
    std::int32_t quotientCandidate(int c, Range text) const;

    const Source* source_ = nullptr;
    const Lexicon* lexicon_ = nullptr;
    std::vector<std::uint16_t> classes_;
    std::uint16_t occurring_ = 0;                 // the classes that occur at all
    std::vector<std::int32_t> nextLower_;         // next position whose depth is lower
    std::vector<std::int32_t> marks_;             // prefix count of positions in risky literals
    std::vector<std::uint8_t> pieceEnds_;         // 1 where a piece asked about can end
    std::vector<std::uint8_t> pieceStarts_;       // 1 where one can begin
    std::vector<std::int32_t> next_[cClassCount]; // next position >= i of the class, same depth
    std::vector<std::int32_t> prev_[cClassCount]; // last position < i of the class, same depth
    std::vector<std::int32_t> seen_;
};

} // namespace kurvaro::compiler
