#include "plot/PlotRenderer.h"

#include "plot/Canvas.h"
#include "plot/Colors.h"
#include "plot/Curves.h"
#include "plot/Layers.h"
#include "plot/NumberText.h"
#include "plot/PlotSurface.h"
#include "plot/ViewMapping.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kurvaro {

PlotRenderer::PlotRenderer(ViewStore& view, PlotSurface& surface) : view(view), surface(surface)
{
    parser.OnParserError = [this](TCustomParser* sender, const Exception& error) {
        Parser1ParserError(sender, error);
    };
}

void PlotRenderer::Redraw(const FunctionSlotStore& functions, const PlotOptionsStore& options)
{
    if (drawing || released) {
        return;
    }
    drawing = true;
    try {
        if (DrawBackground(options)) {
            DrawFunctions(functions);
        }
        PresentPlot();
    } catch (...) {
        // The window must stay usable: controls back on and the picture shown
        // before the failure goes on to the general error box.
        drawing = false;
        if (controlsDisabled) {
            SetControlsEnabled(true);
        }
        PresentPlot();
        throw;
    }
    drawing = false;
}

bool PlotRenderer::ReadViewRange()
{
    struct Step
    {
        RangeField field;
        double ViewRange::*value;
        const char* message;
    };
    static constexpr Step steps[] = {
        {RangeField::XMax, &ViewRange::XMax, "Fehler in XMax an Stelle: "},
        {RangeField::XMin, &ViewRange::XMin, "Fehler in XMin an Stelle: "},
        {RangeField::YMax, &ViewRange::YMax, "Fehler in YMax an Stelle: "},
        {RangeField::YMin, &ViewRange::YMin, "Fehler in YMin an Stelle: "},
    };
    for (const Step& step : steps) {
        int errorPos = 0;
        range.*step.value = TextToReal(view.rangeText(step.field), errorPos);
        if (errorPos != 0) {
            surface.showWarning(QString::fromUtf8(step.message) + QString::number(errorPos));
            return false;
        }
    }
    if (range.XMin == range.XMax) {
        surface.showWarning(
            QStringLiteral("X-Breich ist 0. Überprüfen Sie den Bereich Xmin-Xmax."));
        return false;
    }
    if (range.YMin == range.YMax) {
        surface.showWarning(
            QStringLiteral("Y-Breich ist 0. Überprüfen Sie den Bereich Ymin-Ymax."));
        return false;
    }
    auto exchange = [this](RangeField low, RangeField high, double& lowValue, double& highValue) {
        const QString lowText = view.rangeText(low);
        const QString highText = view.rangeText(high);
        view.setRangeText(low, highText);
        view.setRangeText(high, lowText);
        std::swap(lowValue, highValue);
    };
    if (range.XMin > range.XMax) {
        exchange(RangeField::XMin, RangeField::XMax, range.XMin, range.XMax);
    }
    if (range.YMin > range.YMax) {
        exchange(RangeField::YMin, RangeField::YMax, range.YMin, range.YMax);
    }
    return true;
}

bool PlotRenderer::DrawBackground(const PlotOptionsStore& options)
{
    if (!ReadViewRange()) {
        return false;
    }
    const PlotOptions o = options.plotOptions();
    ClearPlot(o);
    const ViewMapping mapping(range, areaSize());
    if (o.Grid.Visible) {
        DrawGrid(*target, mapping, o.Grid);
    }
    if (o.Axis.Visible) {
        DrawAxes(*target, mapping, o.Axis.Color);
    }
    if (o.Scale.Visible) {
        DrawScale(*target, mapping, o.Scale);
    }
    if (o.AxisText.Visible) {
        DrawAxisText(*target, mapping, o.AxisText, o.BackGround.Color);
    }
    return true;
}

void PlotRenderer::ClearPlot(const PlotOptions& options)
{
    SetControlsEnabled(false);
    if (released) {
        return;
    }
    const QSize size = areaSize();
    const double ratio = surface.devicePixelRatio();
    // A picture that the surface still shares is replaced rather than overwritten.
    if (picture.size() != size || !picture.isDetached() ||
        picture.dotsPerMeterX() != canvasDotsPerMeter(ratio)) {
        picture = newCanvasImage(size.width(), size.height(), ratio);
    }
    target->clear(toQColor(options.BackGround.Color));
    changes.setWhole(picture.size());
}

void PlotRenderer::DrawFunctions(const FunctionSlotStore& functions)
{
    for (int n = 1; n <= FunctionSlotCount && !released; ++n) {
        const FunctionSlot slot = functions.functionSlot(n);
        if (slot.Visible) {
            DrawFunction(slot.Expression, slot.Color, n);
        }
    }
    SetControlsEnabled(true);
}

void PlotRenderer::DrawFunction(const QString& expression, TColor color, int slotNumber)
{
    surface.processEvents();
    if (released) {
        return;
    }
    PresentPlot();
    surface.processEvents();
    if (released) {
        return;
    }

    parserErrorFlag = false;
    const QString text = RemoveSpaces(expression);
    const std::string source = text.toStdString();
    const ViewMapping mapping(range, areaSize());
    // A compile error sets ParserErrorFlag through Parser1's handler.
    const std::optional<double> first = SampleColumn(parser, source, mapping, 1);
    if (parserErrorFlag) {
        surface.showWarning(QStringLiteral("Fehler beim Berechnen der ") +
                            QString::number(slotNumber) + QStringLiteral(". Funktion: \"") + text +
                            QStringLiteral("\".") + QStringLiteral("\r\n") +
                            QStringLiteral("Überprüfen Sie die richtige Schreibweise !"));
        return;
    }
    DrawCurve(*target, mapping, parser, source, first, toQColor(color), changes);
}

void PlotRenderer::PresentPlot()
{
    if (released) {
        return;
    }
    const std::vector<QRect> changed = changes.rects();
    surface.presentPlot(picture, changed);
    changes.clear();
}

void PlotRenderer::releasePicture()
{
    released = true;
    picture = QImage();
    changes.setWhole(QSize());
}

void PlotRenderer::setCopyTarget(PlotTarget* copy)
{
    if (copy == nullptr) {
        both.reset();
        target = &raster;
        return;
    }
    both.emplace(raster, *copy);
    target = &*both;
}

void PlotRenderer::SetControlsEnabled(bool enabled)
{
    controlsDisabled = !enabled;
    surface.setControlsEnabled(enabled);
}

void PlotRenderer::Parser1ParserError(TCustomParser*, const Exception&)
{
    parserErrorFlag = true;
}

QSize PlotRenderer::areaSize() const
{
    const QSize s = surface.drawingAreaSize();
    return QSize(std::max(0, s.width()), std::max(0, s.height()));
}

} // namespace kurvaro
