#include "settings/ProfileFile.h"

#include "settings/ProfileDisk.h"
#include "settings/SettingsErrors.h"
#include "settings/ValueEncoding.h"
#include "settings/Windows1252.h"

#include <QFileInfo>

#include <utility>
#include <vector>

namespace kurvaro {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

/// A range of the file's bytes.
struct Span
{
    qsizetype begin = 0;
    qsizetype end = 0;
};

struct Line
{
    qsizetype begin = 0;
    qsizetype end = 0;  ///< end of the text, before CR LF or LF
    qsizetype next = 0; ///< start of the next line
    bool terminated() const { return next > end; }
};

std::vector<Line> splitLines(const QByteArray& content)
{
    std::vector<Line> lines;
    qsizetype begin = 0;
    while (begin < content.size()) {
        qsizetype newline = content.indexOf('\n', begin);
        Line line;
        line.begin = begin;
        if (newline < 0) {
            line.end = content.size();
            line.next = content.size();
        } else {
            line.end = newline;
            line.next = newline + 1;
            if (line.end > begin && content.at(line.end - 1) == '\r')
                --line.end;
        }
        lines.push_back(line);
        begin = line.next;
    }
    return lines;
}

Span trimmed(const QByteArray& content, Span s)
{
    while (s.begin < s.end && isBlank(content.at(s.begin)))
        ++s.begin;
    while (s.end > s.begin && isBlank(content.at(s.end - 1)))
        --s.end;
    return s;
}

bool sameName(const QByteArray& content, Span s, const QByteArray& name)
{
    if (s.end - s.begin != name.size() || name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (asciiLower(content.at(s.begin + i)) != asciiLower(name.at(i)))
            return false;
    }
    return true;
}

bool isBlankLine(const QByteArray& content, const Line& line)
{
    const Span s = trimmed(content, {line.begin, line.end});
    return s.begin == s.end;
}

/// The section name of a header line, or nothing.
std::optional<Span> sectionName(const QByteArray& content, const Line& line)
{
    const Span s = trimmed(content, {line.begin, line.end});
    if (s.begin == s.end || content.at(s.begin) != '[')
        return std::nullopt;
    const qsizetype close = content.lastIndexOf(']', s.end - 1);
    if (close <= s.begin)
        return std::nullopt;
    return trimmed(content, {s.begin + 1, close});
}

struct KeyLine
{
    Span key;
    Span value; ///< trimmed
};

std::optional<KeyLine> keyLine(const QByteArray& content, const Line& line)
{
    const Span s = trimmed(content, {line.begin, line.end});
    if (s.begin == s.end || content.at(s.begin) == ';' || content.at(s.begin) == '[')
        return std::nullopt;
    const qsizetype equals = content.indexOf('=', s.begin);
    if (equals < 0 || equals >= s.end)
        return std::nullopt;
    return KeyLine{trimmed(content, {s.begin, equals}), trimmed(content, {equals + 1, s.end})};
}

struct Location
{
    bool sectionFound = false;
    qsizetype keyLineIndex = -1;
    std::optional<KeyLine> key;
    qsizetype lastLineOfSection = -1; ///< last non-blank line, the header at least
};

Location locate(const QByteArray& content, const std::vector<Line>& lines,
                const QByteArray& section, const QByteArray& key)
{
    Location where;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (const std::optional<Span> name = sectionName(content, line)) {
            if (inside)
                break;
            if (sameName(content, *name, section)) {
                inside = true;
                where.sectionFound = true;
                where.lastLineOfSection = static_cast<qsizetype>(i);
            }
            continue;
        }
        if (!inside)
            continue;
        if (!isBlankLine(content, line))
            where.lastLineOfSection = static_cast<qsizetype>(i);
        if (const std::optional<KeyLine> k = keyLine(content, line)) {
            if (sameName(content, k->key, key)) {
                where.keyLineIndex = static_cast<qsizetype>(i);
                where.key = k;
                break;
            }
        }
    }
    return where;
}

bool survivesRead(const QString& value)
{
    if (value.isEmpty())
        return true;
    const auto blank = [](QChar c) {
        return c.unicode() < 0x80 && isBlank(static_cast<char>(c.unicode()));
    };
    if (blank(value.front()) || blank(value.back()))
        return false;
    return !(value.size() >= 2 && value.front() == u'"' && value.back() == u'"');
}

QByteArray encodeValue(QString value)
{
    for (QChar& c : value) {
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    }
    if (!survivesRead(value))
        value = u'"' + value + u'"';
    return toWindows1252(value);
}

} // namespace

