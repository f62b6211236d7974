#pragma once

#include <cstddef>
#include <string>

// Log files live in a temporary folder that other users can write to, and the
// installer runs with administrator rights. These functions open a log file
// only when it is a plain file of this user, never through a link, and mark
// an open log file as in use so that another instance leaves it alone.
namespace Platform {

// An open, locked log file. Invalid when opening failed; error() says why.
class LogFile
{
public:
    LogFile() = default;
    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;
    ~LogFile();

    // Opens path for appending (or truncated), creating it owner-only.
    bool open(const std::string &path, bool truncate);
    void close();
    bool isOpen() const { return fd >= 0; }
    const std::string &error() const { return lastError; }

    bool write(const char *data, std::size_t size);
    std::size_t size() const;

private:
    int fd = -1;
    std::string lastError;
};

// Deletes the log file at path unless another process holds it open as its
// log. A symbolic link at path is removed, never followed.
void removeLogFileUnlessInUse(const std::string &path);

// Renames from to to, replacing whatever entry to is (links are not followed).
bool renameFile(const std::string &from, const std::string &to);
bool fileExists(const std::string &path);

} // namespace Platform
