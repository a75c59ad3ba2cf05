#include "support/TemporaryProgramDirectory.h"

#include "model/ProgramDirectory.h"

#include <QFile>

#include <gtest/gtest.h>

namespace kurvaro {

TemporaryProgramDirectory::TemporaryProgramDirectory()
{
    SetExecutableDirectoryOverride(dir.path());
}

TemporaryProgramDirectory::~TemporaryProgramDirectory()
{
    SetExecutableDirectoryOverride(QString());
}

void TemporaryProgramDirectory::writeIni(const QStringList& lines) const
{
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const QString& line : lines)
        file.write(line.toLatin1() + "\r\n");
}

QByteArray TemporaryProgramDirectory::iniBytes() const
{
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace kurvaro
