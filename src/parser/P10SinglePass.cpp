#include "parser/P10SinglePass.h"

#include "parser/P10Grammar.h"
#include "parser/P10List.h"

#include <array>
#include <cmath>

namespace kurvaro::compiler {

namespace {

using Node = SinglePassState::Node;
using Value = SinglePassState::Value;
using Context = SinglePassState::Context;
using Visit = SinglePassState::Visit;

enum Operator : std::uint8_t
{
    opPlus,
    opMinus,
    opTimes,
    opDiv,
    opMod,
    opSlash,
    opNegation,
    opNegatedLiteral, // "-" before a literal that is the base of "^": "-2^X" is -(2^X)
    opPower,
};

int precedence(std::uint8_t op)
{
    static constexpr int table[] = {1, 2, 3, 4, 4, 4, 5, 5, 6};
    return table[op];
}

bool groupsToTheRight(std::uint8_t op)
{
    return op == opPlus || op == opTimes;
}

/// What the grammar's operand sets need to know of a value.
enum Shape : std::uint8_t
{
    sPrimary = 1,         // variable, number, bracketed term or call
    sLiteral = 2,         // a number as written, not bracketed
    sNegation = 4,        // "-" and its operand, not bracketed
    sPower = 8,           // "^", or a negated literal the sets take as a power of it
    sStartsWithMinus = 16 // its text begins with "-"
};

enum ContextKind : std::uint8_t
{
    cRoot,
    cGroup,
    cCall1,
    cCall2
};

bool isLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

class SinglePass
{
public:
    SinglePass(const Source& source, const Lexicon& lexicon, SinglePassState& state)
        : s_(source.text), end_(source.whole.end), lexicon_(lexicon), state_(state),
          start_(source.whole.start)
    {
    }

    /// Reads the whole text into a tree; false when it is left to the grammar.
    bool read();
    OpNode* emit(const TVariableTable& variables);

private:
    bool operand(std::uint32_t& i);
    bool negation(std::uint32_t& i);
    bool word(std::uint32_t& i, bool& operandNext);
    std::uint32_t literalEnd(std::uint32_t p) const;
    bool endsOperand(std::uint32_t j) const;
    bool isWord(std::uint32_t j, const char* w) const
    {
        return j + 3 <= end_ && s_[j] == w[0] && s_[j + 1] == w[1] && s_[j + 2] == w[2];
    }
    bool pushLiteral(std::uint32_t from, std::uint32_t to, std::uint8_t shape);
    void pushLeaf(const Node& node, std::uint8_t shape);
    bool binary(std::uint8_t op);
    bool reduce();
    bool reduceTo(std::uint32_t operators);
    bool close();
    bool comma();
    Value pop();
    std::int32_t addNode(const Node& n)
    {
        nodes_[nodeCount_] = n;
        return static_cast<std::int32_t>(nodeCount_++);
    }
    void pushValue(std::int32_t node, std::uint8_t shape)
    {
        values_[valueCount_++] = Value{node, shape};
    }
    void pushOperator(std::uint8_t op) { operators_[operatorCount_++] = op; }

