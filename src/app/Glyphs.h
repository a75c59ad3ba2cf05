#pragma once

#include <QIcon>
#include <QPixmap>

namespace kurvaro {

/// The main window's pictures, painted by the program itself as vector shapes.
/// Speed-button glyphs are 11 x 11, command-button glyphs 16 x 16, the zoom
/// picture 44 x 41 logical pixels; everything outside the drawing is transparent.
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

/// The picture at `ratio` device pixels per logical pixel: its size times the
/// ratio in device pixels, that ratio as its device pixel ratio.
QPixmap glyphPicture(Glyph glyph, qreal ratio = 1.0);
/// A button's icon: the picture painted anew at the ratio of the screen it
/// is shown on (at ratio 1 exactly the icon of glyphPicture).
QIcon glyphIcon(Glyph glyph);

} // namespace kurvaro
