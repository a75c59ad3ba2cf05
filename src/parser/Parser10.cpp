#include "parser/Parser10.h"

#include "parser/CellPool.h"
#include "parser/P10Build.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>

namespace kurvaro {

// ---------------------------------------------------------------------------
// Arithmetic
//
// Every routine computes in long double (64-bit mantissa on x86-64) and rounds
// once when it stores its double Dest. Faults are detected explicitly instead
// of through FPU traps: no cell ever receives NaN or infinity.

namespace {

constexpr long double TwoPow63 = 9223372036854775808.0L;
constexpr long double Log2E = 1.44269504088896340735992468100189214L;

[[noreturn]] [[gnu::noinline]] void rangeFault(long double value)
{
    if (std::isnan(value))
        faults::invalidOp();
    faults::overflow();
}

/// Half an ulp above the largest double: from here on rounding to double
/// gives infinity (DBL_MAX has an odd mantissa, so the tie rounds up too).
constexpr long double DoubleLimit = 0x1.fffffffffffff8p1023L;

/// Rounds once to double; a result beyond the double range is an overflow.
/// The test is made on the extended value, so that the rounded result goes
/// straight from the FPU into the cell.
inline void store(double* dest, long double value)
{
    if (!(std::fabs(value) < DoubleLimit)) [[unlikely]]
        rangeFault(value);
    *dest = static_cast<double>(value);
}

/// Truncates toward zero to a signed 64-bit integer; magnitude 2^63 or more
/// is an invalid operation.
inline std::int64_t truncToInt64(double v)
{
    if (!(std::fabs(static_cast<long double>(v)) < TwoPow63)) [[unlikely]]
        faults::invalidOp();
    return static_cast<std::int64_t>(v);
}

/// Square-and-multiply over the bits of |n| from the lowest, then the
/// reciprocal for n < 0.
inline long double intPower(long double base, std::int32_t n)
{
    std::uint32_t bits = n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
    long double result = 1.0L;
    long double b = base;
    while (bits != 0) {
        if (bits & 1u)
            result *= b;
        bits >>= 1;
        if (bits != 0)
            b *= b;
    }
    if (std::isinf(result)) [[unlikely]]
        faults::overflow();
    if (n < 0) {
        if (result == 0.0L) [[unlikely]]
            faults::zeroDivide();
        result = 1.0L / result;
    }
    return result;
}

/// e^x as 2^(x * log2 e).
inline long double expExtended(long double x)
{
    return std::exp2l(x * Log2E);
}

} // namespace

std::uint32_t& randomState()
{
    static std::uint32_t state = 0;
    return state;
}

void opNoOp(OpNode*) {}

void opNegate(OpNode* n)
{
    *n->Dest = -*n->Arg1;
}

void opAdd(OpNode* n)
{
    store(n->Dest, static_cast<long double>(*n->Arg1) + *n->Arg2);
}

void opSubtract(OpNode* n)
{
    store(n->Dest, static_cast<long double>(*n->Arg1) - *n->Arg2);
}

void opMultiply(OpNode* n)
{
    store(n->Dest, static_cast<long double>(*n->Arg1) * *n->Arg2);
}

void opDivide(OpNode* n)
{
    const double divisor = *n->Arg2;
    if (divisor == 0.0) [[unlikely]] {
        if (*n->Arg1 == 0.0)
            faults::invalidOp();
        faults::zeroDivide();
    }
    store(n->Dest, static_cast<long double>(*n->Arg1) / divisor);
}

void opMod(OpNode* n)
{
    const std::int64_t divisor = truncToInt64(*n->Arg2);
    const std::int64_t dividend = truncToInt64(*n->Arg1);
    if (divisor == 0) [[unlikely]]
        faults::divByZero();
    *n->Dest = static_cast<double>(dividend % divisor);
}

void opDiv(OpNode* n)
{
    const std::int64_t divisor = truncToInt64(*n->Arg2);
    const std::int64_t dividend = truncToInt64(*n->Arg1);
    if (divisor == 0) [[unlikely]]
        faults::divByZero();
    *n->Dest = static_cast<double>(dividend / divisor);
}

void opIntPower(OpNode* n)
{
    // The compiler creates this kind only for an integer literal that fits 32 bits.
    const double e = *n->Arg2;
    const auto exponent =
        static_cast<std::int32_t>(std::clamp(std::trunc(e), -2147483648.0, 2147483647.0));
    store(n->Dest, intPower(*n->Arg1, exponent));
}

void opPower(OpNode* n)
{
    const double base = *n->Arg1;
    const double exponent = *n->Arg2;
    if (exponent == 0.0) {
        *n->Dest = 1.0;
        return;
    }
    if (base == 0.0 && exponent > 0.0) {
        *n->Dest = 0.0;
        return;
    }
    if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0) {
        store(n->Dest, intPower(base, static_cast<std::int32_t>(exponent)));
        return;
    }
    if (base < 0.0)
        faults::invalidOp();
    if (base == 0.0)
        faults::zeroDivide();
    store(n->Dest,
          std::exp(static_cast<long double>(exponent) * std::log(static_cast<long double>(base))));
}

