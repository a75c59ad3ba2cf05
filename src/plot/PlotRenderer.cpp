#include "plot/PlotRenderer.h"

#include "plot/NumberText.h"
#include "plot/RendererImpl.h"

#include <limits>
#include <utility>

namespace kurvaro {

PlotRenderer::PlotRenderer(PlotHost& host) : d(std::make_unique<Impl>(host))
{
    d->parser.OnParserError = [this](TCustomParser* sender, const Exception& error) {
        Parser1ParserError(sender, error);
    };
}

PlotRenderer::~PlotRenderer() = default;

void PlotRenderer::Redraw()
{
    if (d->drawing || d->released) {
        return;
    }
    d->drawing = true;
    try {
        if (DrawBackground()) {
            DrawFunctions();
        }
        PresentPlot();
    } catch (...) {
        // The window must stay usable: controls back on and the picture shown
        // before the failure goes on to the general error box.
        d->drawing = false;
        if (d->controlsDisabled) {
            SetControlsEnabled(true);
        }
        PresentPlot();
        throw;
    }
    d->drawing = false;
}

bool PlotRenderer::isDrawing() const
{
    return d->drawing;
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
        d->range.*step.value = TextToReal(d->host.rangeText(step.field), errorPos);
        if (errorPos != 0) {
            d->host.showWarning(QString::fromUtf8(step.message) + QString::number(errorPos));
            return false;
        }
    }
    ViewRange& r = d->range;
    if (r.XMin == r.XMax) {
        d->host.showWarning(
            QStringLiteral("X-Breich ist 0. Überprüfen Sie den Bereich Xmin-Xmax."));
        return false;
    }
    if (r.YMin == r.YMax) {
        d->host.showWarning(
            QStringLiteral("Y-Breich ist 0. Überprüfen Sie den Bereich Ymin-Ymax."));
        return false;
    }
    auto exchange = [this](RangeField low, RangeField high, double& lowValue, double& highValue) {
        const QString lowText = d->host.rangeText(low);
        const QString highText = d->host.rangeText(high);
        d->host.setRangeText(low, highText);
        d->host.setRangeText(high, lowText);
        std::swap(lowValue, highValue);
    };
    if (r.XMin > r.XMax) {
        exchange(RangeField::XMin, RangeField::XMax, r.XMin, r.XMax);
    }
    if (r.YMin > r.YMax) {
        exchange(RangeField::YMin, RangeField::YMax, r.YMin, r.YMax);
    }
    return true;
}

const ViewRange& PlotRenderer::LastRange() const
{
    return d->range;
}

namespace {

/// Pixels per plane unit; 0 for an empty range and for one with
/// low >= 0 >= high, which has not been put in order.
double scale(int extent, double low, double high)
{
    if (low == high || (low >= 0 && high <= 0)) {
        return 0;
    }
    return storeDouble(static_cast<long double>(extent) /
                       (static_cast<long double>(high) - static_cast<long double>(low)));
}

} // namespace

double PlotRenderer::ScaleX() const
{
    return scale(d->area().width(), d->range.XMin, d->range.XMax);
}

double PlotRenderer::ScaleY() const
{
    return scale(d->area().height(), d->range.YMin, d->range.YMax);
}

long long PlotRenderer::XToPixel(double x) const
{
    return nearestInt64(static_cast<long double>(ScaleX()) *
                        (static_cast<long double>(x) - d->range.XMin));
}

long long PlotRenderer::YToPixel(double y) const
{
    const long long height = d->area().height();
    const long long n = nearestInt64(static_cast<long double>(ScaleY()) *
                                     (static_cast<long double>(y) - d->range.YMin));
    if (n < height - std::numeric_limits<long long>::max()) {
        faults::invalidOp();
    }
    return height - n;
}

double PlotRenderer::PixelToX(long long column) const
{
    const double s = ScaleX();
    if (s == 0) {
        return 0;
    }
    return storeDouble(d->range.XMin + static_cast<long double>(column) / s);
}

double PlotRenderer::PixelToY(long long row) const
{
    const double s = ScaleY();
    if (s == 0) {
        return 0;
    }
    const long double height = d->area().height();
    return storeDouble(d->range.YMin + (height - static_cast<long double>(row)) / s);
}

void PlotRenderer::SetControlsEnabled(bool enabled)
{
    d->controlsDisabled = !enabled;
    d->host.setControlsEnabled(enabled);
}

void PlotRenderer::PresentPlot()
{
    if (d->released) {
        return;
    }
    d->host.presentPlot(d->picture);
}

const QImage& PlotRenderer::PlotBitmap() const
{
    return d->picture;
}

void PlotRenderer::releasePicture()
{
    d->released = true;
    d->picture = QImage();
}

bool PlotRenderer::pictureReleased() const
{
    return d->released;
}

TParser& PlotRenderer::Parser1()
{
    return d->parser;
}

bool PlotRenderer::ParserErrorFlag() const
{
    return d->parserErrorFlag;
}

void PlotRenderer::Parser1ParserError(TCustomParser*, const Exception&)
{
    d->parserErrorFlag = true;
}

} // namespace kurvaro
