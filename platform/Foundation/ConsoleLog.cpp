#include "Foundation/ConsoleLog.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Foundation/LogLocations.h"

namespace {
std::atomic<NSUInteger> capacity{256 * 1024};

std::string timestamp()
{
    auto now = std::chrono::system_clock::now();
    time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    tm local{};
    localtime_r(&seconds, &local);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis));
    return text;
}

std::string lineFor(std::string_view text, NSUInteger cap)
{
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    std::string line = timestamp() + " " + ApplicationExecutableName()->UTF8String() + "[" +
                       std::to_string(::getpid()) + ":" + std::to_string(::gettid()) + "] ";
    line.append(text);
    // A single line longer than the whole log is cut to fit.
    if (line.size() + 1 > cap) line.resize(cap - 1);
    return line + "\n";
}

bool writeAll(int fd, const char* bytes, size_t length, off_t offset)
{
    while (length > 0) {
        ssize_t n = ::pwrite(fd, bytes, length, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        length -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

// Keeps the newest whole lines of the file within `keep` bytes.
bool dropOldestLines(int fd, off_t size, off_t keep)
{
    std::string tail;
    if (keep > 0) {
        tail.resize(static_cast<size_t>(std::min(keep, size)));
        ssize_t n = ::pread(fd, tail.data(), tail.size(), size - static_cast<off_t>(tail.size()));
        if (n != static_cast<ssize_t>(tail.size())) return false;
        // Start at a line boundary unless the cut fell on one.
        if (static_cast<off_t>(tail.size()) < size) {
            char before = 0;
            if (::pread(fd, &before, 1, size - static_cast<off_t>(tail.size()) - 1) != 1) return false;
            if (before != '\n') {
                size_t newline = tail.find('\n');
                tail.erase(0, newline == std::string::npos ? tail.size() : newline + 1);
            }
        }
    }
    if (::ftruncate(fd, 0) != 0) return false;
    return writeAll(fd, tail.data(), tail.size(), 0);
}

int openLog(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != ENOENT) return fd;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}
}

NSUInteger ConsoleLogSetCapacity(NSUInteger bytes) { return capacity.exchange(bytes); }

void ConsoleLogAppend(std::string_view text)
{
    // Working out the file's name may read the bundle, which may log: such a
    // nested line is dropped rather than deadlocking.
    thread_local bool appending = false;
    if (appending) return;
    appending = true;
    struct Reset {
        ~Reset() { appending = false; }
    } reset;
    try {
        static std::mutex lock;
        NSUInteger cap = capacity.load();
        if (cap == 0) return;
        std::string line = lineFor(text, cap);
        std::string path = ConsoleLogPath()->UTF8String();
        std::lock_guard guard(lock);
        int fd = openLog(path);
        if (fd < 0) return;
        // Another instance of the program may write the same file.
        ::flock(fd, LOCK_EX);
        struct stat info { };
        if (::fstat(fd, &info) == 0) {
            auto limit = static_cast<off_t>(cap);
            auto length = static_cast<off_t>(line.size());
            // Trim to three quarters of the cap, so that trimming is rare.
            if (info.st_size + length > limit) dropOldestLines(fd, info.st_size, limit * 3 / 4 - length);
            off_t end = ::lseek(fd, 0, SEEK_END);
            if (end >= 0) writeAll(fd, line.data(), line.size(), end);
        }
        ::flock(fd, LOCK_UN);
        ::close(fd);
    } catch (...) {
        // Logging must never take the program down.
    }
}
