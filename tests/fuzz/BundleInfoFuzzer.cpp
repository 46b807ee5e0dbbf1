// A bundle's Info: the input's Info.plist and, after a NUL, its English
// InfoPlist.strings. Each input gets a bundle folder of its own, since a
// bundle reads its Info once.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSLog.h"
#include "FuzzSupport.h"

namespace {
std::filesystem::path g_root;
unsigned long g_count = 0;

void write(const std::filesystem::path& file, const std::string& bytes)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    g_root = std::filesystem::temp_directory_path() / ("plumbline-fuzz-bundles-" + std::to_string(::getpid()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto pieces = Fuzz::split(Fuzz::text(data, size), std::string_view("\0", 1), 2);
    const auto folder = g_root / std::to_string(g_count++);
    write(folder / "Info.plist", pieces[0]);
    if (pieces.size() > 1) write(folder / "en.lproj" / "InfoPlist.strings", pieces[1]);
    {
        auto bundle = NSBundle::bundleWithPath(NSString::stringWithUTF8String(folder.string()));
        Fuzz::check(bundle != nullptr, "the bundle did not open");
        bundle->infoDictionary();
        bundle->bundleIdentifier();
        bundle->localizedInfoDictionary();
        bundle->objectForInfoDictionaryKey("CFBundleName"_ns);
        bundle->localizations();
    }
    std::filesystem::remove_all(folder);
    NSAutoreleasePool::drain();
    return 0;
}