namespace profile {

std::optional<QString> lookup(const QByteArray& content, const QString& section, const QString& key)
{
    const std::vector<Line> lines = splitLines(content);
    const Location where = locate(content, lines, toWindows1252(section), toWindows1252(key));
    if (!where.key)
        return std::nullopt;
    Span v = where.key->value;
    if (v.end - v.begin >= 2 && content.at(v.begin) == '"' && content.at(v.end - 1) == '"') {
        ++v.begin;
        --v.end;
    }
    const qsizetype length = std::min(v.end - v.begin, MaxProfileValueLength);
    return fromWindows1252(content.mid(v.begin, length));
}

QByteArray withValue(const QByteArray& content, const QString& section, const QString& key,
                     const QString& value)
{
    static const QByteArray crlf("\r\n");
    const QByteArray sectionBytes = toWindows1252(section);
    const QByteArray keyBytes = toWindows1252(key);
    const std::vector<Line> lines = splitLines(content);
    const Location where = locate(content, lines, sectionBytes, keyBytes);
    const QByteArray encoded = encodeValue(value);

    QByteArray result = content;
    if (where.key) {
        const Line& line = lines[static_cast<std::size_t>(where.keyLineIndex)];
        const Span k = where.key->key;
        const QByteArray replacement = content.mid(k.begin, k.end - k.begin) + '=' + encoded + crlf;
        result.replace(line.begin, line.next - line.begin, replacement);
    } else if (where.sectionFound) {
        const Line& last = lines[static_cast<std::size_t>(where.lastLineOfSection)];
        QByteArray insertion = keyBytes + '=' + encoded + crlf;
        if (!last.terminated())
            insertion.prepend(crlf);
        result.insert(last.next, insertion);
    } else {
        if (!result.isEmpty() && !result.endsWith('\n'))
            result.append(crlf);
        result.append('[' + sectionBytes + ']' + crlf + keyBytes + '=' + encoded + crlf);
    }
    return result;
}

} // namespace profile

ProfileFile::ProfileFile(QString fileName) : name(QFileInfo(fileName).absoluteFilePath()) {}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    const profile::FileBytes file = profile::readFile(name);
    if (file.state != profile::FileState::Read)
        return defaultValue;
    return profile::lookup(file.content, section, key).value_or(defaultValue);
}

void ProfileFile::writeString(const QString& section, const QString& key,
                              const QString& value) const
{
    writeStrings({{section, key, value}});
}

void ProfileFile::writeStrings(const std::vector<ProfileKeyValue>& keys) const
{
    // The file that is replaced is the final target of a link, so that the
    // link stays one.
    const QString target = profile::replacedFile(name);
    const profile::FileBytes old = profile::readFile(target);
    // A file that is there but cannot be read, or is no regular file, or is
    // larger than any the program writes, is not replaced: its other keys
    // would be lost, or it is not the program's to overwrite.
    if (old.state != profile::FileState::Read && old.state != profile::FileState::Missing)
        settingsfaults::cannotWrite(name);
    QByteArray updated = old.content;
    for (const ProfileKeyValue& k : keys)
        updated = profile::withValue(updated, k.section, k.key, k.value);
    if (!profile::replaceFile(target, updated))
        settingsfaults::cannotWrite(name);
}

QString ProfileFile::integerText(int value)
{
    return QString::number(value);
}

QString ProfileFile::boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

int ProfileFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    QString text = readString(section, key, QString());
    if (text.size() > 2 && text.at(0) == u'0' && (text.at(1) == u'x' || text.at(1) == u'X'))
        text = u'$' + text.mid(2);
    return TryStrToInt(text).value_or(defaultValue);
}

void ProfileFile::writeInteger(const QString& section, const QString& key, int value) const
{
    writeString(section, key, integerText(value));
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::writeBool(const QString& section, const QString& key, bool value) const
{
    writeString(section, key, boolText(value));
}

TColor ProfileFile::readColor(const QString& section, const QString& key, TColor defaultValue) const
{
    return StringToColor(readString(section, key, ColorToString(defaultValue)));
}

void ProfileFile::writeColor(const QString& section, const QString& key, TColor value) const
{
    writeString(section, key, ColorToString(value));
}

void ProfileWritePass::writeString(const QString& section, const QString& key, const QString& value)
{
    keys.push_back({section, key, value});
}

void ProfileWritePass::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, ProfileFile::integerText(value));
}

void ProfileWritePass::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, ProfileFile::boolText(value));
}

void ProfileWritePass::writeColor(const QString& section, const QString& key, TColor value)
{
    writeString(section, key, ColorToString(value));
}

void ProfileWritePass::finish()
{
    const std::vector<ProfileKeyValue> gathered = std::exchange(keys, {});
    if (gathered.empty())
        return;
    try {
        file.writeStrings(gathered);
        return;
    } catch (const EIniFileException&) {
        // Refused as a whole: key by key, as far as the file takes them.
    }
    for (const ProfileKeyValue& k : gathered)
        file.writeString(k.section, k.key, k.value);
}
} // namespace kurvaro
