#pragma once

// Kurvaro's expression engine: the parser component, the compiled operation
// list and its routines, and the engine's exception classes.
// Standard C++ only.

#include "Faults.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Compiled expression

struct OpNode;
using OpRoutine = void (*)(OpNode* node);

/// Operation kinds. The numbers matter: the compiler tests ranges of them.
enum OpKind : std::uint8_t {
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
// Component base

/// Minimal stand-in for a component base: an owner that destroys what it owns,
/// a name and a tag.
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
    /// error is rethrown.
    bool CompileExpression(const std::string& text);

    bool CompileFailed() const;

    bool PascalNumberformat = true;
    TParserExceptionEvent OnParserError;

    // The engine's tables and list live below (declared by the engine).
protected:
    // (engine state: tables, list head, stored text, CompileFailed flag)
};

/// The parser as the program uses it: the eight variables A..E, X, Y, T and the
/// function tables registered.
class TParser : public TCustomParser
{
public:
    explicit TParser(TComponent* owner = nullptr);
};
