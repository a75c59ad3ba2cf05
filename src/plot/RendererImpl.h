#pragma once

// The renderer's state, shared by its implementation files only.

#include "parser/Parser10.h"
#include "plot/Canvas.h"
#include "plot/PlotRenderer.h"

#include <QColor>
#include <QImage>

namespace kurvaro {

struct PlotRenderer::Impl
{
    explicit Impl(PlotHost& h) : host(h) {}

    PlotHost& host;
    TParser parser;
    QImage picture;
    ViewRange range;
    bool parserErrorFlag = false;
    bool drawing = false;
    bool released = false;
    bool controlsDisabled = false;

    // The canvas colours stay set from one layer to the next.
    QColor penColor = QColor(0, 0, 0);
    QColor brushColor = QColor(255, 255, 255);
    QColor fontColor = QColor(0, 0, 0);

    QSize area() const
    {
        const QSize s = host.drawingAreaSize();
        return QSize(std::max(0, s.width()), std::max(0, s.height()));
    }

    /// Whether there is a picture to paint into.
    bool canPaint() const { return !released && !picture.isNull(); }

    /// A line in the pen colour.
    void line(long long x0, long long y0, long long x1, long long y1)
    {
        drawCanvasLine(picture, penColor.rgb(), x0, y0, x1, y1);
    }
};

} // namespace kurvaro
