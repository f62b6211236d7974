#include "logfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

std::string describeErrno(const char *what, const std::string &path)
{
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

// A log file must be a plain file of this user with no other names, so that
// writing to it cannot reach a file that someone else planted or links to.
bool isPrivatePlainFile(int fd, std::string &error)
{
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        error = std::string("cannot inspect log file: ") + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "log file is not a regular file";
        return false;
    }
    if (st.st_uid != geteuid()) {
        error = "log file belongs to another user";
        return false;
    }
    if (st.st_nlink != 1) {
        error = "log file has other names (hard links)";
        return false;
    }
    if ((st.st_mode & 0077) != 0 && fchmod(fd, S_IRUSR | S_IWUSR) != 0) {
        error = std::string("cannot make log file private: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

LogFile::~LogFile()
{
    close();
}

bool LogFile::open(const std::string &path, bool truncate)
{
    close();
    int flags = O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const int newFd = ::open(path.c_str(), flags, S_IRUSR | S_IWUSR);
    if (newFd < 0) {
        lastError = describeErrno("cannot open log file", path);
        return false;
    }
    if (!isPrivatePlainFile(newFd, lastError)) {
        ::close(newFd);
        return false;
    }
    // The lock stays for as long as the file is open and tells a second
    // instance that this file is in use.
    flock(newFd, LOCK_SH);
    if (truncate && ftruncate(newFd, 0) != 0) {
        lastError = describeErrno("cannot truncate log file", path);
        ::close(newFd);
        return false;
    }
    fcntl(newFd, F_SETFL, O_WRONLY | O_APPEND);
    fd = newFd;
    lastError.clear();
    return true;
}

void LogFile::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool LogFile::write(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            lastError = std::string("cannot write log file: ") + std::strerror(errno);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::size_t LogFile::size() const
{
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0)
        return 0;
    return static_cast<std::size_t>(st.st_size);
}

void removeLogFileUnlessInUse(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        // Not there, or a link: removing a link never touches what it points to.
        if (errno == ELOOP)
            unlink(path.c_str());
        return;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        unlink(path.c_str());
    ::close(fd);
}

bool renameFile(const std::string &from, const std::string &to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool fileExists(const std::string &path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

} // namespace Platform
