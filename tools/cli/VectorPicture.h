#pragma once

// The SVG and PDF pictures of `kurvaro-cli render`: drawn in memory along
// with the raster picture, written out only once the redraw has drawn.

#include "RenderOptions.h"

#include "plot/VectorTarget.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QSize>

#include <memory>
#include <optional>

class QPaintDevice;

namespace kurvaro {

class VectorPicture
{
public:
    /// An SVG of W x H pixels (at 96 dots per inch), or a PDF of one page of
    /// W x H points; one unit of either is one pixel of the raster picture.
    VectorPicture(PictureFormat format, QSize size);
    ~VectorPicture();
    VectorPicture(const VectorPicture&) = delete;
    VectorPicture& operator=(const VectorPicture&) = delete;

    PlotTarget& target() { return *vectorTarget; }
    /// Ends the drawing: the file's bytes.
    QByteArray finish();

private:
    QBuffer buffer;
    std::unique_ptr<QPaintDevice> device;
    QPainter painter;
    std::optional<VectorTarget> vectorTarget;
};

} // namespace kurvaro
