// The defaults file as the program meets it at launch: whatever the file
// holds, the defaults open, registered values answer, and a damaged file is
// set aside before the first save.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "FuzzSupport.h"

namespace {
std::filesystem::path g_folder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    g_folder = std::filesystem::temp_directory_path() / ("plumbline-fuzz-defaults-" + std::to_string(::getpid()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::filesystem::remove_all(g_folder);
    std::filesystem::create_directories(g_folder);
    const auto file = g_folder / "org.plumbline.Plumbline.plist";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    {
        auto defaults = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(file.string()));
        Fuzz::check(defaults != nullptr, "the defaults did not open");
        defaults->registerDefaults(
            NSDictionary::dictionaryWithEntries({{"TransValue"_ns, NSNumber::numberWithInteger(80)}}));
        defaults->integerForKey("TransValue"_ns);
        defaults->objectForKey("GuidelineSets"_ns);
        defaults->setInteger(1, "FuzzRun"_ns);
        Fuzz::check(defaults->synchronize(), "the first save failed");
        auto reopened = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(file.string()));
        Fuzz::check(reopened->integerForKey("FuzzRun"_ns) == 1, "the save does not read back");
    }
    NSAutoreleasePool::drain();
    return 0;
}
