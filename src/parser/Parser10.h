#pragma once

// Kurvaro's expression engine: the parser component, the compiled operation
// list and its routines, and the engine's exception classes.
// Standard C++ only.

#include "model/Faults.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kurvaro {

// ---------------------------------------------------------------------------
// Compiled expression

struct OpNode;
using OpRoutine = void (*)(OpNode* node);

/// Operation kinds. The numbers matter: the compiler tests ranges of them.
enum OpKind : std::uint8_t
{
    okVariable = 0,
    okConstant = 1,
    okNegate = 2,
    okAdd = 3,
    okSubtract = 4,
    okMultiply = 5,
    okDivide = 6,
    okMod = 7,
    okDiv = 8,
    okIntPower = 9,
    okPower = 10,
    okSquare = 11,
    okCube = 12,
    okFourthPower = 13,
    okFunction1 = 14,
    okFunction2 = 15,
};

/// One elementary operation of a compiled list. Cells are shared: the Dest of
/// one node is an operand of exactly one later node; variable cells belong to
/// the parser component.
struct OpNode
{
    double* Arg1 = nullptr;
    double* Arg2 = nullptr;
    double* Dest = nullptr;
    OpNode* Next = nullptr;
    OpRoutine Routine = nullptr;
    OpKind Kind = okVariable;
};

// ---------------------------------------------------------------------------
// Exceptions of the compiler

KURVARO_EXCEPTION_CLASS(EMathParserError, Exception)
KURVARO_EXCEPTION_CLASS(ESyntaxError, EMathParserError)
KURVARO_EXCEPTION_CLASS(EExpressionHasBlanks, EMathParserError)
KURVARO_EXCEPTION_CLASS(EExpressionTooComplex, EMathParserError)
KURVARO_EXCEPTION_CLASS(ETooManyNestings, EMathParserError)
KURVARO_EXCEPTION_CLASS(EMissMatchingBracket, EMathParserError)
KURVARO_EXCEPTION_CLASS(EParserInternalError, EMathParserError)
/// A refused insertion into a name table ("In der Stringliste sind Duplikate nicht erlaubt").
KURVARO_EXCEPTION_CLASS(EStringListError, Exception)

// ---------------------------------------------------------------------------
// Name tables

/// A fresh stamp for a name table's contents: a new table and every change
/// get one of their own, so what is derived from a table can be kept while
/// its stamp stays the same.
inline std::uint64_t nextNameTableStamp()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

