#pragma once

#include <stdexcept>
#include <string>

namespace kurvaro {

/// Base of every failure Kurvaro raises: a message and the class name that
/// scripts see (`kurvaro-cli eval` prints "CLASS: MESSAGE").
///
/// Messages are UTF-8. The German runtime texts are the ones the user sees in
/// the general error box.
class Exception : public std::runtime_error
{
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    const std::string message() const { return what(); }
    virtual const char* className() const { return "Exception"; }
};

#define KURVARO_EXCEPTION_CLASS(Name, Base)                                                        \
    class Name : public Base                                                                       \
    {                                                                                              \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* className() const override { return #Name; }                                   \
    };

// Arithmetic faults. They replace NaN and infinity: no cell ever holds either.
KURVARO_EXCEPTION_CLASS(EMathError, Exception)
KURVARO_EXCEPTION_CLASS(EInvalidOp, EMathError)
KURVARO_EXCEPTION_CLASS(EZeroDivide, EMathError)
KURVARO_EXCEPTION_CLASS(EOverflow, EMathError)
KURVARO_EXCEPTION_CLASS(EIntError, Exception)
KURVARO_EXCEPTION_CLASS(EDivByZero, EIntError)

namespace faults {
inline constexpr const char* InvalidOp = "Ungültige Gleitkommaoperation";
inline constexpr const char* ZeroDivide = "Gleitkommadivision durch Null";
inline constexpr const char* Overflow = "Gleitkommaüberlauf";
inline constexpr const char* DivByZero = "Division durch Null";

[[noreturn]] inline void invalidOp()
{
    throw EInvalidOp(InvalidOp);
}
[[noreturn]] inline void zeroDivide()
{
    throw EZeroDivide(ZeroDivide);
}
[[noreturn]] inline void overflow()
{
    throw EOverflow(Overflow);
}
[[noreturn]] inline void divByZero()
{
    throw EDivByZero(DivByZero);
}
} // namespace faults

} // namespace kurvaro
