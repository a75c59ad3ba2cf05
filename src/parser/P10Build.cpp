#include "parser/P10Build.h"

#include "parser/P10Compile.h"
#include "parser/P10Grammar.h"
#include "parser/P10Lexicon.h"
#include "parser/P10List.h"
#include "parser/P10Shortcuts.h"
#include "parser/P10SinglePass.h"
#include "parser/P10Source.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// How a text is compiled
//
// The text is upper-cased (ASCII letters only) and trimmed; a blank inside
// and unequal bracket counts are refused at once. The grammar (P10Grammar)
// then classifies the whole text and, one by one, the operand terms it is
// split into, while the walk below gives every operator term its node in the
// slot table (P10List).
//
// The speed layer comes first and stays out of the grammar's decisions: the
// single-pass compiler (P10SinglePass) builds the list at once for the texts
// it can decide, and for all others the grammar searches with shortcuts
// (P10Shortcuts) that skip only what cannot succeed. Tests and fuzz targets
// switch either off through CompileOptions (P10Compile.h).

namespace kurvaro::compiler {

void Source::prepare(std::string_view raw)
{
    text.assign(raw);
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] == ' ')
        ++first;
    while (last > first && text[last - 1] == ' ')
        --last;
    whole = Range{static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)};
    if (std::memchr(text.data() + first, ' ', last - first) != nullptr)
        throw EExpressionHasBlanks("Expression has blanks");

    std::int32_t open = 0;
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        open += (c == '(' ? 1 : 0) - (c == ')' ? 1 : 0);
    }
    if (open != 0)
        throw EMissMatchingBracket("Missing brackets in expression");
}

void Source::measureDepths()
{
    depth.resize(text.size() + 1);
    std::int32_t d = 0;
    depth[0] = 0;
    present = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        d += (c == '(' ? 1 : 0) - (c == ')' ? 1 : 0);
        depth[i + 1] = d;
        present |= presenceBit(c);
    }
}

namespace {

/// A term on the walk's way: where it delivers its value, and once
/// classified the operator it is and its second operand's text.
struct Visit
{
    Range text;
    Slot slot;
    bool classified = false;
    bool secondDone = false;
    OpKind kind = okVariable;
    Range second;
    Slot operand;
};

Visit visitOf(Range text, Slot slot)
{
    Visit v;
    v.text = text;
    v.slot = slot;
    return v;
}

/// Buffers reused by consecutive compiles of a thread.
struct Scratch
{
    Source source;
    GrammarState grammar;
    std::vector<Visit> visits;
    Lexicon lexicon;
    SinglePassState singlePass;
    StructureShortcuts shortcuts;
};

/// Hands out the thread's scratch; a nested compile gets a fresh one. The
/// thread keeps it for its next compile unless a long text made its buffers
/// large: then they go, so that a refused paste of a million characters does
/// not hold on to hundreds of megabytes.
class ScratchLease
{
public:
    static constexpr std::size_t KeptLength = std::size_t(1) << 16;

