#pragma once

#include <QString>
#include <QTemporaryDir>

namespace kurvaro {

/// A file system of a few pages (a tmpfs) mounted on a fresh folder for one
/// test, so that a full disk can be made on purpose. Mounting needs root; a
/// test that cannot have it skips with unavailable() as its message.
/// Unmounted when it goes away, also when the test fails part-way.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(int kibibytes = 64);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    /// Empty when mounted, otherwise why it is not.
    const QString& unavailable() const { return reason; }
    /// The mounted folder, without a trailing separator.
    QString path() const { return dir.path(); }
    QString filePath(const QString& name) const { return dir.filePath(name); }

    /// Takes all free space but `spareBytes` (rounded to pages by the file
    /// system) with a file of its own. False when that did not work.
    bool fill(qint64 spareBytes = 0);
    /// Free bytes as the file system reports them.
    qint64 freeBytes() const;

private:
    QTemporaryDir dir;
    bool mounted = false;
    QString reason;
};

} // namespace kurvaro
