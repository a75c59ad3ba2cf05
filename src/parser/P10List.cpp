#include "parser/P10List.h"

#include "parser/CellPool.h"

#include <algorithm>

namespace kurvaro::compiler {

ListBuilder::ListBuilder(const TVariableTable& variables)
    : variables_(variables), pool_(cellpool::Pool::local())
{
    anchor_ = cellpool::newNode(pool_);
    anchor_->Kind = okVariable;
}

ListBuilder::~ListBuilder()
{
    if (!finished_)
        discard();
}

ListBuilder::Opened ListBuilder::open(const Slot& term, OpKind kind, OpRoutine routine,
                                      Slot& operand)
{
    const int level = term.level + 1;
    if (level > MaxLevel)
        return Opened::TooDeep;
    deepest_ = std::max(deepest_, level);
    const int position = used_[level] + 1;
    if (position > SlotsPerLevel)
        return Opened::TooWide;
    OpNode* node = cellpool::newNode(pool_);
    node->Kind = kind;
    node->Routine = routine;
    slots_[level][position] = node;
    created_[level] = position;
    node->Dest = cellpool::newCell(pool_, 0.0);
    deliver(term, node->Dest);
    // A one-operand node fills its slot now; a two-operand one when its
    // second operand comes.
    const bool oneOperand = kind == okNegate || (kind >= okSquare && kind <= okFunction1);
    if (oneOperand)
        ++used_[level];
    operand = Slot{level, position, 1};
    return Opened::Yes;
}

OpNode* ListBuilder::finish(OpKind rootKind)
{
    finished_ = true;
    if (deepest_ == 0) {
        // A single variable or number: the anchor alone, its own result.
        OpNode* only = anchor_;
        anchor_ = nullptr;
        only->Kind = rootKind;
        only->Dest = only->Arg1;
        return only;
    }
    OpNode* head = nullptr;
    OpNode** tail = &head;
    for (int level = deepest_; level >= 1; --level)
        for (int p = 1; p <= created_[level]; ++p) {
            *tail = slots_[level][p];
            tail = &(*tail)->Next;
        }
    *tail = nullptr;
    // The anchor only collected the root's result cell, which the last node owns.
    cellpool::deleteNode(pool_, anchor_);
    anchor_ = nullptr;
    return head;
}

void ListBuilder::discard()
{
    // Everything built so far, chained and released like a list.
    OpNode* head = nullptr;
    OpNode** tail = &head;
    auto append = [&](OpNode* n) {
        if (n != nullptr) {
            n->Next = nullptr;
            *tail = n;
            tail = &n->Next;
        }
    };
    append(anchor_);
    anchor_ = nullptr;
    for (int level = 1; level <= deepest_; ++level)
        for (int p = 1; p <= created_[level]; ++p)
            append(slots_[level][p]);
    FreeOperationList(head, variables_);
}

} // namespace kurvaro::compiler
