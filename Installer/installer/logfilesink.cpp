#include "logfilesink.h"

#include <spdlog/common.h>

LogFileSink::LogFileSink(std::string baseFileName, std::size_t maxSize)
    : baseFileName(std::move(baseFileName)),
      rotatedName(rotatedFileName(this->baseFileName)),
      maxSize(maxSize)
{
    if (!file.open(this->baseFileName, false))
        spdlog::throw_spdlog_ex(file.error());
    currentSize = file.size();
}

std::string LogFileSink::rotatedFileName(const std::string &baseFileName)
{
    const auto slash = baseFileName.find_last_of('/');
    const auto dot = baseFileName.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot != 0
            && (slash == std::string::npos || dot > slash + 1);
    if (!hasExtension)
        return baseFileName + ".1";
    return baseFileName.substr(0, dot) + ".1" + baseFileName.substr(dot);
}

// Every write goes straight to the file; there is nothing buffered to flush.
void LogFileSink::sink_it_(const spdlog::details::log_msg &msg)
{
    spdlog::memory_buf_t formatted;
    formatter_->format(msg, formatted);
    if (currentSize + formatted.size() > maxSize && file.size() > 0)
        rotate();
    if (!file.isOpen()) {
        if (!file.open(baseFileName, false))
            spdlog::throw_spdlog_ex(file.error());
        currentSize = file.size();
    }
    if (!file.write(formatted.data(), formatted.size()))
        spdlog::throw_spdlog_ex(file.error());
    currentSize += formatted.size();
}

// The current file becomes the one older generation; an older one is dropped.
void LogFileSink::rotate()
{
    file.close();
    // When the file cannot be moved aside, keep appending rather than lose it.
    const bool movedAside = Platform::renameFile(baseFileName, rotatedName);
    if (!file.open(baseFileName, movedAside))
        spdlog::throw_spdlog_ex(file.error());
    currentSize = file.size();
}
