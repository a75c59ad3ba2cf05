#pragma once

// Part of the compiler's speed layer: a compiler that reads the text once,
// left to right, and builds the list by operator precedence. It decides the
// texts that the grammar accepts in the ordinary way and builds for them the
// list the grammar's walk builds. Everything else - every refused text, the
// grammar's quirks (a literal such as "E-5" or a lone sign, a "+" sign, a
// literal that could fault) and a list beyond the nesting or width limits -
// it leaves to the grammar, which then decides alone, so that every error
// and message comes from the grammar.
//
// How the grammar's recognisers read as precedence (P10Grammar.cpp):
//   "+" binds loosest and groups to the right:  A+B+C is A+(B+C);
//   "-" next, to the left:                      A-B-C is (A-B)-C;
//   "*" next, to the right:                     A*B*C is A*(B*C);
//   "/", DIV and MOD next, to the left:         A/BDIVC is (A/B) DIV C;
//   a leading "-" next (negation), then "^", which does not chain.
// The forms allowed on each side add conditions that the reductions check:
// a negation stands only where a term, a sum's operand or a factor's first
// operand begins and never as the last operand of a sum, difference or
// product, nor right of "/", DIV, MOD or "^"; a difference does not begin
// with "-"; the base and the exponent of "^" are a variable, a number, a
// bracketed term or a call.

#include "parser/P10Lexicon.h"
#include "parser/P10Source.h"
#include "parser/Parser10.h"

#include <cstdint>
#include <vector>

namespace kurvaro::compiler {

/// Buffers a thread's single-pass compiles reuse.
struct SinglePassState
{
    struct Node
    {
        OpKind kind = okVariable;
        std::int32_t a = -1; // operand nodes
        std::int32_t b = -1;
        union {
            double* cell = nullptr; // a variable's
            double value;           // a number's
            OpRoutine routine;      // a call's
        };
    };
    struct Value
    {
        std::int32_t node = -1;
        std::uint8_t shape = 0;
    };
    struct Context
    {
        std::uint8_t kind = 0;
        OpRoutine routine = nullptr;
        std::uint32_t operators = 0;
        std::uint32_t values = 0;
        bool comma = false;
    };
    struct Visit // plain data: the emission's stack is not initialised
    {
        std::int32_t node; // an operator
        int level;         // the slot of its operands
        int position;
        std::uint8_t phase; // operands visited so far
    };
    std::vector<Node> nodes;
    std::vector<Value> values;
    std::vector<std::uint8_t> operators;
    std::vector<Context> contexts;
};

/// The list for `source`'s text, or null when the text is left to the grammar.
/// Needs plain names (Lexicon::plain) and the fixed number format.
OpNode* compileSinglePass(const Source& source, const Lexicon& lexicon,
                          const TVariableTable& variables, SinglePassState& state);

} // namespace kurvaro::compiler
