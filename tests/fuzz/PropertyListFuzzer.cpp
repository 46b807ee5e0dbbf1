// The defaults file and every other property list read from disk: XML and
// binary lists alike reach the reader, which must refuse what it cannot read
// and read back exactly what it writes.
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSData.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        Ref<NSError> error;
        Id plist = NSPropertyListSerialization::propertyListWithData(NSData::dataWithBytes(data, size),
                                                                     NSPropertyListImmutable, nullptr, &error);
        Fuzz::check(plist || error, "a refused property list without an error");
        if (plist) {
            auto written =
                NSPropertyListSerialization::dataWithPropertyList(plist, NSPropertyListXMLFormat_v1_0, 0, &error);
            Fuzz::check(written != nullptr, "a list that was read cannot be written");
            Id again =
                NSPropertyListSerialization::propertyListWithData(written, NSPropertyListImmutable, nullptr, &error);
            Fuzz::check(again && again->isEqual(plist.get()), "a written list does not read back the same");
        }
    }
    NSAutoreleasePool::drain();
    return 0;
}
