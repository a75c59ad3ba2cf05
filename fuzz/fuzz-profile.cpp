// The settings file as a user may have edited it: arbitrary bytes as the
// file's content. Reading every key must not fail but for a colour that does
// not convert; a key written must read back as written (blanks at the ends
// and line breaks aside) while every other key keeps its value.

#include "model/Faults.h"
#include "settings/ProfileFile.h"
#include "settings/ValueEncoding.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace kurvaro;

namespace {

const char* const Sections[] = {"Function1", "Grid", "View", "AxisText"};
const char* const Keys[] = {"Expression", "Visible", "Color", "XMin", "IX"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the key to write and splits the rest into file
    // content and the value written.
    const std::uint8_t pick = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    const qsizetype split = rest.isEmpty() ? 0 : (pick * rest.size()) / 256;
    const QByteArray content = rest.left(split);
    const QString value = QString::fromLatin1(rest.mid(split));
    const QString section = QString::fromLatin1(Sections[pick % 4]);
    const QString key = QString::fromLatin1(Keys[(pick / 4) % 5]);

    for (const char* s : Sections)
        for (const char* k : Keys) {
            const auto v = profile::lookup(content, QString::fromLatin1(s), QString::fromLatin1(k));
            if (v && v->size() > MaxProfileValueLength)
                std::abort();
            if (v) {
                TryStrToInt(*v);
                try {
                    StringToColor(*v);
                } catch (const Exception&) {
                }
            }
        }

    const QByteArray written = profile::withValue(content, section, key, value);
    const auto back = profile::lookup(written, section, key);
    if (!back)
        std::abort();
    // Values are single-line: line breaks and NULs become blanks.
    QString expected = value;
    for (QChar& c : expected)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    expected.truncate(MaxProfileValueLength);
    if (*back != expected) {
        // Characters outside the code page come back as "?".
        bool onlyCodePageDiffers = back->size() == expected.size();
        for (qsizetype i = 0; onlyCodePageDiffers && i < back->size(); ++i)
            onlyCodePageDiffers = back->at(i) == expected.at(i) || back->at(i) == u'?';
        if (!onlyCodePageDiffers)
            std::abort();
    }
    // Every other key of the file keeps its value.
    for (const char* s : Sections)
        for (const char* k : Keys) {
            const QString sn = QString::fromLatin1(s);
            const QString kn = QString::fromLatin1(k);
            if (sn.compare(section, Qt::CaseInsensitive) == 0 &&
                kn.compare(key, Qt::CaseInsensitive) == 0)
                continue;
            if (profile::lookup(content, sn, kn) != profile::lookup(written, sn, kn))
                std::abort();
        }
    return 0;
}
