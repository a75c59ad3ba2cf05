#pragma once

#include "model/Stores.h"
#include "model/ViewRange.h"
#include "parser/Parser10.h"
#include "plot/ChangedArea.h"
#include "plot/PlotTarget.h"

#include <QImage>
#include <QSize>

#include <optional>

namespace kurvaro {

class PlotSurface;

/// The redraw sequence: DrawBackground (ReadViewRange, ClearPlot and the
/// layers whose flags are set), DrawFunctions when it succeeded, PresentPlot.
/// It owns PlotBitmap, LastRange and Parser1; it reads the range fields from
/// the view store and everything else from the stores handed to Redraw, fresh
/// at every use, and reaches the window only through its surface.
///
/// Failures that belong in the general error box (for example a range text
/// '1e400': EOverflow) leave Redraw as exceptions, after the controls have
/// been enabled again and the picture presented.
class PlotRenderer
{
public:
    PlotRenderer(ViewStore& view, PlotSurface& surface);
    PlotRenderer(const PlotRenderer&) = delete;
    PlotRenderer& operator=(const PlotRenderer&) = delete;

    /// DrawBackground, then DrawFunctions when it succeeded, then PresentPlot.
    /// Ignored while a redraw runs (a request from the event pump) and after
    /// the picture has been released.
    void Redraw(const FunctionSlotStore& functions, const PlotOptionsStore& options);
    bool isDrawing() const { return drawing; }

    /// Converts and checks the four range fields into LastRange, in the order
    /// XMax, XMin, YMax, YMin; shows a warning and returns false at the first
    /// field that does not convert or at equal bounds; exchanges reversed
    /// bounds, texts included. Throws EOverflow for a value beyond a double.
    bool ReadViewRange();
    const ViewRange& LastRange() const { return range; }

    /// Hands PlotBitmap to the surface with what has been drawn into it since
    /// the last presentation (nothing once the picture is released).
    void PresentPlot();

    /// The picture of the last redraw (what "Als Bitmap speichern" writes).
    const QImage& PlotBitmap() const { return picture; }
    /// Frees the picture for good (the main window closing); a redraw still
    /// running stops at its next step and draws nothing more.
    void releasePicture();
    bool pictureReleased() const { return released; }

    /// Draws every later redraw also into `copy` (a vector picture of the
    /// same size), with the same lines and labels as PlotBitmap; nullptr
    /// stops that. The copy must outlive its use.
    void setCopyTarget(PlotTarget* copy);

    TParser& Parser1() { return parser; }
    bool ParserErrorFlag() const { return parserErrorFlag; }

private:
    bool DrawBackground(const PlotOptionsStore& options);
    void ClearPlot(const PlotOptions& options);
    void DrawFunctions(const FunctionSlotStore& functions);
    void DrawFunction(const QString& expression, TColor color, int slotNumber);
    void SetControlsEnabled(bool enabled);
    /// The handler bound to Parser1's OnParserError: sets ParserErrorFlag.
    void Parser1ParserError(TCustomParser* sender, const Exception& error);

    /// The drawing area's size now, negative sides as 0.
    QSize areaSize() const;

    ViewStore& view;
    PlotSurface& surface;
    TParser parser;
    QImage picture;
    RasterTarget raster{picture};
    /// Where the painters draw: `raster`, or it and a copy.
    PlotTarget* target = &raster;
    std::optional<BothTargets> both;
    /// Drawn into `picture` since the last PresentPlot.
    ChangedArea changes;
    ViewRange range;
    bool parserErrorFlag = false;
    bool drawing = false;
    bool released = false;
    bool controlsDisabled = false;
};

} // namespace kurvaro
