#include "VectorPicture.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace kurvaro {

namespace {

std::unique_ptr<QPaintDevice> vectorDevice(PictureFormat format, QSize size, QBuffer& buffer)
{
    if (format == PictureFormat::Svg) {
        auto svg = std::make_unique<QSvgGenerator>();
        svg->setOutputDevice(&buffer);
        svg->setSize(size);
        svg->setViewBox(QRect(QPoint(0, 0), size));
        // At 96 dots per inch the width and height it states are W and H
        // pixels of a browser, and the labels keep the raster's 8 points.
        svg->setResolution(96);
        svg->setTitle(QStringLiteral("Kurvaro"));
        return svg;
    }
    auto pdf = std::make_unique<QPdfWriter>(&buffer);
    pdf->setPageLayout(
        QPageLayout(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF()));
    pdf->setResolution(72); // one unit a point
    pdf->setTitle(QStringLiteral("Kurvaro"));
    pdf->setCreator(QStringLiteral("Kurvaro"));
    return pdf;
}

} // namespace

VectorPicture::VectorPicture(PictureFormat format, QSize size)
{
    buffer.open(QIODevice::WriteOnly);
    device = vectorDevice(format, size, buffer);
    painter.begin(device.get());
    vectorTarget.emplace(painter, size);
}

VectorPicture::~VectorPicture()
{
    if (painter.isActive()) {
        painter.end();
    }
}

QByteArray VectorPicture::finish()
{
    vectorTarget.reset();
    painter.end();
    return buffer.data();
}

} // namespace kurvaro