    const std::string& s_;
    const std::uint32_t end_;
    const Lexicon& lexicon_;
    SinglePassState& state_;
    const std::uint32_t start_;
    // The stacks of the reading, in the state's buffers.
    Node* nodes_ = nullptr;
    Value* values_ = nullptr;
    std::uint8_t* operators_ = nullptr;
    std::uint32_t nodeCount_ = 0;
    std::uint32_t valueCount_ = 0;
    std::uint32_t operatorCount_ = 0;
};

bool SinglePass::endsOperand(std::uint32_t j) const
{
    const char c = s_[j];
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^' || c == ')' || c == ',' ||
           isWord(j, "DIV") || isWord(j, "MOD");
}

/// The end of the literal starting at `p` (digits with at most one ".", an
/// optional exponent), or 0 when what follows is not what may follow an
/// operand.
std::uint32_t SinglePass::literalEnd(std::uint32_t p) const
{
    std::uint32_t j = p;
    bool point = false;
    while (j < end_ && (isDigit(s_[j]) || (s_[j] == '.' && !point))) {
        point = point || s_[j] == '.';
        ++j;
    }
    if (j < end_ && s_[j] == 'E') {
        std::uint32_t k = j + 1;
        if (k < end_ && (s_[k] == '+' || s_[k] == '-'))
            ++k;
        if (!(k < end_ && isDigit(s_[k])))
            return 0;
        while (k < end_ && isDigit(s_[k]))
            ++k;
        j = k;
    }
    return j < end_ && !endsOperand(j) ? 0 : j;
}

void SinglePass::pushLeaf(const Node& node, std::uint8_t shape)
{
    pushValue(addNode(node), shape);
}

bool SinglePass::pushLiteral(std::uint32_t from, std::uint32_t to, std::uint8_t shape)
{
    Node n;
    n.kind = okConstant;
    const std::string_view literal = std::string_view(s_).substr(from, to - from);
    if (!readPlainDecimal(literal, '.', n.value)) {
        try {
            readNumber(literal, true, '.', n.value);
        } catch (const EMathError&) {
            return false; // beyond the double range: the grammar raises the fault
        }
    }
    pushLeaf(n, shape);
    return true;
}

/// A "-" where an operand begins: a signed literal, or a negation.
bool SinglePass::negation(std::uint32_t& i)
{
    const std::uint32_t p = i + 1;
    const char next = p < end_ ? s_[p] : '\0';
    std::uint32_t j = 0;
    if (isDigit(next) || next == '.') {
        j = literalEnd(p);
    } else if (p + 2 <= end_ && s_.compare(p, 2, "PI") == 0) {
        // "-PI" is a literal too, unless the letters go on into a name.
        if (p + 2 == end_ || endsOperand(p + 2))
            j = p + 2;
    }
    if (j != 0) {
        const bool powered = j < end_ && s_[j] == '^';
        if (powered)
            pushOperator(opNegatedLiteral);
        if (!pushLiteral(powered ? p : i, j,
                         sPrimary | sLiteral | (powered ? 0 : sStartsWithMinus)))
            return false;
        i = j;
        return true;
    }
    if (!(isLetter(next) || next == '('))
        return false; // a lone sign, or a sign before a sign: the grammar's
    pushOperator(opNegation);
    i = p;
    return true;
}

/// A run of letters where an operand begins: a variable, "PI" or a call,
/// up to the first DIV or MOD in the run.
bool SinglePass::word(std::uint32_t& i, bool& operandNext)
{
    // The name ends at the first DIV or MOD or where the letters end (r).
    std::uint32_t k = i;
    while (k < end_ && isLetter(s_[k]) && !isWord(k, "DIV") && !isWord(k, "MOD"))
        ++k;
    const std::uint32_t r = k < end_ && isLetter(s_[k]) ? end_ + 1 : k;
    if (k == i || (k == r && r < end_ && (isDigit(s_[r]) || s_[r] == '.')))
        return false;
    const std::string_view name = std::string_view(s_).substr(i, k - i);
    const Lexicon::Entry& entry = lexicon_.find(name);
    if (k == r && r < end_ && s_[r] == '(') {
        if (entry.kind != Lexicon::Kind::Function1 && entry.kind != Lexicon::Kind::Function2)
            return false;
        const bool two = entry.kind == Lexicon::Kind::Function2;
        state_.contexts.push_back(
            Context{two ? cCall2 : cCall1, entry.routine, operatorCount_, valueCount_, false});
        i = r + 1;
        return true;
    }
    // An "E" before a signed digit may begin a literal ("E-5"): the grammar's.
    if (name.back() == 'E' && k == r && r + 1 < end_ && (s_[r] == '+' || s_[r] == '-') &&
        isDigit(s_[r + 1]))
        return false;
    Node n;
    if (name == "PI") {
        n.kind = okConstant;
        n.value = 3.141592653589793;
        pushLeaf(n, sPrimary | sLiteral);
    } else {
        if (entry.kind != Lexicon::Kind::Variable)
            return false;
        n.cell = entry.cell;
        pushLeaf(n, sPrimary);
    }
    i = k;
    operandNext = false;
    return true;
}

bool SinglePass::operand(std::uint32_t& i)
{
    const char c = s_[i];
    if (isDigit(c) || c == '.') {
        const std::uint32_t j = literalEnd(i);
        if (j == 0 || !pushLiteral(i, j, sPrimary | sLiteral))
            return false;
        i = j;
        return true;
    }
    if (c == '-')
        return negation(i);
    return false;
}

Value SinglePass::pop()
{
    return values_[--valueCount_];
}

/// Applies the operator on top to its operands, checking the forms the
/// grammar allows on each side.
bool SinglePass::reduce()
{
    const std::uint8_t op = operators_[--operatorCount_];
    Node n;
    Value b = pop();
    if (op == opNegation || op == opNegatedLiteral) {
        // The operand of a negation: a variable, bracketed term, call or power.
        const bool power = (b.shape & sPower) != 0;
        if (op == opNegatedLiteral ? !power
                                   : !(power || (b.shape & (sPrimary | sLiteral)) == sPrimary))
            return false;
        n.kind = okNegate;
        n.a = b.node;
        pushValue(addNode(n), static_cast<std::uint8_t>(sStartsWithMinus |
                                                        (op == opNegation ? sNegation : sPower)));
        return true;
    }
    const Value a = pop();
    std::uint8_t shape = a.shape & sStartsWithMinus;
    switch (op) {
    case opPower: {
        if (!(a.shape & sPrimary) || !(b.shape & sPrimary))
            return false;
        n.kind = okPower;
        if (b.shape & sLiteral) {
            const double e = nodes_[b.node].value;
            if (!(std::fabs(e) < 9223372036854775808.0))
                return false; // the grammar raises the fault
            n.kind = powerKind(e);
        }
        shape = sPower;
        break;
    }
    case opDiv:
    case opMod:
    case opSlash:
        if (!(b.shape & (sPrimary | sPower)))
            return false;
        n.kind = op == opDiv ? okDiv : op == opMod ? okMod : okDivide;
        break;
    case opTimes:
    case opPlus:
    case opMinus:
        if (b.shape & sNegation)
            return false;
        if (op == opMinus && (a.shape & sStartsWithMinus))
            return false; // a difference that begins with "-" is not split at "-"
        n.kind = op == opTimes ? okMultiply : op == opPlus ? okAdd : okSubtract;
        break;
    default:
        return false;
    }
    n.a = a.node;
    n.b = b.node;
    pushValue(addNode(n), shape);
    return true;
}

bool SinglePass::reduceTo(std::uint32_t operators)
{
    while (operatorCount_ > operators)
        if (!reduce())
            return false;
    return true;
}

bool SinglePass::binary(std::uint8_t op)
{
    const std::uint32_t base = state_.contexts.back().operators;
    while (operatorCount_ > base) {
        const std::uint8_t top = operators_[operatorCount_ - 1];
        if (precedence(top) < precedence(op) ||
            (precedence(top) == precedence(op) && groupsToTheRight(op)))
            break;
        if (!reduce())
            return false;
    }
    pushOperator(op);
    return true;
}

/// ")": the bracketed term or the call's argument(s) become one operand.
bool SinglePass::close()
{
    const Context c = state_.contexts.back();
    if (c.kind == cRoot || !reduceTo(c.operators))
        return false;
    if ((c.kind == cCall2) != c.comma)
        return false;
    state_.contexts.pop_back();
    Node n;
    if (c.kind == cGroup) {
        values_[valueCount_ - 1].shape = sPrimary;
        return true;
    }
    if (c.kind == cCall2)
        n.b = pop().node;
    n.a = pop().node;
    n.kind = c.kind == cCall2 ? okFunction2 : okFunction1;
    n.routine = c.routine;
    pushValue(addNode(n), sPrimary);
    return true;
}

/// ",": ends the first argument of a call of two.
bool SinglePass::comma()
{
    Context& c = state_.contexts.back();
    if (c.kind != cCall2 || c.comma || !reduceTo(c.operators))
        return false;
    c.comma = true;
    return true;
}

bool SinglePass::read()
{
    // Every character adds one node, value and operator at most.
    const std::size_t room = end_ - start_ + 2;
    if (state_.nodes.size() < room) {
        state_.nodes.resize(room);
        state_.values.resize(room);
        state_.operators.resize(room);
    }
    nodes_ = state_.nodes.data();
    values_ = state_.values.data();
    operators_ = state_.operators.data();
    state_.contexts.clear();
    state_.contexts.push_back(Context{cRoot, nullptr, 0, 0, false});
    bool operandNext = true;
    for (std::uint32_t i = start_; i < end_;) {
        const char c = s_[i];
        if (operandNext) {
            if (c == '(') {
                state_.contexts.push_back(
                    Context{cGroup, nullptr, operatorCount_, valueCount_, false});
                ++i;
            } else if (isLetter(c)) {
                if (!word(i, operandNext))
                    return false;
            } else {
                const std::uint32_t values = valueCount_;
                if (!operand(i))
                    return false;
                operandNext = valueCount_ == values; // a negation wants its operand
            }
            continue;
        }
        const int op = c == '+'   ? opPlus
                       : c == '-' ? opMinus
                       : c == '*' ? opTimes
                       : c == '/' ? opSlash
                       : c == '^' ? opPower
                                  : -1;
        if (op >= 0) {
            if (!binary(static_cast<std::uint8_t>(op)))
                return false;
            ++i;
            operandNext = true;
        } else if (isWord(i, "DIV") || isWord(i, "MOD")) {
            if (!binary(c == 'D' ? opDiv : opMod))
                return false;
            i += 3;
            operandNext = true;
        } else if (c == ')') {
            if (!close())
                return false;
            ++i;
        } else if (c == ',') {
            if (!comma())
                return false;
            ++i;
            operandNext = true;
        } else {
            return false;
        }
    }
    return !operandNext && state_.contexts.size() == 1 && reduceTo(0);
}

/// Builds the list, visiting the terms in the order of the grammar's walk.
OpNode* SinglePass::emit(const TVariableTable& variables)
{
    ListBuilder list(variables);
    // An operator's visit lasts while its operands are visited, one level
    // deeper each; the list builder refuses a node below level 20, so the path
    // from the whole term down fits.
    std::array<Visit, ListBuilder::MaxLevel + 2> visits;
    std::size_t depth = 0;
    // A variable or number delivers its cell at once; an operator gets its
    // node and is visited.
    auto place = [&](std::int32_t index, const Slot& slot) {
        const Node& n = nodes_[index];
        if (n.kind == okVariable) {
            list.deliver(slot, n.cell);
            return true;
        }
        if (n.kind == okConstant) {
            list.deliverConstant(slot, n.value);
            return true;
        }
        Slot operand;
        const OpRoutine routine = n.kind >= okFunction1 ? n.routine : nullptr;
        if (list.open(slot, n.kind, routine, operand) != ListBuilder::Opened::Yes)
            return false; // beyond the limits: the grammar raises the error
        visits[depth++] = Visit{index, operand.level, operand.position, 0};
        return true;
    };
    const std::int32_t root = values_[valueCount_ - 1].node;
    if (!place(root, Slot{}))
        return nullptr;
    while (depth > 0) {
        Visit& v = visits[depth - 1];
        const Node& n = nodes_[v.node];
        const Slot first{v.level, v.position, 1};
        if (v.phase == 0) {
            v.phase = 1;
            if (!place(n.a, first))
                return nullptr;
        } else if (v.phase == 1 &&
                   ((n.kind >= okAdd && n.kind <= okPower) || n.kind == okFunction2)) {
            v.phase = 2;
            if (!place(n.b, list.second(first)))
                return nullptr;
        } else {
            --depth;
        }
    }
    return list.finish(nodes_[root].kind);
}

} // namespace

OpNode* compileSinglePass(const Source& source, const Lexicon& lexicon,
                          const TVariableTable& variables, SinglePassState& state)
{
    SinglePass pass(source, lexicon, state);
    return pass.read() ? pass.emit(variables) : nullptr;
}

} // namespace kurvaro::compiler
