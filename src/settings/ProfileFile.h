#pragma once

#include "model/Color.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace kurvaro {

/// The longest value a read returns; longer stored values come back cut.
inline constexpr qsizetype MaxProfileValueLength = 2047;

/// The profile-file format on the file's bytes, without touching a disk.
///
/// A line whose first non-blank character is "[" and that holds a "]" opens a
/// section (the name lies between "[" and the last "]", blanks around it
/// dropped). A line inside a section that holds "=" and does not begin with
/// ";" is a key: the name before the first "=", the value after it, both
/// with surrounding blanks (space, tab, vertical tab, form feed, CR) dropped.
/// Section and key names match ignoring ASCII letter case; the first matching
/// section and, inside it, the first matching key win. Lines end with CR LF or
/// LF. The bytes are Windows-1252.
namespace profile {

/// The value of `key` in `section`, or nullopt when the section or the key is
/// missing. One pair of double quotes around the value is taken off, then the
/// value is cut to MaxProfileValueLength characters.
std::optional<QString> lookup(const QByteArray& content, const QString& section,
                              const QString& key);

/// `content` with `key` of `section` set to `value`. The key's line is
/// rewritten in place (keeping the key's spelling in the file), or the key is
/// added after the last non-blank line of the section, or the section is added
/// at the end. Every other line keeps its bytes; written lines end with CR LF.
///
/// CR, LF and NUL inside the value become blanks (they would end the line).
/// A value that a read would not give back as it is (blanks at either end, or
/// a double quote at both ends) is written inside one pair of double quotes.
QByteArray withValue(const QByteArray& content, const QString& section, const QString& key,
                     const QString& value);

} // namespace profile

/// One key to write: section, key and the value as text.
struct ProfileKeyValue
{
    QString section;
    QString key;
    QString value;
};

/// One pass's access to a profile file by name. It keeps no copy: every read
/// reads the file, every write replaces it.
class ProfileFile
{
public:
    explicit ProfileFile(QString fileName);

    /// The absolute name, as error messages show it.
    const QString& fileName() const { return name; }

    /// The stored value, or `defaultValue` (unchanged) when the section or
    /// the key is missing, or the file is missing or cannot be read: also
    /// when it is no regular file or larger than profile::MaxFileSize.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    /// Replaces the file atomically (profile::replaceFile): a new file beside
    /// it, flushed to disk and checked, then renamed over the old one (a
    /// symbolic link is followed and its target replaced, keeping the
    /// target's permissions). A crash or a full disk in the middle leaves the
    /// old file or the new one, never a part. Creates the file when it does
    /// not exist.
    /// Throws EIniFileException ("nach %s kann nicht geschrieben werden") when
    /// the file cannot be written, or exists but cannot be read (writing it
    /// would lose its other keys), or is no regular file, or is larger than
    /// profile::MaxFileSize; the old file stays as it was.
    void writeString(const QString& section, const QString& key, const QString& value) const;

    /// Sets every key in order and replaces the file once, as writeString
    /// does for one key: all of them are written or none.
    void writeStrings(const std::vector<ProfileKeyValue>& keys) const;

    /// Integer read: a text longer than two characters beginning with "0x" or
    /// "0X" has those replaced by "$", then TryStrToInt; otherwise the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    void writeInteger(const QString& section, const QString& key, int value) const;

    /// readInteger with the default as 0 or 1; non-zero is true.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;
    /// "1" or "0".
    void writeBool(const QString& section, const QString& key, bool value) const;

    /// The default is passed through ColorToString; the text read goes through
    /// StringToColor, so a text that is neither a colour name nor an integer
    /// throws EConvertError.
    TColor readColor(const QString& section, const QString& key, TColor defaultValue) const;
    void writeColor(const QString& section, const QString& key, TColor value) const;

    /// The texts that the typed writes store.
    static QString integerText(int value);
    static QString boolText(bool value);

private:
    QString name;
};

/// One writing pass over a profile file. The keys are gathered in their
/// order and written by finish() with one replacement of the file, so that a
/// pass flushes the disk once instead of once per key.
///
/// The outcome is that of writing key by key: when the one replacement is
/// refused, finish() writes the keys again one replacement each, in order,
/// and stops with EIniFileException at the first that is refused. The keys
/// before it are then written, the file is whole, and nothing after it is.
class ProfileWritePass
{
public:
    explicit ProfileWritePass(const ProfileFile& file) : file(file) {}

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void writeColor(const QString& section, const QString& key, TColor value);

    /// Writes the gathered keys; throws as described above.
    void finish();

private:
    const ProfileFile& file;
    std::vector<ProfileKeyValue> keys;
};

} // namespace kurvaro
