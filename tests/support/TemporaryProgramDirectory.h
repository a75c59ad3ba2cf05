#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kurvaro {

/// A temporary directory standing in for the executable's directory while
/// the object lives, so that `Functions.ini` and `Info.txt` are looked for there.
class TemporaryProgramDirectory
{
public:
    TemporaryProgramDirectory();
    ~TemporaryProgramDirectory();
    TemporaryProgramDirectory(const TemporaryProgramDirectory&) = delete;
    TemporaryProgramDirectory& operator=(const TemporaryProgramDirectory&) = delete;

    bool isValid() const { return dir.isValid(); }
    QString path() const { return dir.path(); }
    QString filePath(const QString& name) const { return dir.filePath(name); }
    QString iniPath() const { return dir.filePath(QStringLiteral("Functions.ini")); }
    /// Writes the settings file; each line ends with CR LF.
    void writeIni(const QStringList& lines) const;
    QByteArray iniBytes() const;

private:
    QTemporaryDir dir;
};

} // namespace kurvaro
