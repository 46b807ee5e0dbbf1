#include "AppKit/NSControlTint.h"

#include <atomic>
#include <mutex>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSUserDefaults.h"

namespace {
constexpr NSInteger kGraphiteVariant = 6;
}

NSControlTint NSColorCurrentControlTint()
{
    const NSInteger variant = NSUserDefaults::standardUserDefaults()->integerForKey("AppleAquaColorVariant"_ns);
    return variant == kGraphiteVariant ? NSGraphiteControlTint : NSBlueControlTint;
}

void NSColorFollowControlTint()
{
    static std::once_flag started;
    std::call_once(started, [] {
        static std::atomic<NSControlTint> last{NSColorCurrentControlTint()};
        // The centre keeps the observer for the life of the process.
        NSNotificationCenter::defaultCenter()->addObserverForName(
            NSString::stringWithUTF8String(NSUserDefaultsDidChangeNotification), nullptr, nullptr,
            [](const Ref<NSNotification>&) {
                const NSControlTint now = NSColorCurrentControlTint();
                if (last.exchange(now) == now) return;
                NSNotificationCenter::defaultCenter()->postNotificationName(
                    NSString::stringWithUTF8String(NSControlTintDidChangeNotification), nullptr);
            });
    });
}
