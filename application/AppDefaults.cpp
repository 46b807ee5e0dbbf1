#include "AppDefaults.h"

#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"

namespace AppDefaults {
Ref<NSColor> colorForKey(const char* key)
{
    auto color =
        NSUserDefaultsExt::colorForKey(NSUserDefaults::standardUserDefaults(), NSString::stringWithUTF8String(key));
    return color ? color : NSColor::blackColor();
}
}  // namespace AppDefaults
