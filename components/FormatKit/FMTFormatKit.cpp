#include "FormatKit/FMTFormatKit.h"

#include "Foundation/NSBundle.h"

Ref<NSString> FMTLocalizedString(const char* key, const Ref<NSString>& value)
{
    return NSBundle::mainBundle()->localizedStringForKey(NSString::stringWithUTF8String(key), value ? value : ""_ns,
                                                         "ZAKFMTFormatKit"_ns);
}

bool FMTRefuseParsing(Id* object, Ref<NSString>* error)
{
    if (object) *object = nullptr;
    if (error) *error = FMTLocalizedString("Method Not Implemented");
    return false;
}
