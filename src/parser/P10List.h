#pragma once

// Builds the operation list of a compile: the slot table of 21 levels of 50
// node references, filled in the order the walk meets the terms, and the list
// chained deepest level first so that every operand is computed before it is
// used. The grammar's walk and the single-pass compiler both build through it,
// so both give the same list for the same terms.

#include "parser/CellPool.h"
#include "parser/Parser10.h"

namespace kurvaro::compiler {

/// Where a term delivers its value: into the node in slot (level, position),
/// as its first operand (side 1) or its second (side 2).
struct Slot
{
    int level = 0;
    int position = 1;
    int side = 1;
};

class ListBuilder
{
public:
    static constexpr int MaxLevel = 20;
    static constexpr int SlotsPerLevel = 50;

    enum class Opened
    {
        Yes,
        TooDeep, ///< the operand terms would lie deeper than level 20
        TooWide, ///< the level has no slot left
    };

    /// Starts with the anchor in slot (0, 1): a node whose first operand
    /// receives the value of the whole expression.
    explicit ListBuilder(const TVariableTable& variables);
    /// Frees everything built unless finish() took it.
    ~ListBuilder();
    ListBuilder(const ListBuilder&) = delete;
    ListBuilder& operator=(const ListBuilder&) = delete;

    /// A variable or number term delivers its cell.
    void deliver(const Slot& term, double* cell)
    {
        OpNode* node = at(term.level, term.position);
        (term.side == 1 ? node->Arg1 : node->Arg2) = cell;
    }
    /// A number term delivers a new cell holding its value.
    void deliverConstant(const Slot& term, double value)
    {
        deliver(term, cellpool::newCell(pool_, value));
    }
    /// An operator term gets its node one level deeper, with a fresh result
    /// cell that it delivers; `operand` is the slot of its first operand.
    Opened open(const Slot& term, OpKind kind, OpRoutine routine, Slot& operand);
    /// The slot of the second operand of a two-operand term opened at `first`.
    Slot second(const Slot& first)
    {
        ++used_[first.level];
        return Slot{first.level, first.position, 2};
    }
    /// The list; `rootKind` is the kind of the whole expression's term.
    OpNode* finish(OpKind rootKind);

private:
    OpNode*& at(int level, int position) { return level == 0 ? anchor_ : slots_[level][position]; }
    void discard();

    const TVariableTable& variables_;
    cellpool::Pool* pool_;
    bool finished_ = false;
    // Only slots 1..created_[level] of each level are ever read.
    OpNode* slots_[MaxLevel + 1][SlotsPerLevel + 1];
    int used_[MaxLevel + 1] = {};
    int created_[MaxLevel + 1] = {};
    int deepest_ = 0;
    OpNode* anchor_ = nullptr;
};

} // namespace kurvaro::compiler
