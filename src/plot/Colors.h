#pragma once

#include "model/Color.h"

#include <QColor>

namespace kurvaro {

/// Converts a stored colour to what QPainter paints: RGB from 0x00BBGGRR,
/// system colours from the matching QPalette role, clNone as its low 24 bits.
QColor toQColor(TColor color);

} // namespace kurvaro
