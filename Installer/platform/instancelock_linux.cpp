#include "instancelock.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {

// An advisory lock on a file in the session's runtime folder. The descriptor
// is not inherited, so the archiver or the launcher started by the installer
// never keeps the lock alive after the installer has ended.
InstanceLock openInstanceLock(const QString &name, bool &alreadyHeld)
{
    alreadyHeld = false;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || name.isEmpty() || name.contains('/'))
        return NoInstanceLock;
    const QByteArray path = QFile::encodeName(folder + '/' + name + ".lock");
    const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return NoInstanceLock;
    int result = 0;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && errno != EWOULDBLOCK) {
        close(fd);
        return NoInstanceLock;
    }
    alreadyHeld = result != 0;
    return fd;
}

void closeInstanceLock(InstanceLock lock)
{
    if (lock != NoInstanceLock)
        close(lock);
}

} // namespace Platform
