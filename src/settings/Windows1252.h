#pragma once

#include <QByteArray>
#include <QString>

namespace kurvaro {

/// The single-byte code page of the settings file.
///
/// Decoding maps every byte to one character. The five bytes that the code
/// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
/// characters of the same value, so that no byte of a hand-edited file is
/// lost on its way through a control and back.
QString fromWindows1252(const QByteArray& bytes);

/// Encoding writes each character (each code point, so a surrogate pair too)
/// as one byte; a character the code page cannot hold becomes "?".
QByteArray toWindows1252(const QString& text);

} // namespace kurvaro