void opSquare(OpNode* n)
{
    const long double a = *n->Arg1;
    store(n->Dest, a * a);
}

void opCube(OpNode* n)
{
    const long double a = *n->Arg1;
    store(n->Dest, (a * a) * a);
}

void opFourthPower(OpNode* n)
{
    const long double a = *n->Arg1;
    const long double t = a * a;
    store(n->Dest, t * t);
}

void fnTan(OpNode* n)
{
    store(n->Dest, std::tan(static_cast<long double>(*n->Arg1)));
}

void fnSin(OpNode* n)
{
    const long double x = *n->Arg1;
    store(n->Dest, std::fabs(x) >= TwoPow63 ? 0.0L : std::sin(x));
}

void fnCos(OpNode* n)
{
    const long double x = *n->Arg1;
    store(n->Dest, std::fabs(x) >= TwoPow63 ? 0.0L : std::cos(x));
}

void fnSinh(OpNode* n)
{
    const long double x = *n->Arg1;
    store(n->Dest, (expExtended(x) - expExtended(-x)) * 0.5L);
}

void fnCosh(OpNode* n)
{
    const long double x = *n->Arg1;
    store(n->Dest, (expExtended(x) + expExtended(-x)) * 0.5L);
}

void fnArcTan(OpNode* n)
{
    store(n->Dest, std::atan(static_cast<long double>(*n->Arg1)));
}

void fnExp(OpNode* n)
{
    store(n->Dest, expExtended(*n->Arg1));
}

void fnLn(OpNode* n)
{
    const double x = *n->Arg1;
    if (x <= 0.0) [[unlikely]] {
        if (x < 0.0)
            faults::invalidOp();
        faults::zeroDivide();
    }
    store(n->Dest, std::log(static_cast<long double>(x)));
}

void fnSqrt(OpNode* n)
{
    const double x = *n->Arg1;
    if (x < 0.0) [[unlikely]]
        faults::invalidOp();
    store(n->Dest, std::sqrt(static_cast<long double>(x)));
}

void fnAbs(OpNode* n)
{
    *n->Dest = std::fabs(*n->Arg1);
}

void fnHeav(OpNode* n)
{
    *n->Dest = *n->Arg1 >= 0.0 ? 1.0 : 0.0;
}

void fnSign(OpNode* n)
{
    const double x = *n->Arg1;
    *n->Dest = x < 0.0 ? -1.0 : (x > 0.0 ? 1.0 : 0.0);
}

void fnZero(OpNode* n)
{
    *n->Dest = *n->Arg1 == 0.0 ? 0.0 : 1.0;
}

void fnPh(OpNode* n)
{
    // x over 2/pi (not 2*pi), rounded to double; the nearest integer (halves to
    // even) taken off; the rest scaled by 2*pi.
    double a;
    store(&a, static_cast<long double>(*n->Arg1) / 0.63661977236758134308L);
    const long double k = std::nearbyint(static_cast<long double>(a));
    store(n->Dest, (a - k) * 6.28318530717958647703L);
}

