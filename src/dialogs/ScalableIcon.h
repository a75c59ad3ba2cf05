#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <functional>

namespace kurvaro {

/// Paints a picture of `size` logical pixels at `ratio` device pixels per
/// logical pixel: a pixmap of size x ratio device pixels (each side rounded).
using PictureAtRatio = std::function<QPixmap(qreal ratio)>;

/// An icon of `size` whose pictures are painted anew at the device pixel
/// ratio of the screen they are shown on, so that they stay sharp on a HiDPI
/// screen. At ratio 1 it shows exactly what an icon made from `paint(1)`
/// shows, the greyed look of a disabled button included.
QIcon scalableIcon(QSize size, PictureAtRatio paint);

} // namespace kurvaro
