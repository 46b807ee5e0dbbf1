// Non-keyed archives as the program reads them from its defaults: guideline
// sets and colours, each with the classes it allows.
#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSData.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSUnarchiver.h"
#include "Foundation/NSUserDefaults.h"
#include "FuzzSupport.h"
#include "GuidelineStore.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        auto bytes = NSData::dataWithBytes(data, size);
        std::string problem;
        GuidelineStore::setsFromData(bytes, &problem);
        try {
            NSUnarchiver::unarchiveObjectWithData(bytes, {&NSColor::classRecord(), &NSString::classRecord()});
        } catch (const NSException& e) {
            Fuzz::check(e.nameUTF8() == NSInconsistentArchiveException, "an unexpected exception", e.nameUTF8());
        }
    }
    NSAutoreleasePool::drain();
    return 0;
}
