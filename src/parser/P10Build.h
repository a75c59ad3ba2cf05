#pragma once

// The expression compiler: turns an expression text into the operation list
// that Evaluate runs.

#include "parser/Parser10.h"

#include <string_view>

namespace kurvaro {

/// Compiles `text` into a list of OpNodes over fresh constant and result cells
/// and the cells of `variables`.
///
/// The text is upper-cased (ASCII), trimmed of blanks (character 32) and then
/// recognised without tokenising: each sub-text is offered to a fixed sequence
/// of recognisers that split it at an operator or take it as a variable,
/// number, negation, bracket or function call (P10Grammar). A single-pass
/// compiler builds the same list at once for the texts it can decide and
/// leaves every other text and every error to the recognisers. Nodes of kind
/// 0..13 come back without routine (the component binds them); kinds 14 and
/// 15 carry the routine found in `oneArg` / `twoArg`.
///
/// Throws EExpressionHasBlanks, EMissMatchingBracket, ESyntaxError,
/// ETooManyNestings (deeper than level 20), EExpressionTooComplex (more than 50
/// nodes on one level), and the arithmetic faults of a literal (EOverflow
/// beyond the double range, EInvalidOp for an exponent literal of magnitude
/// 2^63 or more). `errorFlag` is set before the syntax, nesting and complexity
/// errors. After any error nothing built is left allocated. The stack it uses
/// does not grow with the text; its memory grows in proportion to the text.
///
/// `pascalNumberFormat` true: numbers use "." whatever the locale; false: the
/// C library's current decimal separator, and at least one mantissa digit.
OpNode* BuildOperationList(std::string_view text, const TVariableTable& variables,
                           const TFunctionTable& oneArg, const TFunctionTable& twoArg,
                           bool pascalNumberFormat, bool& errorFlag);

} // namespace kurvaro
