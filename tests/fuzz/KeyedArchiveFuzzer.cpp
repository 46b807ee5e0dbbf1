// Keyed archives with the classes the program allows in them.
#include "AppKit/NSColor.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSData.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSLog.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        NSClassList allowed = NSCoder::propertyListClasses();
        allowed.push_back(&NSColor::classRecord());
        try {
            NSKeyedUnarchiver::unarchiveObjectWithData(NSData::dataWithBytes(data, size), allowed);
        } catch (const NSException& e) {
            Fuzz::check(e.nameUTF8() == NSInconsistentArchiveException, "an unexpected exception", e.nameUTF8());
        }
    }
    NSAutoreleasePool::drain();
    return 0;
}
