#include "AppDefaults.h"

#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSUserDefaults.h"

namespace AppDefaults {
Ref<NSColor> colorForKey(const char* key)
{
    auto color =
        NSUserDefaultsExt::colorForKey(NSUserDefaults::standardUserDefaults(), NSString::stringWithUTF8String(key));
    return color ? color : NSColor::blackColor();
}

NSInteger hotKeyCode()
{
    const NSInteger code = NSUserDefaults::standardUserDefaults()->integerForKey("GuidelineKeyCode"_ns);
    if (code < 0) return -1;  // no hot key
    if (code <= 0xFFFF) return code;
    NSLog("The stored hot key code %ld is not a key code; no hot key is used", static_cast<long>(code));
    return -1;
}
}  // namespace AppDefaults
