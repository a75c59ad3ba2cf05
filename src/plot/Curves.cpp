#include "plot/PlotRenderer.h"

#include "plot/NumberText.h"
#include "plot/RendererImpl.h"

#include <string>

namespace kurvaro {

void PlotRenderer::DrawFunctions()
{
    for (int n = 1; n <= FunctionSlotCount && !d->released; ++n) {
        const FunctionSlot slot = d->host.functionSlot(n);
        if (slot.Visible) {
            DrawFunction(slot.Expression, slot.Color, n);
        }
    }
    SetControlsEnabled(true);
}

void PlotRenderer::DrawFunction(const QString& expression, TColor color, int slotNumber)
{
    d->host.processEvents();
    if (d->released) {
        return;
    }
    PresentPlot();
    d->host.processEvents();
    if (d->released) {
        return;
    }

    d->parserErrorFlag = false;
    d->penColor = toQColor(color);

    TParser& parser = d->parser;
    const QString text = RemoveSpaces(expression);
    const std::string source = text.toStdString();
    double v = 0;
    bool haveValue = false; // no segment starts before a first good value
    try {
        parser.X = PixelToX(1);
        parser.CompileExpression(source); // a compile error sets ParserErrorFlag
        v = storeDouble(parser.Value());
        haveValue = true;
    } catch (const Exception&) {
    }

    if (d->parserErrorFlag) {
        d->host.showWarning(QStringLiteral("Fehler beim Berechnen der ") +
                            QString::number(slotNumber) + QStringLiteral(". Funktion: \"") + text +
                            QStringLiteral("\".") + QStringLiteral("\r\n") +
                            QStringLiteral("Überprüfen Sie die richtige Schreibweise !"));
        return;
    }

    const long long width = d->area().width();
    for (long long k = 2; k <= width; ++k) {
        const double previous = v;
        const bool havePrevious = haveValue;
        try {
            parser.X = PixelToX(k);
            parser.CompileExpression(source);
            v = storeDouble(parser.Value());
            haveValue = true;
        } catch (const Exception&) {
            continue; // v keeps the last good value; no segment into column k
        }
        if (!havePrevious) {
            continue;
        }
        try {
            const long long from = YToPixel(previous);
            const long long to = YToPixel(v);
            const long long height = d->area().height();
            const bool inside = (from >= 1 && from <= height) || (to >= 1 && to <= height);
            if (inside && d->canPaint()) {
                d->line(k - 1, from, k, to);
            }
        } catch (const Exception&) {
            // a row beyond the 64-bit range: no segment touches it
        }
    }
}

} // namespace kurvaro
