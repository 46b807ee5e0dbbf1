#include "KeyRecorder/KRDummyClass.h"

#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(KRDummyClass)

Ref<NSString> KRLocalizedString(const char* key)
{
    return NSBundle::bundleForClass(KRDummyClass::staticClass())
        ->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, "ZAKKeyRecorder"_ns);
}
