#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <initializer_list>

namespace kurvaro {

/// The bytes of `lines`, each ended with CR LF.
inline QByteArray crlfLines(std::initializer_list<const char*> lines)
{
    QByteArray bytes;
    for (const char* line : lines)
        bytes.append(line).append("\r\n");
    return bytes;
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace kurvaro
