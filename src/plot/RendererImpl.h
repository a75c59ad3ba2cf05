#pragma once

// The renderer's state, shared by its implementation files only.

#include "Canvas.h"
#include "Parser10.h"
#include "PlotRenderer.h"

#include <QColor>
#include <QImage>
#include <QPainter>

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

    /// Starts painting on the picture with the canvas pen of `penColor`.
    /// Ends before the picture is handed out, so that a copy never shares a
    /// buffer that is still being painted.
    void beginPainting(QPainter& painter)
    {
        painter.begin(&picture);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(canvasPen(penColor));
    }
};
