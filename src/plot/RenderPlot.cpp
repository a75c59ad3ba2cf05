#include "plot/RenderPlot.h"

#include "plot/PlotRenderer.h"
#include "plot/PlotSurface.h"

namespace kurvaro {

namespace {

/// A drawing area of a fixed size with nothing around it.
class FixedSurface final : public PlotSurface
{
public:
    FixedSurface(QSize size, RenderedPlot& result,
                 const std::function<void(const QString&)>& onWarning)
        : size(size), result(result), onWarning(onWarning)
    {
    }

    QSize drawingAreaSize() const override { return size; }
    void showWarning(const QString& text) override
    {
        result.warnings.append(text);
        if (onWarning) {
            onWarning(text);
        }
    }
    void processEvents() override {}
    void presentPlot(const QImage&, std::span<const QRect>) override {}
    void setControlsEnabled(bool enabled) override
    {
        // The controls are disabled only once the range has been accepted.
        if (!enabled) {
            result.drawn = true;
        }
    }

private:
    QSize size;
    RenderedPlot& result;
    const std::function<void(const QString&)>& onWarning;
};

} // namespace

RenderedPlot renderPlot(const FunctionSlotStore& functions, const PlotOptionsStore& options,
                        ViewStore& view, QSize size,
                        const std::function<void(const QString&)>& onWarning, PlotTarget* copy)
{
    RenderedPlot result;
    FixedSurface surface(size, result, onWarning);
    PlotRenderer renderer(view, surface);
    renderer.setCopyTarget(copy);
    renderer.Redraw(functions, options);
    if (result.drawn) {
        result.picture = renderer.PlotBitmap();
    }
    return result;
}

} // namespace kurvaro
