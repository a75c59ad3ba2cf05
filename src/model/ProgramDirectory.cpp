#include "model/ProgramDirectory.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace kurvaro {

namespace {

QString& executableDirectoryOverride()
{
    static QString directory;
    return directory;
}

} // namespace

QString ExecutableDirectory()
{
    if (!executableDirectoryOverride().isEmpty())
        return executableDirectoryOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

void SetExecutableDirectoryOverride(const QString& directory)
{
    executableDirectoryOverride() = directory;
}

} // namespace kurvaro
