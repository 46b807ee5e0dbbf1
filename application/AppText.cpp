#include "AppText.h"

#include "Foundation/NSBundle.h"

namespace AppText {
Ref<NSString> text(const char* key)
{
    return NSBundle::mainBundle()->localizedStringForKey(NSString::stringWithUTF8String(key), ""_ns, nullptr);
}
}  // namespace AppText
