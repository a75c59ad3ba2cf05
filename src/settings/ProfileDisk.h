#pragma once

#include <QByteArray>
#include <QString>

namespace kurvaro {

/// The settings file on disk: reading it only when it is what it claims to
/// be, and replacing it so that it is never lost.
namespace profile {

/// The largest settings file that is read or replaced. A file written by the
/// program stays far below it (ten expressions of at most a few kilobytes);
/// anything larger was not written by it and is left alone.
inline constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

enum class FileState
{
    Read,       ///< a regular file of at most MaxFileSize bytes, read whole
    Missing,    ///< no such file (a dangling link included)
    NotRegular, ///< a FIFO, a device, a socket or a directory, or a link to one
    TooLarge,   ///< a regular file over MaxFileSize
    Unreadable, ///< anything else: no permission, a path through a file, I/O error
};

struct FileBytes
{
    FileState state = FileState::Missing;
    QByteArray content; ///< the whole file when state is Read, else empty
    int error = 0;      ///< the system's error number when state is Unreadable
};

/// Reads `fileName` (a symbolic link is followed) if and only if it is a
/// regular file within MaxFileSize. Never blocks on a FIFO or a device and
/// never reads past the bound, also when the name is swapped for something
/// else while it is being opened.
FileBytes readFile(const QString& fileName);

/// The file that a write of `fileName` replaces: symbolic links followed to
/// their final target (which need not exist). `fileName` itself when it is no
/// link or the chain is broken by something that cannot be read as a link.
QString replacedFile(const QString& fileName);

/// Replaces the regular file `target` (no link; it need not exist) by
/// `content`: a new file beside it is written, flushed to disk, read back and
/// compared, given the old file's permissions and owner, and only then renamed
/// over the old one. Returns false, with the old file untouched and no new
/// file left behind, when any step fails: the disk is full, a quota or the
/// process's file-size limit is reached, an I/O error at write, flush or
/// rename, the old file is read-only or not a regular file, or `content` is
/// larger than MaxFileSize.
bool replaceFile(const QString& target, const QByteArray& content);

} // namespace profile

} // namespace kurvaro
