#pragma once

#include <QImage>

namespace kurvaro {

/// The info dialog's sample picture: 305 x 234 pixels, drawn by Kurvaro's own
/// renderer from fixed data (a light grid, numbered axes, several curves).
/// A renderer failure gives the bare background instead; it never throws.
QImage drawSamplePlot();

} // namespace kurvaro
