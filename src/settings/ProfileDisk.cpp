#include "settings/ProfileDisk.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kurvaro::profile {

namespace {

/// A file descriptor that is closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }
    void reset(int newFd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = newFd;
    }
    /// Closes now; false when the system reports a failure of earlier writes
    /// only here (as network file systems do).
    bool close()
    {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0;
    }

private:
    int fd;
};

int openRetrying(const QByteArray& path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::optional<FileState> refusal(const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return FileState::NotRegular;
    if (st.st_size > MaxFileSize)
        return FileState::TooLarge;
    return std::nullopt;
}

/// The rest of `fd` into `content`, expected to be about `expected` bytes,
/// stopping at the bound: a file that grows while it is read is refused like
/// one that was too large.
FileState readRest(int fd, qint64 expected, QByteArray& content)
{
    // Read straight into the result, one byte beyond the expected size so
    // that the end is seen without a second buffer.
    content.resize(static_cast<qsizetype>(std::min(expected, MaxFileSize) + 1));
    qsizetype size = 0;
    for (;;) {
        if (size == content.size()) {
            if (size > MaxFileSize)
                return FileState::TooLarge;
            content.resize(static_cast<qsizetype>(std::min<qint64>(2 * size, MaxFileSize + 1)));
        }
        const ssize_t n =
            ::read(fd, content.data() + size, static_cast<std::size_t>(content.size() - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FileState::Unreadable;
        if (n == 0) {
            content.truncate(size);
            return FileState::Read;
        }
        size += n;
    }
}

bool writeAll(int fd, const QByteArray& content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + done,
                                  static_cast<std::size_t>(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

/// Whether the file behind `fd` now holds exactly `content`, as the file
/// system gives it back.
bool holds(int fd, const QByteArray& content)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || st.st_size != content.size()) {
        errno = EIO;
        return false;
    }
    std::array<char, 65536> buffer{};
    qsizetype at = 0;
    while (at < content.size()) {
        const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || QByteArrayView(buffer.data(), n) != QByteArrayView(content).sliced(at, n)) {
            errno = EIO;
            return false;
        }
        at += n;
    }
    return true;
}

/// A write beyond the process's file-size limit would end the program by
/// SIGXFSZ; such a write is refused before it starts.
bool withinFileSizeLimit(qsizetype size)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return true;
    return static_cast<rlim_t>(size) <= limit.rlim_cur;
}

/// The new version of a file, beside it under a name of its own; removed
/// again unless it was renamed into place.
class NewFile
{
public:
    explicit NewFile(const QByteArray& target)
    {
        static constexpr char Letters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100 && !fd.isOpen(); ++attempt) {
            name = target + '.';
            for (int i = 0; i < 6; ++i)
                name += Letters[QRandomGenerator::global()->bounded(62)];
            // 0666 like any new file: the umask decides, as for the first
            // version of the settings file.
            fd.reset(openRetrying(name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (!fd.isOpen() && errno != EEXIST)
                break;
        }
        if (!fd.isOpen())
            name.clear();
    }
    ~NewFile()
    {
        if (!name.isEmpty()) {
            const int saved = errno;
            ::unlink(name.constData());
            errno = saved;
        }
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool isOpen() const { return fd.isOpen(); }
    int descriptor() const { return fd.get(); }
    bool close() { return fd.close(); }
    /// Renames it over `target`; afterwards it is no longer removed.
    bool renameOver(const QByteArray& target)
    {
        if (::rename(name.constData(), target.constData()) != 0)
            return false;
        name.clear();
        return true;
    }

private:
    QByteArray name;
    Descriptor fd;
};

/// The old file's owner and permissions for the new one. Failures are
/// ignored: only root may give a file away, and the new version is better
/// stored with the writer's own rights than not at all.
void keepOwnerAndMode(int fd, const struct stat& old)
{
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
        (void)!::fchown(fd, old.st_uid, old.st_gid);
    (void)!::fchmod(fd, old.st_mode & 07777);
}

/// Makes the rename itself durable. Its failure is not reported: both names
/// point at whole files, only the newer version could be lost on power loss.
void syncDirectoryOf(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray directory =
        slash > 0 ? target.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    Descriptor dir(openRetrying(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.isOpen())
        (void)::fsync(dir.get());
}

} // namespace

FileBytes readFile(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    const auto failed = [] {
        return FileBytes{errno == ENOENT ? FileState::Missing : FileState::Unreadable, {}, errno};
    };
    // A look before opening: opening a FIFO waits for a writer, and opening
    // a device may already act (rewind a tape, raise a modem line).
    struct stat st
    {
    };
    if (::stat(path.constData(), &st) != 0)
        return failed();
    if (const std::optional<FileState> refused = refusal(st))
        return {*refused, {}};
    // The name may stand for something else by now: opened without waiting,
    // then the same look at what was really opened.
    const Descriptor file(openRetrying(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isOpen() || ::fstat(file.get(), &st) != 0)
        return failed();
    if (const std::optional<FileState> refused = refusal(st))
        return {*refused, {}};
    FileBytes result;
    result.state = readRest(file.get(), st.st_size, result.content);
    if (result.state != FileState::Read) {
        result.error = result.state == FileState::Unreadable ? errno : 0;
        result.content.clear();
    }
    return result;
}

QString replacedFile(const QString& fileName)
{
    QString current = QFileInfo(fileName).absoluteFilePath();
    // As many links as the system follows before it gives up itself.
    for (int hop = 0; hop < 40; ++hop) {
        const QByteArray path = QFile::encodeName(current);
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::array<char, 4096> buffer{};
        const ssize_t n = ::readlink(path.constData(), buffer.data(), buffer.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size())
            return current;
        const QString target = QFile::decodeName(QByteArray(buffer.data(), n));
        // A relative target counts from the link's own directory; ".." is
        // left to the system, which resolves it after the links before it.
        current =
            target.startsWith(u'/') ? target : current.left(current.lastIndexOf(u'/') + 1) + target;
    }
    return current;
}

bool replaceFile(const QString& target, const QByteArray& content)
{
    if (content.size() > MaxFileSize || !withinFileSizeLimit(content.size())) {
        errno = EFBIG;
        return false;
    }
    const QByteArray path = QFile::encodeName(target);
    struct stat old
    {
    };
    const bool hadOld = ::stat(path.constData(), &old) == 0;
    if (!hadOld && errno != ENOENT)
        return false;
    // A read-only file stays as it is, although its directory would allow
    // the rename; neither is anything but a regular file replaced.
    if (hadOld && (!S_ISREG(old.st_mode) || old.st_size > MaxFileSize ||
                   ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0))
        return false;

    NewFile file(path);
    if (!file.isOpen())
        return false;
    if (hadOld)
        keepOwnerAndMode(file.descriptor(), old);
    if (!writeAll(file.descriptor(), content) || ::fdatasync(file.descriptor()) != 0 ||
        !holds(file.descriptor(), content) || !file.close())
        return false;
    if (!file.renameOver(path))
        return false;
    syncDirectoryOf(path);
    return true;
}

} // namespace kurvaro::profile
