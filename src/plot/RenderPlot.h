#pragma once

#include "model/Stores.h"

#include <QImage>
#include <QSize>
#include <QStringList>

#include <functional>

namespace kurvaro {

class PlotTarget;

/// The outcome of renderPlot.
struct RenderedPlot
{
    /// PlotBitmap after the redraw; null when the range was refused.
    QImage picture;
    /// The range was accepted and the background drawn.
    bool drawn = false;
    /// The warnings the redraw showed, in order.
    QStringList warnings;
};

/// One redraw without a window, as the main window would draw it on a drawing
/// area of `size`: no event pump, warnings collected (and handed to
/// `onWarning` as they come, when set). Reversed bounds are exchanged in
/// `view` as in the range fields. Failures that the window's general error
/// box would show propagate as exceptions. `copy`, when set, receives the
/// same drawing as the picture (a vector picture of `size`).
RenderedPlot renderPlot(const FunctionSlotStore& functions, const PlotOptionsStore& options,
                        ViewStore& view, QSize size,
                        const std::function<void(const QString&)>& onWarning = {},
                        PlotTarget* copy = nullptr);

} // namespace kurvaro
