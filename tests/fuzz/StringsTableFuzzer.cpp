// String tables (.strings files) of the bundle and its languages.
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSData.h"
#include "Foundation/NSLog.h"
#include "Foundation/StringsFile.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        auto table = StringsTableFromData(NSData::dataWithBytes(data, size), "Fuzz.strings");
        Fuzz::check(table != nullptr, "a table read as nil");
    }
    NSAutoreleasePool::drain();
    return 0;
}
