#pragma once

// Number helpers shared by the renderer's files. Arithmetic runs in extended
// precision and is rounded once, as the rest of the program does it.

/// Nearest integer, ties to even. Throws EInvalidOp outside the signed 64-bit
/// range (NaN included).
long long nearestInt64(long double value);

/// The value stored as a double. Throws EOverflow when it does not fit.
double storeDouble(long double value);
