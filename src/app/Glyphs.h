#pragma once

#include <QPixmap>

namespace kurvaro {

/// The main window's pictures, painted by the program itself. Speed-button
/// glyphs are 11 x 11, command-button glyphs 16 x 16, the zoom picture 44 x 41;
/// everything outside the drawing is transparent.
enum class Glyph
{
    ArrowUp,
    ArrowLeft,
    ArrowRight,
    ArrowDown,
    Minus,
    Plus,
    Rulers,     ///< "Funktionen bestimmen": yellow cross of two rulers
    CheckBoxes, ///< "Optionen bearbeiten": two check boxes, the upper one ticked
    Floppy,     ///< "Als Bitmap speichern": floppy disk with a picture
    Brush,      ///< "Aktualisieren ": paint brush
    InfoBubble, ///< "Info zum Programm": speech bubble with an "i"
    Zoom,       ///< the word "Zoom" under a magnifying glass
};

QPixmap glyphPicture(Glyph glyph);

} // namespace kurvaro