/// A sorted table from names to values, looked up case-insensitively (ASCII)
/// by bisection. Lookups take a view and never allocate.
template <typename T> class TNameTable
{
public:
    /// What adding a name that is already present does.
    enum class Duplicates
    {
        Replace, ///< keeps one entry and binds it to the new value
        Refuse,  ///< throws EStringListError
    };

    explicit TNameTable(Duplicates duplicates) : duplicates_(duplicates) {}

    void add(std::string_view name, T value)
    {
        const std::size_t i = lowerBound(name);
        if (i < entries_.size() && compareNoCase(entries_[i].first, name) == 0) {
            if (duplicates_ == Duplicates::Refuse)
                throw EStringListError("In der Stringliste sind Duplikate nicht erlaubt");
            entries_[i].second = value;
            stamp_ = nextNameTableStamp();
            return;
        }
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i),
                        {std::string(name), value});
        stamp_ = nextNameTableStamp();
    }

    /// The value bound to `name`, or null.
    const T* find(std::string_view name) const
    {
        const std::size_t i = lowerBound(name);
        if (i < entries_.size() && compareNoCase(entries_[i].first, name) == 0)
            return &entries_[i].second;
        return nullptr;
    }

    std::size_t size() const { return entries_.size(); }
    const std::pair<std::string, T>& at(std::size_t i) const { return entries_[i]; }
    void clear()
    {
        entries_.clear();
        stamp_ = nextNameTableStamp();
    }
    /// Changes with every change of the contents (see nextNameTableStamp).
    std::uint64_t stamp() const { return stamp_; }

    /// Three-way ASCII case-insensitive comparison.
    static int compareNoCase(std::string_view a, std::string_view b)
    {
        const std::size_t n = a.size() < b.size() ? a.size() : b.size();
        for (std::size_t i = 0; i < n; ++i) {
            const int ca = upper(a[i]);
            const int cb = upper(b[i]);
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }

private:
    static int upper(char c)
    {
        const auto u = static_cast<unsigned char>(c);
        return u >= 'a' && u <= 'z' ? u - 32 : u;
    }

    std::size_t lowerBound(std::string_view name) const
    {
        std::size_t lo = 0;
        std::size_t hi = entries_.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (compareNoCase(entries_[mid].first, name) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }

    Duplicates duplicates_;
    std::vector<std::pair<std::string, T>> entries_;
    std::uint64_t stamp_ = nextNameTableStamp();
};

/// Variable name to cell. The cells of "A".."E", "X", "Y", "T" are the
/// component's fields; a cell bound to any other name belongs to the component.
using TVariableTable = TNameTable<double*>;
/// Function name to routine.
using TFunctionTable = TNameTable<OpRoutine>;

// ---------------------------------------------------------------------------
// Evaluation and release of a list

/// Runs every node of the list in order and returns the last node's Dest,
/// widened; 0 for an empty list. Arithmetic faults (EInvalidOp, EZeroDivide,
/// EOverflow, EDivByZero) leave the routine that raised them; nodes after it
/// are not run, the list stays intact. Allocates nothing.
long double Evaluate(const OpNode* first);

/// Frees every node and every constant and result cell of the list exactly
/// once; cells bound in `variables` are never freed. `first` becomes null.
void FreeOperationList(OpNode*& first, const TVariableTable& variables);

/// The routine bound to a node of kind 0..13; null for 14 and 15, which keep
/// the function routine the compiler found.
OpRoutine routineForKind(OpKind kind);

/// The state of the one random generator of the process (a 32-bit linear
/// congruential generator, 0 at start, never seeded from the clock). RND draws
/// from it; exposed so that tests can restart the sequence.
std::uint32_t& randomState();

// Operation routines, bound by kind. Each reads its operands as doubles,
// computes with a 64-bit mantissa and rounds once when it stores Dest.
void opNoOp(OpNode* node);
void opNegate(OpNode* node);
void opAdd(OpNode* node);
void opSubtract(OpNode* node);
void opMultiply(OpNode* node);
void opDivide(OpNode* node);
void opMod(OpNode* node);
void opDiv(OpNode* node);
void opIntPower(OpNode* node);
void opPower(OpNode* node);
void opSquare(OpNode* node);
void opCube(OpNode* node);
void opFourthPower(OpNode* node);

// Function routines of the tables "TAN" ... "RND", "MAX", "MIN".
void fnTan(OpNode* node);
void fnSin(OpNode* node);
void fnCos(OpNode* node);
void fnSinh(OpNode* node);
void fnCosh(OpNode* node);
void fnArcTan(OpNode* node);
void fnExp(OpNode* node);
void fnLn(OpNode* node);
void fnSqrt(OpNode* node);
void fnAbs(OpNode* node);
void fnHeav(OpNode* node);
void fnSign(OpNode* node);
void fnZero(OpNode* node);
void fnPh(OpNode* node);
void fnRnd(OpNode* node);
void fnMax(OpNode* node);
void fnMin(OpNode* node);

// ---------------------------------------------------------------------------
// Component base

/// Minimal stand-in for a component base: an owner that destroys what it owns,
/// a name and a tag. A component with an owner must be heap-allocated; the
/// owner deletes it (last created first) unless it was deleted before.
class TComponent
{
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    std::string Name;
    std::intptr_t Tag = 0;

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> owned_;
};

// ---------------------------------------------------------------------------
// Parser component

class TCustomParser;

/// Handler of compile errors. The exception object lives only for the call.
using TParserExceptionEvent = std::function<void(TCustomParser* sender, const Exception& e)>;

class TCustomParser : public TComponent
{
public:
    explicit TCustomParser(TComponent* owner = nullptr);
    ~TCustomParser() override;

    // Variable cells, read in place by compiled lists.
    double A = 0, B = 0, C = 0, D = 0, E = 0;
    double X = 0, Y = 0, T = 0;

    /// Evaluates the compiled list with the current variables; 0 without a list.
    /// Arithmetic faults (EInvalidOp, EZeroDivide, EOverflow, EDivByZero) pass out.
    long double Value();

    const std::string& Expression() const;
    /// Compiles `text` and drops the result (errors as in CompileExpression).
    void setExpression(const std::string& text);

    /// Drops the old list, stores `text` and compiles it. Returns false when the
    /// compile failed and OnParserError took the error; without a handler the
    /// error is rethrown. An empty text builds no list, calls no handler,
    /// leaves CompileFailed as it was and returns false.
    bool CompileExpression(const std::string& text);

    bool CompileFailed() const;

    bool PascalNumberformat = true;
    TParserExceptionEvent OnParserError;

    /// The name tables the compiler looks names up in. Registering a variable
    /// under a name other than the eight built-in ones hands its cell to the
    /// component, which deletes it when it is destroyed.
    TVariableTable& Variables() { return variables_; }
    const TVariableTable& Variables() const { return variables_; }
    TFunctionTable& OneArgFunctions() { return oneArgFunctions_; }
    const TFunctionTable& OneArgFunctions() const { return oneArgFunctions_; }
    TFunctionTable& TwoArgFunctions() { return twoArgFunctions_; }
    const TFunctionTable& TwoArgFunctions() const { return twoArgFunctions_; }

    /// The compiled list; null when there is none.
    const OpNode* FirstNode() const { return first_; }

private:
    std::string expression_;
    bool compileFailed_ = false;
    TVariableTable variables_{TVariableTable::Duplicates::Replace};
    OpNode* first_ = nullptr;
    TFunctionTable oneArgFunctions_{TFunctionTable::Duplicates::Refuse};
    TFunctionTable twoArgFunctions_{TFunctionTable::Duplicates::Refuse};
};

/// The parser as the program uses it: the eight variables A..E, X, Y, T and the
/// function tables registered.
class TParser : public TCustomParser
{
public:
    explicit TParser(TComponent* owner = nullptr);
};

} // namespace kurvaro
