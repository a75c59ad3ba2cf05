// The elementary operations: their results with one rounding from extended
// precision, and every arithmetic fault with its exception class and text.
#include "parser/Parser10.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

using namespace kurvaro;

namespace {

enum class Fault
{
    None,
    InvalidOp,
    ZeroDivide,
    Overflow,
    DivByZero
};

struct RoutineCase
{
    OpRoutine routine;
    double a;
    double b;
    double expected;
    Fault fault;
    const char* reason;
    double tolerance = 0.0;
};

std::ostream& operator<<(std::ostream& os, const RoutineCase& c)
{
    return os << c.reason;
}

RoutineCase is(OpRoutine r, double a, double b, double expected, const char* reason,
               double tolerance = 0.0)
{
    return {r, a, b, expected, Fault::None, reason, tolerance};
}

RoutineCase faults(OpRoutine r, double a, double b, Fault f, const char* reason)
{
    return {r, a, b, 0.0, f, reason};
}

class Routine : public testing::TestWithParam<RoutineCase>
{
};

TEST_P(Routine, computesOrFaults)
{
    const RoutineCase& c = GetParam();
    double a = c.a;
    double b = c.b;
    double dest = 12345.0;
    OpNode node;
    node.Arg1 = &a;
    node.Arg2 = &b;
    node.Dest = &dest;
    node.Routine = c.routine;
    switch (c.fault) {
    case Fault::None:
        ASSERT_NO_THROW(c.routine(&node)) << c.reason;
        if (c.tolerance == 0.0) {
            EXPECT_EQ(dest, c.expected) << c.reason;
            EXPECT_EQ(std::signbit(dest), std::signbit(c.expected)) << c.reason;
        } else {
            EXPECT_NEAR(dest, c.expected, c.tolerance) << c.reason;
        }
        break;
    case Fault::InvalidOp:
        EXPECT_THROW(c.routine(&node), EInvalidOp) << c.reason;
        break;
    case Fault::ZeroDivide:
        EXPECT_THROW(c.routine(&node), EZeroDivide) << c.reason;
        break;
    case Fault::Overflow:
        EXPECT_THROW(c.routine(&node), EOverflow) << c.reason;
        break;
    case Fault::DivByZero:
        EXPECT_THROW(c.routine(&node), EDivByZero) << c.reason;
        break;
    }
    if (c.fault != Fault::None) {
        EXPECT_EQ(dest, 12345.0) << "a faulting routine stores nothing: " << c.reason;
    }
}

constexpr double Big = 1e200;
constexpr double TwoPow63 = 9223372036854775808.0;

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, Routine,
    testing::Values(
        is(opNegate, 2, 0, -2, "negate"), is(opNegate, 0, 0, -0.0, "negate zero"),
        is(opAdd, 1, 2, 3, "add"), faults(opAdd, DBL_MAX, DBL_MAX, Fault::Overflow, "sum beyond"),
        is(opSubtract, 1, 3, -2, "subtract"),
        faults(opSubtract, -DBL_MAX, DBL_MAX, Fault::Overflow, "difference beyond"),
        is(opMultiply, 3, 4, 12, "multiply"),
        faults(opMultiply, Big, Big, Fault::Overflow, "product beyond"),
        is(opMultiply, 1e-200, 1e-200, 0, "underflow is silent"),
        is(opDivide, 1, 4, 0.25, "divide"),
        faults(opDivide, 0, 0, Fault::InvalidOp, "0/0 is invalid"),
        faults(opDivide, 1, 0, Fault::ZeroDivide, "x/0"),
        faults(opDivide, -1, -0.0, Fault::ZeroDivide, "x/-0"),
        faults(opDivide, 1e300, 1e-300, Fault::Overflow, "quotient beyond"),
        is(opDivide, 4.9406564584124654e-324, 2, 0, "denormal underflow to zero"),
        is(opSquare, 3, 0, 9, "square"), faults(opSquare, Big, 0, Fault::Overflow, "square beyond"),
        is(opCube, -2, 0, -8, "cube"), faults(opCube, 1e103, 0, Fault::Overflow, "cube beyond"),
        is(opFourthPower, 2, 0, 16, "fourth"),
        faults(opFourthPower, 1e78, 0, Fault::Overflow, "fourth beyond")));

INSTANTIATE_TEST_SUITE_P(
    Precision, Routine,
    testing::Values(
        // Each of these operands makes the product rounded per step differ from
        // the product rounded once.
        is(opCube, 0x1.2781e49003p+0, 0, 0x1.89c10ed198125p+0, "cube rounds once"),
        is(opFourthPower, 0x1.012acp+0, 0, 0x1.04b33232aa4e4p+0, "fourth power rounds once"),
        is(opIntPower, 0x1.00004p+0, 5, 0x1.00014000a0002p+0, "integer power rounds once"),
        is(opAdd, 1, 0x1p-53, 1, "a tie rounds to even"),
        is(opAdd, 1, 0x1.0000000000001p-53, 1,
           "the extended sum is a tie for the double: rounded twice, as the FPU does"),
        is(opAdd, 1, 0x1.8p-53, 1.0000000000000002, "above the tie rounds up")));

