#pragma once

// The model values the renderer draws from. The controls of the dialogs and
// the main window hold them; everything else reads them through small
// interfaces, fresh each time.

#include <QString>

#include <array>
#include <cstdint>

/// A colour: 0x00BBGGRR for RGB (red in the lowest byte), 0x80000000 + index
/// (index up to 0x18) for a desktop system colour, 0x1FFFFFFF for no colour.
using TColor = std::int32_t;

namespace colors {
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor SystemColorBase = static_cast<TColor>(0x80000000u);
} // namespace colors

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

/// The display options, initialised to the options dialog's designed values.
struct PlotOptions
{
    struct Layer
    {
        bool Visible = true;
        QString IX = QStringLiteral("1");
        QString IY = QStringLiteral("1");
        TColor Color = colors::clGray;
    };
    struct Background
    {
        TColor Color = 0x00FEF1F2;
    };
    struct Axes
    {
        bool Visible = true;
        TColor Color = colors::clGray;
    };

    Layer Grid{true, QStringLiteral("1"), QStringLiteral("1"), 0x00EBEBEB};
    Background BackGround;
    Axes Axis;
    Layer Scale;
    Layer AxisText;
};

/// The four range fields of the main window.
enum class RangeField
{
    XMin,
    XMax,
    YMin,
    YMax
};

/// The main window's outer bounds, in the order the settings file applies them.
enum class WindowBound
{
    Width,
    Height,
    Top,
    Left
};

/// Designed range texts and window bounds of the main window.
inline const QString DesignedRangeText(RangeField f)
{
    return (f == RangeField::XMin || f == RangeField::YMin) ? QStringLiteral("-5")
                                                            : QStringLiteral("5");
}
inline constexpr int DesignedWindowBound(WindowBound b)
{
    switch (b) {
    case WindowBound::Width:
        return 683;
    case WindowBound::Height:
        return 498;
    case WindowBound::Top:
        return 115;
    case WindowBound::Left:
        return 183;
    }
    return 0;
}
