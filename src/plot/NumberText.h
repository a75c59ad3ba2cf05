#pragma once

#include <QString>

namespace kurvaro {

// The number texts of the range, interval and label fields, and the
// arithmetic helpers that the mapping and the layers share: extended
// precision, rounded once, as the rest of the program computes.

/// Nearest integer, ties to even. Throws EInvalidOp outside the signed 64-bit
/// range (NaN included).
long long nearestInt64(long double value);

/// The value stored as a double. Throws EOverflow when it does not fit.
double storeDouble(long double value);

/// The number syntax of the range and interval fields: optional leading
/// blanks (code 32), optional sign, digits with at most one ".", optional
/// exponent; "." whatever the locale. Returns the value; `errorPos` is 0 on
/// success, else the 1-based index of the first character that does not fit
/// (one past the end when the text ends too early).
/// Throws EOverflow when the value does not fit a double.
double TextToReal(const QString& text, int& errorPos);

/// A plane value as four-decimal fixed-point text (halves to even, trailing
/// zeros dropped) with the given decimal separator. Throws EInvalidOp outside
/// -922337203685477.5808 .. 922337203685477.5807.
QString FormatFixed4(double value, QChar decimalSeparator);

/// The text of a range field: FormatFixed4 with the locale's separator, every
/// "," then replaced by ".".
QString FormatRangeValue(double value);

/// Nearest integer, ties to even. Throws EInvalidOp outside the signed 64-bit range.
long long RoundToInt64(double value);

/// The decimal separator of the current default locale (QLocale()).
QChar localeDecimalSeparator();

/// The text of an axis label: FormatFixed4 with the locale's separator.
/// Throws EInvalidOp outside the four-decimal fixed-point range.
QString FormatLabelValue(double value);

} // namespace kurvaro
