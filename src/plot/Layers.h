#pragma once

#include "model/Color.h"
#include "model/PlotOptions.h"

class QImage;

namespace kurvaro {

class PlotTarget;
class ViewMapping;

// The background layers over the cleared picture, each a painter over the
// picture and the mapping of the view onto it. A layer's intervals are
// converted first (a text too large for a double throws EOverflow); an
// interval of 0, or one that does not convert, draws nothing in its
// direction. An empty picture is left alone. Each layer draws into a target
// (the raster picture, or it and a vector copy); the QImage forms draw into
// that picture alone. A mark whose pixel leaves the
// 64-bit range ends the layer with EInvalidOp, as the mapping does.

/// A vertical line over the whole height at each multiple of IX, then a
/// horizontal line over the whole width at each multiple of IY.
void DrawGrid(PlotTarget& target, const ViewMapping& mapping, const PlotOptions::Layer& grid);
void DrawGrid(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& grid);

/// The y axis when XMin < 0 < XMax, then the x axis when YMin < 0 < YMax.
void DrawAxes(PlotTarget& target, const ViewMapping& mapping, TColor color);
void DrawAxes(QImage& picture, const ViewMapping& mapping, TColor color);

/// Ticks of 5 pixels across the line where each axis would be, at the
/// multiples of IX on the x axis and of IY on the y axis, zero included.
void DrawScale(PlotTarget& target, const ViewMapping& mapping, const PlotOptions::Layer& scale);
void DrawScale(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& scale);

/// The labels of the multiples but the origin, on boxes of `background`:
/// below the x axis from 3 pixels left of each tick, right of the y axis from
/// 6 pixels above each tick. Labels outside the four-decimal fixed-point
/// range are left out.
void DrawAxisText(PlotTarget& target, const ViewMapping& mapping,
                  const PlotOptions::Layer& axisText, TColor background);
void DrawAxisText(QImage& picture, const ViewMapping& mapping, const PlotOptions::Layer& axisText,
                  TColor background);

} // namespace kurvaro
