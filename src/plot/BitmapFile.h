#pragma once

#include "model/Faults.h"

#include <QByteArray>
#include <QString>

class QImage;

namespace kurvaro {

/// The runtime's failure when a file cannot be created.
KURVARO_EXCEPTION_CLASS(EFCreateError, Exception)

/// Throws EFCreateError ("Datei %s kann nicht erstellt werden", the name in
/// place of %s).
[[noreturn]] void cannotCreateFile(const QString& fileName);

/// The type list of the save-picture dialog, entries separated by ";;",
/// "Alle (...)" first: the picture formats known to the program, last
/// registered first.
QString SavePictureFilter();

/// The name a picture is written under: `chosen` unchanged when its extension
/// (from the last "." after the last path separator) upper-cases to ".BMP" by
/// the locale's rules, else `chosen` + ".BMP". "kurve." gives "kurve..BMP".
QString BitmapFileName(const QString& chosen);

/// `picture` as an uncompressed 24-bit Windows BMP (BITMAPINFOHEADER, rows
/// bottom-up, each padded to four bytes). A null picture gives a valid 0 x 0
/// bitmap.
QByteArray BitmapFileBytes(const QImage& picture);

/// Writes BitmapFileBytes(picture), creating or replacing the file. The file
/// appears only when complete; an existing file survives a failed write.
/// Throws EFCreateError ("Datei %s kann nicht erstellt werden") when the file
/// cannot be created or written.
void SaveBitmapFile(const QImage& picture, const QString& fileName);

} // namespace kurvaro
