#pragma once

#include "model/ViewRange.h"
#include "plot/PlotHost.h"

#include <QImage>

#include <memory>

class QColor;

namespace kurvaro {

class Exception;

class TCustomParser;
class TParser;

/// Converts a stored colour to what QPainter paints: RGB from 0x00BBGGRR,
/// system colours from the matching QPalette role, clNone as its low 24 bits.
QColor toQColor(TColor color);

/// Removes every blank (code 32); tabs and all other characters stay.
QString RemoveSpaces(const QString& text);

/// Draws the picture: reads and checks the view range, paints the background
/// layers and the function curves into PlotBitmap, and hands it to the host.
/// A plain class: it knows nothing of widgets and reaches the program only
/// through its PlotHost.
///
/// Failures that belong in the general error box (for example a range text
/// '1e400': EOverflow) leave Redraw as exceptions, after the controls have
/// been enabled again and the picture presented.
class PlotRenderer
{
public:
    explicit PlotRenderer(PlotHost& host);
    ~PlotRenderer();
    PlotRenderer(const PlotRenderer&) = delete;
    PlotRenderer& operator=(const PlotRenderer&) = delete;

    /// DrawBackground, then DrawFunctions when it succeeded, then PresentPlot.
    /// Ignored while a redraw runs (a request from the event pump) and after
    /// the picture has been released.
    void Redraw();
    bool isDrawing() const;

    bool ReadViewRange();
    const ViewRange& LastRange() const;

    double ScaleX() const;
    double ScaleY() const;
    long long XToPixel(double x) const;
    long long YToPixel(double y) const;
    double PixelToX(long long column) const;
    double PixelToY(long long row) const;

    /// Enables or disables the main window's panel controls through the host.
    void SetControlsEnabled(bool enabled);

    /// ReadViewRange, then ClearPlot and the layers whose flags are set.
    /// False (nothing drawn, controls untouched) when the range was refused.
    bool DrawBackground();
    /// Disables the controls, sizes the picture to the drawing area and fills
    /// it with the background colour.
    void ClearPlot();
    /// The layers. An interval of 0, one that does not convert, or one so small
    /// that a multiple's number leaves the 64-bit range skips its direction.
    void DrawGrid();
    void DrawAxes();
    void DrawScale();
    /// Labels outside the four-decimal fixed-point range are left out.
    void DrawAxisText();

    /// The visible slots 1 to 10, then SetControlsEnabled(true).
    void DrawFunctions();
    /// One curve: event pump, PresentPlot, event pump, compile (a failure is
    /// reported in a warning naming slot `slotNumber`), then one sample per
    /// pixel column, the expression compiled again for every column.
    void DrawFunction(const QString& expression, TColor color, int slotNumber);
    /// Hands PlotBitmap to the host (nothing once the picture is released).
    void PresentPlot();

    /// The picture of the last redraw (what "Als Bitmap speichern" writes).
    const QImage& PlotBitmap() const;
    /// Frees the picture for good (the main window closing); a redraw still
    /// running stops at its next step and draws nothing more.
    void releasePicture();
    bool pictureReleased() const;

    TParser& Parser1();
    bool ParserErrorFlag() const;
    /// The handler bound to Parser1's OnParserError: sets ParserErrorFlag.
    void Parser1ParserError(TCustomParser* sender, const Exception& error);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kurvaro
