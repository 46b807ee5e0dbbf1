// Interface files: whatever the file holds, loading makes its objects or
// fails with a log line, on the headless window server.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "AppKit/NSApplication.h"
#include "AppKit/NSNib.h"
#include "AppKit/NSWindow.h"
#include "Foundation/Clock.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSLog.h"
#include "FuzzSupport.h"
#include "backend/headless/HeadlessWindowServer.h"

namespace {
std::filesystem::path g_folder;
Ref<NSBundle> g_bundle;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    setenv("PLUMBLINE_BACKEND", "headless", 1);
    Clock::useVirtualClock();
    HeadlessWindowServer::current()->configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(508, 286));
    NSApplication::sharedApplication();
    NSNib::installAsLoader();
    g_folder = std::filesystem::temp_directory_path() / ("plumbline-fuzz-nib-" + std::to_string(::getpid()));
    std::filesystem::create_directories(g_folder / "Interface");
    g_bundle = NSBundle::bundleWithPath(NSString::stringWithUTF8String(g_folder.string()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::ofstream(g_folder / "Interface" / "Fuzz.json", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    {
        auto nib = NSObject::alloc<NSNib>()->initWithNibNamed("Fuzz"_ns, g_bundle);
        Ref<NSArray> top;
        if (nib && nib->instantiateWithOwner(NSObject::make<NSObject>(), &top) && top) {
            for (const Id& object : top->objects())
                if (auto window = dynamic_ref_cast<NSWindow>(object)) window->close();
        }
    }
    NSAutoreleasePool::drain();
    return 0;
}
