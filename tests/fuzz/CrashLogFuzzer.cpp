// Crash-log discovery at launch over a folder of random files: the input is
// a list of names and contents separated by NUL. Names may hold folders;
// a name starting with "@" becomes a symbolic link (dangling, to a folder, or
// to itself) instead of a file.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Foundation/LogLocations.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSLog.h"
#include "FuzzSupport.h"
#include "ZAKAppKit/ZAKCrashReporter/ZAKCrashReporter.h"

namespace {

std::filesystem::path g_state;

// A relative path inside the folder, or "" when the name cannot be one.
std::filesystem::path safeName(const std::string& name)
{
    std::filesystem::path out;
    for (const auto& part : std::filesystem::path(name)) {
        const std::string text = part.string();
        if (text.empty() || text == "/" || text == "." || text == "..") continue;
        out /= text.substr(0, 64);
    }
    return out;
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    setenv("PLUMBLINE_RESOURCES", PLUMBLINE_SOURCE_RESOURCES, 1);
    g_state = std::filesystem::temp_directory_path() / ("plumbline-fuzz-state-" + std::to_string(::getpid()));
    setenv("XDG_STATE_HOME", g_state.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::error_code ignored;
    std::filesystem::remove_all(g_state, ignored);
    const std::filesystem::path folder = CrashReporterDirectory()->UTF8String();
    std::filesystem::create_directories(folder);
    const auto pieces = Fuzz::split(Fuzz::text(data, size), std::string_view("\0", 1), 33);
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
        const bool link = pieces[i].starts_with("@");
        const auto name = safeName(link ? pieces[i].substr(1) : pieces[i]);
        if (name.empty()) continue;
        const auto path = folder / name;
        std::filesystem::create_directories(path.parent_path(), ignored);
        if (!link) {
            std::ofstream(path, std::ios::binary).write(pieces[i + 1].data(), std::streamsize(pieces[i + 1].size()));
            continue;
        }
        const char* targets[] = {"missing", ".", nullptr};
        const char* target = targets[pieces[i + 1].size() % 3];
        std::filesystem::create_symlink(target ? std::filesystem::path(target) : path.filename(), path, ignored);
    }
    {
        ZAKCrashReporter::pathAndNameOfCrashReportFile();
        ZAKCrashReporter::lastCrashReport();
        ZAKCrashReporter::dateOfCrashLogToOffer();
        ZAKCrashReporter::consoleLog();
    }
    NSAutoreleasePool::drain();
    return 0;
}