void fnRnd(OpNode* n)
{
    std::uint32_t& state = randomState();
    state = state * 134775813u + 1u;
    const long double r = static_cast<long double>(state) / 4294967296.0L;
    store(n->Dest, std::trunc(static_cast<long double>(*n->Arg1)) * r);
}

void fnMax(OpNode* n)
{
    *n->Dest = *n->Arg1 >= *n->Arg2 ? *n->Arg1 : *n->Arg2;
}

void fnMin(OpNode* n)
{
    *n->Dest = *n->Arg1 >= *n->Arg2 ? *n->Arg2 : *n->Arg1;
}

OpRoutine routineForKind(OpKind kind)
{
    static constexpr OpRoutine table[] = {
        opNoOp, opNoOp, opNegate,   opAdd,   opSubtract, opMultiply, opDivide,
        opMod,  opDiv,  opIntPower, opPower, opSquare,   opCube,     opFourthPower,
    };
    return kind < okFunction1 ? table[kind] : nullptr;
}

// ---------------------------------------------------------------------------
// List

long double Evaluate(const OpNode* first)
{
    if (first == nullptr)
        return 0.0L;
    const OpNode* node = first;
    while (node->Next != nullptr) {
        node->Routine(const_cast<OpNode*>(node));
        node = node->Next;
    }
    node->Routine(const_cast<OpNode*>(node));
    return *node->Dest;
}

namespace {

/// The variable cells of a table, gathered once per release with the range
/// of their addresses, which settles most questions in two comparisons.
class VariableCells
{
public:
    explicit VariableCells(const TVariableTable& variables) : variables_(variables)
    {
        count_ = std::min(variables.size(), std::size(cells_));
        for (std::size_t i = 0; i < count_; ++i) {
            cells_[i] = variables.at(i).second;
            low_ = std::min(low_, cells_[i], std::less<>());
            high_ = std::max(high_, cells_[i], std::less<>());
        }
    }
    bool contain(const double* cell) const
    {
        if (count_ == variables_.size() &&
            (std::less<>()(cell, low_) || std::less<>()(high_, cell)))
            return false;
        for (std::size_t i = 0; i < count_; ++i)
            if (cells_[i] == cell)
                return true;
        // Tables longer than the usual eight names are searched in place.
        for (std::size_t i = count_; i < variables_.size(); ++i)
            if (variables_.at(i).second == cell)
                return true;
        return false;
    }

private:
    const TVariableTable& variables_;
    const double* cells_[16];
    std::size_t count_ = 0;
    const double* low_ = reinterpret_cast<const double*>(UINTPTR_MAX);
    const double* high_ = nullptr;
};

/// Written into a cell that a reference has claimed for release: a NaN whose
/// payload no cell holds otherwise, since arithmetic faults replace every NaN
/// and literals are never NaN.
constexpr std::uint64_t ClaimedBits = 0x7ff4c1a1'3ed0ce11ull;

bool claimed(const double* cell)
{
    std::uint64_t bits;
    std::memcpy(&bits, cell, sizeof bits);
    return bits == ClaimedBits;
}

} // namespace

void FreeOperationList(OpNode*& first, const TVariableTable& variables)
{
    // A shared cell is released by its first holder only, a variable cell
    // never. One pass in list order claims each cell for the first reference
    // to it and clears every other reference; a second pass releases what
    // the nodes still refer to. Linear in the length of the list and
    // allocation-free.
    const VariableCells variableCells(variables);
    for (OpNode* n = first; n != nullptr; n = n->Next)
        for (double** r : {&n->Dest, &n->Arg2, &n->Arg1}) {
            if (*r == nullptr)
                continue;
            if (variableCells.contain(*r) || claimed(*r))
                *r = nullptr;
            else
                std::memcpy(*r, &ClaimedBits, sizeof ClaimedBits);
        }
    cellpool::Pool* pool = cellpool::Pool::local();
    OpNode* n = first;
    first = nullptr;
    while (n != nullptr) {
        for (double* c : {n->Dest, n->Arg2, n->Arg1})
            if (c != nullptr)
                cellpool::deleteCell(pool, c);
        OpNode* next = n->Next;
        cellpool::deleteNode(pool, n);
        n = next;
    }
}

