#include "Foundation/NSProcessInfo.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <random>

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"

extern char** environ;

NS_CLASS_DEFINE(NSProcessInfo)

namespace {

std::vector<std::string> commandLine()
{
    std::vector<uint8_t> bytes;
    FileSupport::readFile("/proc/self/cmdline", bytes);
    const std::string all(bytes.begin(), bytes.end());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos) end = all.size();
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

}

Ref<NSProcessInfo> NSProcessInfo::processInfo()
{
    static NSProcessInfo* shared = alloc<NSProcessInfo>().leak();  // lives as long as the process
    return shared;
}

Ref<NSString> NSProcessInfo::processName() const
{
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        std::string exe(buffer, static_cast<size_t>(n));
        // A replaced executable reads "<path> (deleted)".
        if (exe.ends_with(" (deleted)")) exe.resize(exe.size() - 10);
        return FileSupport::stringFromFileSystem(FileSupport::lastComponent(exe));
    }
    auto args = commandLine();
    return FileSupport::stringFromFileSystem(args.empty() ? "" : FileSupport::lastComponent(args[0]));
}

int NSProcessInfo::processIdentifier() const { return static_cast<int>(::getpid()); }

Ref<NSDictionary> NSProcessInfo::environment() const
{
    auto result = NSMutableDictionary::dictionary();
    for (char** e = environ; e && *e; ++e) {
        std::string_view entry(*e);
        size_t eq = entry.find('=');
        if (eq == std::string_view::npos) continue;
        result->setObject(FileSupport::stringFromFileSystem(entry.substr(eq + 1)),
                          FileSupport::stringFromFileSystem(entry.substr(0, eq)));
    }
    return NSDictionary::dictionaryWithDictionary(result);
}

Ref<NSArray> NSProcessInfo::arguments() const
{
    std::vector<Id> args;
    for (const std::string& a : commandLine()) args.push_back(FileSupport::stringFromFileSystem(a));
    return NSArray::arrayWithVector(std::move(args));
}

Ref<NSString> NSProcessInfo::globallyUniqueString() const
{
    static std::atomic<uint64_t> counter{0};
    std::random_device device;
    std::uniform_int_distribution<uint32_t> word;
    uint32_t r[4] = {word(device), word(device), word(device), word(device)};
    // A version-4 UUID, then the process and a per-process sequence number.
    r[1] = (r[1] & 0xFFFF0FFFu) | 0x00004000u;
    r[2] = (r[2] & 0x3FFFFFFFu) | 0x80000000u;
    char text[96];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%04X-%04X%08X-%d-%016llX", r[0], r[1] >> 16, r[1] & 0xFFFF,
                  r[2] >> 16, r[2] & 0xFFFF, r[3], processIdentifier(),
                  static_cast<unsigned long long>(counter.fetch_add(1) + 1));
    return NSString::stringWithUTF8String(text);
}

Ref<NSString> NSProcessInfo::hostName() const
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "localhost"_ns;
    return FileSupport::stringFromFileSystem(name);
}

Ref<NSString> NSProcessInfo::operatingSystemVersionString() const
{
    utsname u{};
    std::string release = ::uname(&u) == 0 ? u.release : "unknown";
    return FileSupport::stringFromFileSystem("Version 10.9 (Linux " + release + ")");
}

NSTimeInterval NSProcessInfo::systemUptime() const
{
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}