    ScratchLease() : scratch_(cached_ != nullptr ? std::move(cached_) : std::make_unique<Scratch>())
    {
    }
    ~ScratchLease()
    {
        if (cached_ == nullptr && scratch_->source.text.capacity() <= KeptLength &&
            scratch_->grammar.memo.capacity() <= 4 * KeptLength)
            cached_ = std::move(scratch_);
    }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;
    Scratch& operator*() { return *scratch_; }

private:
    std::unique_ptr<Scratch> scratch_;
    static thread_local std::unique_ptr<Scratch> cached_;
};

thread_local std::unique_ptr<Scratch> ScratchLease::cached_;

OpKind kindOf(const Answer& a)
{
    switch (a.by) {
    case qVariable:
        return okVariable;
    case qNumber:
        return okConstant;
    case qNegation:
        return okNegate;
    case qPlus:
        return okAdd;
    case qMinus:
        return okSubtract;
    case qTimes:
        return okMultiply;
    case qDiv:
        return okDiv;
    case qMod:
        return okMod;
    case qSlash:
        return okDivide;
    case qFunction1:
        return okFunction1;
    case qFunction2:
        return okFunction2;
    default:
        return a.kind; // the power split's kind
    }
}

bool hasTwoOperands(OpKind k)
{
    return (k >= okAdd && k <= okPower) || k == okFunction2;
}

[[noreturn]] void refuse(const Source& source, const Classification& c, Range text)
{
    std::string message = "Error parsing expression:\r";
    if (c.tried) {
        message.append(source.view(c.left));
        message += '\r';
        message.append(source.view(c.right));
    } else {
        message.append(source.view(text));
    }
    throw ESyntaxError(message);
}

/// The walk: the whole text's term first, then depth-first every operand
/// term, each classified by the grammar and given its node.
OpNode* walk(Grammar& grammar, const Source& source, ListBuilder& list, Range root,
             std::vector<Visit>& visits, bool& errorFlag)
{
    visits.clear();
    visits.push_back(visitOf(root, Slot{}));
    OpKind rootKind = okVariable;
    while (!visits.empty()) {
        Visit& v = visits.back();
        if (v.classified) {
            if (hasTwoOperands(v.kind) && !v.secondDone) {
                v.secondDone = true;
                const Visit next = visitOf(v.second, list.second(v.operand));
                visits.push_back(next);
            } else {
                visits.pop_back();
            }
            continue;
        }
        const Classification c = grammar.classify(v.text);
        if (!c.answer.ok) {
            errorFlag = true;
            refuse(source, c, v.text);
        }
        v.classified = true;
        v.kind = kindOf(c.answer);
        if (visits.size() == 1)
            rootKind = v.kind;
        if (v.kind == okVariable || v.kind == okConstant) {
            if (v.kind == okVariable)
                list.deliver(v.slot, grammar.variableCell(v.text));
            else
                list.deliverConstant(v.slot, c.answer.value);
            visits.pop_back();
            continue;
        }
        const OpRoutine routine =
            v.kind >= okFunction1 ? grammar.routine(c.answer.by, v.text) : nullptr;
        switch (list.open(v.slot, v.kind, routine, v.operand)) {
        case ListBuilder::Opened::TooDeep:
            errorFlag = true;
            throw ETooManyNestings("Expression contains too many nestings");
        case ListBuilder::Opened::TooWide:
            errorFlag = true;
            throw EExpressionTooComplex("Expression is too complex");
        case ListBuilder::Opened::Yes:
            break;
        }
        v.second = c.answer.b;
        const Visit next = visitOf(c.answer.a, v.operand);
        visits.push_back(next);
    }
    return list.finish(rootKind);
}

} // namespace

OpNode* build(std::string_view text, const TVariableTable& variables, const TFunctionTable& oneArg,
              const TFunctionTable& twoArg, bool pascalNumberFormat, bool& errorFlag,
              const CompileOptions& options, DecidedBy* decidedBy)
{
    errorFlag = false;
    ScratchLease lease;
    Scratch& scratch = *lease;
    Source& source = scratch.source;
    source.prepare(text);
    if (decidedBy != nullptr)
        *decidedBy = DecidedBy::Grammar;

    // The speed layer reads names in one way only and numbers in the fixed format.
    bool speed = pascalNumberFormat && (options.singlePass || options.shortcuts);
    if (speed) {
        scratch.lexicon.update(variables, oneArg, twoArg);
        speed = scratch.lexicon.plain();
    }
    if (speed && options.singlePass) {
        if (OpNode* first =
                compileSinglePass(source, scratch.lexicon, variables, scratch.singlePass)) {
            if (decidedBy != nullptr)
                *decidedBy = DecidedBy::SinglePass;
            return first;
        }
    }
    source.measureDepths();
    const Shortcuts* shortcuts = nullptr;
    if (speed && options.shortcuts) {
        scratch.shortcuts.prepare(source, scratch.lexicon);
        shortcuts = &scratch.shortcuts;
    }

    const Tables tables{variables, oneArg, twoArg, pascalNumberFormat};
    scratch.grammar.memo.begin(source.whole.size());
    Grammar grammar(source, tables, scratch.grammar, shortcuts);
    // Brackets around the whole text go, as long as what they enclose is a term.
    Range root = source.whole;
    Answer inner;
    while (grammar.ask(qBracketed, root, inner))
        root = inner.a;
    ListBuilder list(variables);
    return walk(grammar, source, list, root, scratch.visits, errorFlag);
}

} // namespace kurvaro::compiler

namespace kurvaro {

OpNode* BuildOperationList(std::string_view text, const TVariableTable& variables,
                           const TFunctionTable& oneArg, const TFunctionTable& twoArg,
                           bool pascalNumberFormat, bool& errorFlag)
{
    return compiler::build(text, variables, oneArg, twoArg, pascalNumberFormat, errorFlag,
                           compiler::CompileOptions{});
}

} // namespace kurvaro