INSTANTIATE_TEST_SUITE_P(
    Integer, Routine,
    testing::Values(is(opMod, 7, -3, 1, "remainder has the dividend's sign"),
                    is(opMod, -7, 3, -1, "negative dividend"),
                    is(opDiv, 7.9, 2, 3, "quotient truncates"),
                    is(opDiv, -7.9, 2, -3, "toward zero"),
                    faults(opDiv, 5, 0.5, Fault::DivByZero, "0.5 truncates to 0"),
                    faults(opMod, 5, 0, Fault::DivByZero, "remainder by zero"),
                    faults(opMod, TwoPow63, 2, Fault::InvalidOp, "dividend of 2^63"),
                    faults(opDiv, -TwoPow63, 2, Fault::InvalidOp, "magnitude 2^63 is out of range"),
                    faults(opDiv, 2, 1e19, Fault::InvalidOp, "divisor out of range"),
                    faults(opDiv, 1e30, 0, Fault::InvalidOp,
                           "the range fault comes before the zero divisor"),
                    is(opDiv, 9.2e18, 1, 9.2e18, "just below 2^63"),
                    is(opMod, -9.2e18, 7, -5, "large dividend, exact in 64 bits")));

INSTANTIATE_TEST_SUITE_P(
    Powers, Routine,
    testing::Values(
        is(opIntPower, 0, 0, 1, "0^0 is 1"), is(opIntPower, 5, 0, 1, "n = 0"),
        faults(opIntPower, 0, -1, Fault::ZeroDivide, "zero base, negative exponent"),
        is(opIntPower, -2, 3, -8, "odd power of a negative base"),
        is(opIntPower, 2, -2, 0.25, "reciprocal"), is(opIntPower, 2, 31, 2147483648.0, "2^31"),
        faults(opIntPower, 10, 400, Fault::Overflow, "beyond double"),
        faults(opIntPower, 10, 6000, Fault::Overflow, "beyond extended"),
        faults(opIntPower, 10, -6000, Fault::Overflow, "reciprocal of an overflow"),
        is(opIntPower, 10, -400, 0, "underflow is silent"),
        faults(opIntPower, 1e-300, -2, Fault::Overflow, "reciprocal beyond double"),
        is(opPower, 5, 0, 1, "exponent 0"), is(opPower, 0, 0.5, 0, "zero base"),
        is(opPower, -2, 3, -8, "integral exponent uses the integer power"),
        faults(opPower, -8, 1.0 / 3, Fault::InvalidOp, "negative base, fractional exponent"),
        faults(opPower, 0, -0.5, Fault::ZeroDivide, "zero base, negative exponent"),
        faults(opPower, 0, -2, Fault::ZeroDivide, "zero base, negative integral exponent"),
        is(opPower, 4, 0.5, 2, "exp of ln", 1e-15),
        is(opPower, 1, 3e9, 1, "integral beyond 32 bits goes through exp"),
        faults(opPower, -1, 3e9, Fault::InvalidOp, "and then refuses a negative base"),
        faults(opPower, 10, 400.5, Fault::Overflow, "general power beyond")));

