#pragma once

#include "model/Color.h"

#include <QString>

#include <array>

namespace kurvaro {

inline constexpr int FunctionSlotCount = 10;

/// One of the ten functions: expression text, visible flag, colour.
struct FunctionSlot
{
    QString Expression;
    bool Visible = false;
    TColor Color = colors::clBlack;
};

/// The swatch colours the functions dialog is designed with, slots 1 to 10.
inline constexpr std::array<TColor, FunctionSlotCount> DesignedSlotColors = {
    colors::clBlack, colors::clRed,  colors::clYellow, colors::clGreen,   colors::clOlive,
    colors::clNavy,  colors::clTeal, colors::clPurple, colors::clFuchsia, colors::clAqua};

} // namespace kurvaro
