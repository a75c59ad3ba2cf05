#pragma once

#include "model/Color.h"

#include <QString>

#include <array>
#include <optional>

namespace kurvaro {

/// Integer conversion of the settings file: an optional "+" or "-", then
/// decimal digits, or "$" and hexadecimal digits (either letter case). No
/// blanks anywhere. Decimal values must fit a signed 32-bit integer;
/// hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1). Anything else is
/// not an integer: nullopt.
std::optional<int> TryStrToInt(const QString& text);

/// TryStrToInt, throwing EConvertError ("'%s' ist kein gültiger Integerwert",
/// the text in place of %s) when the text is not an integer.
int StrToInt(const QString& text);

struct ColorName
{
    const char* Name;
    TColor Value;
};

/// The 42 colour names, searched from the first row.
extern const std::array<ColorName, 42> ColorNames;

/// The value of the first row whose name equals `text` ignoring ASCII letter case.
std::optional<TColor> IdentToColor(const QString& text);

/// The name of the first row with this value, spelt as in the table, else "$"
/// and eight upper-case hexadecimal digits of the 32-bit value.
QString ColorToString(TColor color);

/// A colour name (IdentToColor), else StrToInt (which may throw EConvertError).
TColor StringToColor(const QString& text);

} // namespace kurvaro
