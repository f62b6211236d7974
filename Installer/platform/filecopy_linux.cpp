#include "filecopy.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return fd; }
    bool isValid() const { return fd >= 0; }

private:
    int fd;
};

void logFailure(const char *call, const QString &path)
{
    qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << call << strerror(errno) << path;
}

bool writeAll(int to, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(to, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool copyByReadWrite(int from, int to)
{
    char buffer[128 * 1024];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!writeAll(to, buffer, got))
            return false;
    }
}

// copy_file_range lets the kernel move the data without a trip through user
// space; where it is not supported the rest is copied by read and write.
bool copyContent(int from, int to)
{
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0)
            return true;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
            return copyByReadWrite(from, to);
        return false;
    }
}

QByteArray parentFolder(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

// An unnamed file in the target's folder, linked under its name only when
// complete; file systems without O_TMPFILE get a hidden named temporary.
bool writeAndLink(int from, mode_t mode, const QByteArray &target)
{
    FileDescriptor unnamed(::open(parentFolder(target).constData(),
                                  O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (unnamed.isValid()) {
        if (!copyContent(from, unnamed.get()) || ::fchmod(unnamed.get(), mode) != 0)
            return false;
        const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(unnamed.get());
        return ::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, target.constData(),
                        AT_SYMLINK_FOLLOW) == 0;
    }

    QByteArray temporary = parentFolder(target) + "/.installer-copy-XXXXXX";
    FileDescriptor named(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!named.isValid())
        return false;
    const bool complete = copyContent(from, named.get()) && ::fchmod(named.get(), mode) == 0;
    // link() refuses an existing target, which rename() would replace.
    const bool linked = complete && ::link(temporary.constData(), target.constData()) == 0;
    const int linkError = errno;
    ::unlink(temporary.constData());
    errno = linkError;
    return linked;
}

} // namespace

namespace Platform {

bool copyNewFile(const QString &source, const QString &target)
{
    FileDescriptor from(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
    struct stat sourceStat;
    if (!from.isValid() || ::fstat(from.get(), &sourceStat) != 0) {
        logFailure("open", source);
        return false;
    }
    // Only the permission bits: set-id bits must not travel into a tree that
    // an elevated installer writes.
    if (!writeAndLink(from.get(), sourceStat.st_mode & 0777, QFile::encodeName(target))) {
        logFailure("copy", target);
        return false;
    }
    return true;
}

bool syncFileSystem(const QString &path)
{
    FileDescriptor folder(::open(QFile::encodeName(path).constData(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isValid() || ::syncfs(folder.get()) != 0) {
        logFailure("syncfs", path);
        return false;
    }
    return true;
}

} // namespace Platform