INSTANTIATE_TEST_SUITE_P(
    Functions, Routine,
    testing::Values(
        is(fnSin, 0, 0, 0, "sin 0"), is(fnSin, 1, 0, std::sin(1.0), "sin 1", 1e-16),
        is(fnSin, TwoPow63, 0, 0, "sin of 2^63 is 0"), is(fnCos, -TwoPow63, 0, 0, "cos of 2^63"),
        is(fnCos, 0, 0, 1, "cos 0"), is(fnTan, 1, 0, std::tan(1.0), "tan", 1e-15),
        is(fnArcTan, 1, 0, std::atan(1.0), "arctan", 1e-16),
        is(fnSinh, 1, 0, std::sinh(1.0), "sinh", 1e-15),
        is(fnCosh, 1, 0, std::cosh(1.0), "cosh", 1e-15),
        faults(fnSinh, -1000, 0, Fault::Overflow, "sinh of -1000 from e^-x"),
        faults(fnCosh, 1000, 0, Fault::Overflow, "cosh beyond"),
        faults(fnSinh, 20000, 0, Fault::Overflow, "beyond extended"),
        is(fnExp, 1, 0, std::exp(1.0), "exp", 1e-15), is(fnExp, 0, 0, 1, "exp 0"),
        faults(fnExp, 1000, 0, Fault::Overflow, "exp 1000"),
        is(fnExp, -1000, 0, 0, "exp underflow is silent"), is(fnLn, 1, 0, 0, "ln 1"),
        faults(fnLn, 0, 0, Fault::ZeroDivide, "ln 0"),
        faults(fnLn, -1, 0, Fault::InvalidOp, "ln -1"), is(fnSqrt, 4, 0, 2, "sqrt"),
        faults(fnSqrt, -1, 0, Fault::InvalidOp, "sqrt -1"), is(fnSqrt, -0.0, 0, -0.0, "sqrt of -0"),
        is(fnAbs, -3, 0, 3, "abs"), is(fnHeav, 0, 0, 1, "heav 0"),
        is(fnHeav, -0.5, 0, 0, "heav negative"), is(fnSign, 0, 0, 0, "sign 0"),
        is(fnSign, -0.5, 0, -1, "sign negative"), is(fnSign, 7, 0, 1, "sign positive"),
        is(fnZero, 0, 0, 0, "zero 0"), is(fnZero, -3, 0, 1, "zero -3"), is(fnPh, 0, 0, 0, "ph 0"),
        is(fnPh, 1, 0, -2.6967662, "ph 1: 1.5707963 rounds to 2", 1e-7),
        is(fnPh, -1, 0, 2.6967662, "ph -1", 1e-7), is(fnPh, 2, 0, 0.8896528, "ph 2", 1e-7),
        is(fnPh, 1e300, 0, 0, "ph of a huge integral quotient"),
        faults(fnPh, DBL_MAX, 0, Fault::Overflow, "the quotient is beyond the double range"),
        is(fnMax, 2, 2, 2, "max of equals"), is(fnMin, 2, 2, 2, "min of equals"),
        is(fnMin, 3, 1, 1, "min"), is(fnMax, -1, -5, -1, "max"),
        is(fnMax, 0, -0.0, 0, "max takes a when a >= b"),
        is(fnMin, 0, -0.0, -0.0, "min takes b when a >= b")));

TEST(Faults, carryTheirTexts)
{
    TParser p;
    struct Row
    {
        const char* expression;
        const char* className;
        const char* text;
    } rows[] = {{"SQRT(-1)", "EInvalidOp", "Ungültige Gleitkommaoperation"},
                {"1/X", "EZeroDivide", "Gleitkommadivision durch Null"},
                {"EXP(1000)", "EOverflow", "Gleitkommaüberlauf"},
                {"5DIV0.5", "EDivByZero", "Division durch Null"}};
    for (const Row& r : rows) {
        p.CompileExpression(r.expression);
        try {
            p.Value();
            ADD_FAILURE() << r.expression;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.className(), r.className) << r.expression;
            EXPECT_EQ(e.message(), r.text) << r.expression;
        }
    }
}

TEST(Evaluate, emptyListIsZero)
{
    EXPECT_EQ(Evaluate(nullptr), 0.0L);
}

TEST(Evaluate, faultStopsTheListAndLeavesItIntact)
{
    TParser p;
    p.CompileExpression("SIN(Y)+1/X");
    p.Y = 1;
    EXPECT_THROW(p.Value(), EZeroDivide);
    // SIN ran before the division faulted; the add after it did not.
    const OpNode* sinNode = p.FirstNode();
    EXPECT_EQ(*sinNode->Dest, std::sin(1.0));
    p.X = 2;
    EXPECT_DOUBLE_EQ(static_cast<double>(p.Value()), std::sin(1.0) + 0.5);
}

TEST(Evaluate, returnsTheExtendedWidenedDouble)
{
    TParser p;
    p.CompileExpression("X/3");
    p.X = 1;
    EXPECT_EQ(p.Value(), static_cast<long double>(1.0 / 3.0));
}

TEST(Random, followsTheOneSequenceFromStateZero)
{
    randomState() = 0;
    TParser p;
    p.CompileExpression("RND(10)");
    EXPECT_EQ(static_cast<double>(p.Value()), 10.0L * 1 / 4294967296.0L);
    EXPECT_EQ(static_cast<double>(p.Value()), 10.0L * 134775814 / 4294967296.0L);
    // Another list draws from the same generator.
    TParser q;
    q.CompileExpression("RND(0.9)");
    EXPECT_EQ(static_cast<double>(q.Value()), 0.0);
    const std::uint32_t state = 134775814u * 134775813u + 1u;
    EXPECT_EQ(randomState(), state);
    for (int i = 0; i < 1000; ++i) {
        const double v = static_cast<double>(p.Value());
        EXPECT_GE(v, 0.0);
        EXPECT_LT(v, 10.0);
    }
}

} // namespace
