// TParser as the curves and the main window use it: compile, evaluate, the
// error handler, the flags, the tables and who frees what.
#include "support/ListText.h"
#include "parser/CellPool.h"
#include "parser/Parser10.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace kurvaro;

namespace {

double value(TCustomParser& p)
{
    return static_cast<double>(p.Value());
}

TEST(Parser, startsEmpty)
{
    TParser p;
    EXPECT_EQ(p.Expression(), "");
    EXPECT_EQ(value(p), 0.0);
    for (double v : {p.A, p.B, p.C, p.D, p.E, p.X, p.Y, p.T})
        EXPECT_EQ(v, 0.0);
    EXPECT_TRUE(p.PascalNumberformat);
    EXPECT_FALSE(p.CompileFailed());
    EXPECT_EQ(p.FirstNode(), nullptr);
}

TEST(Parser, variableChangesNeedNoRecompile)
{
    TParser p;
    p.setExpression("X^2");
    p.X = 3;
    EXPECT_EQ(value(p), 9.0);
    p.X = -2;
    EXPECT_EQ(value(p), 4.0);
    p.setExpression("x*2+sin(x)");
    p.X = 0;
    EXPECT_EQ(value(p), 0.0);
    p.X = 1;
    EXPECT_DOUBLE_EQ(value(p), 2 + std::sin(1.0));
}

TEST(Parser, everyVariableIsBound)
{
    TParser p;
    p.setExpression("A+10*(B+10*(C+10*(D+10*(E+10*(X+10*(Y+10*T))))))");
    p.A = 1, p.B = 2, p.C = 3, p.D = 4, p.E = 5, p.X = 6, p.Y = 7, p.T = 8;
    EXPECT_EQ(value(p), 87654321.0);
}

TEST(Parser, handlerTakesTheErrorOnce)
{
    TParser p;
    int calls = 0;
    TCustomParser* sender = nullptr;
    std::string cls;
    std::string message;
    p.OnParserError = [&](TCustomParser* s, const Exception& e) {
        ++calls;
        sender = s;
        cls = e.className();
        message = e.message();
    };
    EXPECT_FALSE(p.CompileExpression("X+"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &p);
    EXPECT_EQ(cls, "ESyntaxError");
    EXPECT_EQ(message, "Error parsing expression:\rX+");
    EXPECT_EQ(value(p), 0.0);
    EXPECT_EQ(p.Expression(), "X+");
    EXPECT_TRUE(p.CompileFailed());
}

TEST(Parser, handlerAlsoTakesALiteralsFault)
{
    TParser p;
    std::string cls;
    p.OnParserError = [&](TCustomParser*, const Exception& e) { cls = e.className(); };
    EXPECT_FALSE(p.CompileExpression("x^1E30"));
    EXPECT_EQ(cls, "EInvalidOp");
    EXPECT_TRUE(p.CompileFailed());
}

TEST(Parser, withoutHandlerTheErrorPassesOut)
{
    TParser p;
    p.setExpression("X");
    EXPECT_THROW(p.CompileExpression("X+"), ESyntaxError);
    EXPECT_EQ(value(p), 0.0) << "a failed compile drops the previous list";
    EXPECT_TRUE(p.CompileFailed());
    EXPECT_THROW(p.setExpression("(X"), EMissMatchingBracket);
    EXPECT_EQ(p.Expression(), "(X") << "the text is kept after a failure";
}

TEST(Parser, emptyTextCompilesNothing)
{
    TParser p;
    int calls = 0;
    p.OnParserError = [&](TCustomParser*, const Exception&) { ++calls; };
    p.setExpression("X+");
    ASSERT_TRUE(p.CompileFailed());
    p.setExpression("");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(value(p), 0.0);
    EXPECT_TRUE(p.CompileFailed()) << "an empty text keeps the flag";
    p.setExpression("X");
    EXPECT_FALSE(p.CompileFailed()) << "a success resets it";
}

TEST(Parser, expressionIsStoredUnchanged)
{
    TParser p;
    p.setExpression("  sin(x) ");
    EXPECT_EQ(p.Expression(), "  sin(x) ");
}

TEST(Parser, evaluationFaultLeavesTheListUsable)
{
    TParser p;
    p.setExpression("LN(X)");
    p.X = 0;
    EXPECT_THROW(p.Value(), EZeroDivide);
    p.X = 1;
    EXPECT_EQ(value(p), 0.0);
}

TEST(Parser, rndDrawsAnewEachEvaluation)
{
    TParser p;
    p.setExpression("rnd(10)");
    const double first = value(p);
    const double second = value(p);
    EXPECT_NE(first, second);
}

TEST(Parser, bindsRoutinesByKindAfterCompiling)
{
    TParser p;
    p.setExpression("-X+X-X*X/XDIVXMODX^X+X^5+X^3+X^4+X^2+SIN(X)+MAX(X,X)");
    int kinds = 0;
    for (const OpNode* n = p.FirstNode(); n; n = n->Next) {
        kinds |= 1 << n->Kind;
        if (n->Kind < okFunction1) {
            EXPECT_EQ(n->Routine, routineForKind(n->Kind)) << int(n->Kind);
        }
    }
    EXPECT_EQ(kinds, 0xfffc) << "every operator kind occurs";
}

TEST(Tables, holdTheSystemsNames)
{
    TParser p;
    EXPECT_EQ(p.Variables().size(), 8u);
    EXPECT_EQ(p.OneArgFunctions().size(), 15u);
    EXPECT_EQ(p.TwoArgFunctions().size(), 2u);
    ASSERT_NE(p.Variables().find("x"), nullptr);
    EXPECT_EQ(*p.Variables().find("x"), &p.X) << "lookups ignore case";
    ASSERT_NE(p.OneArgFunctions().find("ArcTan"), nullptr);
    EXPECT_EQ(*p.OneArgFunctions().find("ArcTan"), &fnArcTan);
    EXPECT_EQ(p.OneArgFunctions().find("MAX"), nullptr);
}

TEST(Tables, refuseDuplicateFunctions)
{
    TParser p;
    try {
        p.OneArgFunctions().add("sin", fnCos);
        ADD_FAILURE() << "a duplicate was added";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.message(), "In der Stringliste sind Duplikate nicht erlaubt");
    }
    EXPECT_EQ(*p.OneArgFunctions().find("SIN"), &fnSin);
}

TEST(Tables, variableDuplicateRebindsTheCell)
{
    TParser p;
    double other = 5;
    p.Variables().add("x", &other);
    EXPECT_EQ(p.Variables().size(), 8u);
    p.setExpression("X*2");
    EXPECT_EQ(value(p), 10.0);
    // The list refers to `other`: drop it while the table still knows that cell.
    p.setExpression("");
    p.Variables().add("X", &p.X);
}

TEST(Tables, registeredVariableBelongsToTheComponent)
{
    // The destructor frees the cell; the sanitizer run shows a leak otherwise.
    auto* p = new TParser;
    auto* cell = new double(21);
    p->Variables().add("W", cell);
    p->setExpression("W*2");
    EXPECT_EQ(value(*p), 42.0);
    delete p;
}

// Which cells the component owns is decided by address: whatever the name,
// a cell that is not one of its fields is its own, and one that is stays.
// The sanitizer run reports a leak, a bad release or a double release.
TEST(Tables, aCellUnderABuiltInNameBelongsToTheComponent)
{
    auto* p = new TParser;
    p->Variables().add("X", new double(5));
    p->setExpression("X*2");
    EXPECT_EQ(value(*p), 10.0);
    delete p;
}

TEST(Tables, aFieldUnderAnotherNameStaysAField)
{
    auto* p = new TParser;
    p->Variables().add("W", &p->Y);
    p->Y = 4;
    p->setExpression("W+1");
    EXPECT_EQ(value(*p), 5.0);
    delete p;
}

TEST(Tables, aCellUnderTwoNamesIsReleasedOnce)
{
    auto* p = new TParser;
    auto* cell = new double(3);
    p->Variables().add("U", cell);
    p->Variables().add("V", cell);
    p->setExpression("U*V");
    EXPECT_EQ(value(*p), 9.0);
    delete p;
}

TEST(Release, sharedCellsAreReleasedByTheirFirstHolderOnly)
{
    // A hand-made list sharing cells more than a compiled one does: a
    // constant read by two nodes, a result read twice, a variable in all of
    // them and a node whose result is one of its operands.
    TParser p;
    auto* constant = new double(2);
    auto* first = new OpNode{&p.X, constant, new double(0), nullptr, nullptr, okAdd};
    auto* second = new OpNode{first->Dest, constant, new double(0), nullptr, nullptr, okMultiply};
    auto* third = new OpNode{second->Dest, first->Dest, nullptr, nullptr, nullptr, okSubtract};
    third->Dest = third->Arg1;
    first->Next = second;
    second->Next = third;
    OpNode* list = first;
    p.X = 7;
    FreeOperationList(list, p.Variables());
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(p.X, 7.0);
}

TEST(Release, keepsVariableCellsAndFreesTheRest)
{
    TParser p;
    p.X = 7;
    for (const char* text :
         {"X", "5", "X+1", "SIN(X)*X", "MAX(X,X)", "-X", "X^5", "X^2", "(X+1)*(X-1)/(X+2)"}) {
        p.setExpression(text);
        ASSERT_NE(p.FirstNode(), nullptr) << text;
        p.setExpression("");
        EXPECT_EQ(p.FirstNode(), nullptr) << text;
        EXPECT_EQ(p.X, 7.0) << text;
    }
}

TEST(Release, freeOperationListEmptiesTheHead)
{
    TParser p;
    OpNode* list = nullptr;
    FreeOperationList(list, p.Variables());
    EXPECT_EQ(list, nullptr);
    // A hand-made list whose constant is both Arg1 and Dest is freed once.
    list = new OpNode;
    list->Arg1 = new double(3);
    list->Dest = list->Arg1;
    list->Kind = okConstant;
    FreeOperationList(list, p.Variables());
    EXPECT_EQ(list, nullptr);
}

#ifdef KURVARO_POISON_POOL
// Under AddressSanitizer the pool stays in use and poisons what it keeps, so
// the sanitizer run checks the code that ships.
TEST(Pool, keepsReleasedNodesAndCellsPoisoned)
{
    TParser p;
    p.setExpression("X+2");
    const OpNode* node = p.FirstNode();
    const double* constant = node->Arg2;
    const double* result = node->Dest;
    p.setExpression("");
    EXPECT_TRUE(__asan_address_is_poisoned(node));
    EXPECT_TRUE(__asan_address_is_poisoned(constant));
    EXPECT_TRUE(__asan_address_is_poisoned(result));
    p.setExpression("X+2");
    EXPECT_FALSE(__asan_address_is_poisoned(p.FirstNode()));
    EXPECT_FALSE(__asan_address_is_poisoned(p.FirstNode()->Dest));
}

TEST(PoolDeathTest, reportsASecondRelease)
{
    EXPECT_DEATH(
        {
            cellpool::Pool* pool = cellpool::Pool::local();
            double* cell = cellpool::newCell(pool, 1.0);
            cellpool::deleteCell(pool, cell);
            cellpool::deleteCell(pool, cell);
        },
        "use-after-poison");
}
#endif

TEST(Component, ownerDeletesWhatItOwns)
{
    TComponent owner;
    auto* p = new TParser(&owner);
    p->Name = "Parser1";
    p->Tag = 3;
    EXPECT_EQ(p->Owner(), &owner);
    p->setExpression("X+1");
    auto* q = new TParser(&owner);
    delete q; // deleting an owned component first is fine
}

} // namespace
