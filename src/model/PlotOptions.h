#pragma once

#include "model/Color.h"

#include <QString>

namespace kurvaro {

/// The display options, initialised to the options dialog's designed values.
/// The intervals are texts: the layers convert them at every redraw.
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

} // namespace kurvaro
