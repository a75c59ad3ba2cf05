#pragma once

#include <QIcon>

namespace kurvaro {

// The small pictures on the dialogs' buttons, drawn in code at 16 x 16
// logical pixels, sharp at any device pixel ratio.

/// A green tick: the OK buttons.
QIcon okGlyph();
/// A red cross: the "Abbrechen" buttons.
QIcon cancelGlyph();
/// A magenta letter "i", the information sign: the help button.
QIcon infoGlyph();

} // namespace kurvaro
