#pragma once

#include "platform/logfile.h"

#include <spdlog/sinks/base_sink.h>

#include <mutex>
#include <string>

// A size-rotating file sink that keeps one older generation (name.1.ext) and
// opens its files only through Platform::LogFile: never through a link, never
// a file of another user, and marked as in use while open.
class LogFileSink : public spdlog::sinks::base_sink<std::mutex>
{
public:
    LogFileSink(std::string baseFileName, std::size_t maxSize);

    static std::string rotatedFileName(const std::string &baseFileName);

protected:
    void sink_it_(const spdlog::details::log_msg &msg) override;
    void flush_() override {}

private:
    void rotate();

    std::string baseFileName;
    std::string rotatedName;
    std::size_t maxSize;
    std::size_t currentSize = 0;
    Platform::LogFile file;
};
