#include "support/SmallFileSystem.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace kurvaro {

SmallFileSystem::SmallFileSystem(int kibibytes)
{
    if (::geteuid() != 0) {
        reason = QStringLiteral("needs root to mount a small tmpfs; not run as root");
        return;
    }
    if (!dir.isValid()) {
        reason = QStringLiteral("no temporary folder for the mount");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0755";
    if (::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0) {
        reason = QStringLiteral("cannot mount a tmpfs: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mounted = true;
}

SmallFileSystem::~SmallFileSystem()
{
    // Lazily, so that a file a failed test left open cannot keep it mounted.
    if (mounted)
        ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
}

qint64 SmallFileSystem::freeBytes() const
{
    struct statvfs st
    {
    };
    if (::statvfs(QFile::encodeName(dir.path()).constData(), &st) != 0)
        return -1;
    return static_cast<qint64>(st.f_bavail) * static_cast<qint64>(st.f_frsize);
}

bool SmallFileSystem::fill(qint64 spareBytes)
{
    if (!mounted)
        return false;
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral(".filler")));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const std::vector<char> page(4096, 'f');
    while (freeBytes() > spareBytes) {
        const qint64 wanted = std::min<qint64>(page.size(), freeBytes() - spareBytes);
        if (::write(fd, page.data(), static_cast<std::size_t>(wanted)) <= 0)
            break;
    }
    ::close(fd);
    return freeBytes() <= spareBytes;
}

} // namespace kurvaro