// ---------------------------------------------------------------------------
// Components

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_ != nullptr)
        owner_->owned_.push_back(this);
}

TComponent::~TComponent()
{
    while (!owned_.empty()) {
        TComponent* child = owned_.back();
        owned_.pop_back();
        child->owner_ = nullptr;
        delete child;
    }
    if (owner_ != nullptr) {
        auto& siblings = owner_->owned_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

TCustomParser::TCustomParser(TComponent* owner) : TComponent(owner) {}

TCustomParser::~TCustomParser()
{
    FreeOperationList(first_, variables_);
    // A variable's cell belongs to the component unless it is one of the
    // component's own fields, whatever name it is registered under; a cell
    // registered under two names is released once.
    const double* const fields[] = {&A, &B, &C, &D, &E, &X, &Y, &T};
    std::vector<double*> owned;
    for (std::size_t i = variables_.size(); i-- > 0;) {
        double* cell = variables_.at(i).second;
        if (cell != nullptr &&
            std::find(std::begin(fields), std::end(fields), cell) == std::end(fields) &&
            std::find(owned.begin(), owned.end(), cell) == owned.end())
            owned.push_back(cell);
    }
    variables_.clear();
    for (double* cell : owned)
        delete cell;
    setExpression(std::string());
}

long double TCustomParser::Value()
{
    return Evaluate(first_);
}

const std::string& TCustomParser::Expression() const
{
    return expression_;
}

void TCustomParser::setExpression(const std::string& text)
{
    CompileExpression(text);
}

bool TCustomParser::CompileExpression(const std::string& text)
{
    FreeOperationList(first_, variables_);
    expression_ = text;
    if (text.empty())
        return false;
    try {
        bool errorFlag = false;
        first_ = BuildOperationList(text, variables_, oneArgFunctions_, twoArgFunctions_,
                                    PascalNumberformat, errorFlag);
    } catch (const Exception& e) {
        compileFailed_ = true;
        first_ = nullptr;
        if (!OnParserError)
            throw;
        OnParserError(this, e);
        return false;
    } catch (...) {
        compileFailed_ = true;
        first_ = nullptr;
        throw;
    }
    compileFailed_ = false;
    for (OpNode* n = first_; n != nullptr; n = n->Next)
        if (n->Kind < okFunction1)
            n->Routine = routineForKind(n->Kind);
    return true;
}

bool TCustomParser::CompileFailed() const
{
    return compileFailed_;
}

TParser::TParser(TComponent* owner) : TCustomParser(owner)
{
    TVariableTable& vars = Variables();
    vars.add("A", &A);
    vars.add("B", &B);
    vars.add("C", &C);
    vars.add("D", &D);
    vars.add("E", &E);
    vars.add("X", &X);
    vars.add("Y", &Y);
    vars.add("T", &T);

    TFunctionTable& one = OneArgFunctions();
    one.add("TAN", fnTan);
    one.add("SIN", fnSin);
    one.add("COS", fnCos);
    one.add("SINH", fnSinh);
    one.add("COSH", fnCosh);
    one.add("ARCTAN", fnArcTan);
    one.add("EXP", fnExp);
    one.add("LN", fnLn);
    one.add("SQRT", fnSqrt);
    one.add("ABS", fnAbs);
    one.add("HEAV", fnHeav);
    one.add("SIGN", fnSign);
    one.add("ZERO", fnZero);
    one.add("PH", fnPh);
    one.add("RND", fnRnd);

    TFunctionTable& two = TwoArgFunctions();
    two.add("MAX", fnMax);
    two.add("MIN", fnMin);
}

} // namespace kurvaro
