#include "HotKeyCenter/HKHotKey.h"

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(HKHotKey)

UInt32 HKCarbonFlagsFromCocoa(NSUInteger flags)
{
    return UInt32(((flags >> 12) & 0x100) | ((flags >> 8) & 0x200) | ((flags >> 8) & 0x800) | ((flags >> 6) & 0x1000));
}

Ref<NSString> hotKeyModifierNames(NSUInteger flags)
{
    static const std::pair<NSUInteger, const char*> names[] = {
        {NSControlKeyMask, "NSControlKeyMask"},
        {NSCommandKeyMask, "NSCommandKeyMask"},
        {NSShiftKeyMask, "NSShiftKeyMask"},
        {NSAlternateKeyMask, "NSAlternateKeyMask"},
    };
    auto parts = NSMutableArray::array();
    for (const auto& [bit, name] : names)
        if (flags & bit) parts->addObject(NSString::stringWithUTF8String(name));
    if (parts->count() == 0) return "ERROR: No valid flags"_ns;
    return NSString::stringWithFormat("(%@)", parts->componentsJoinedByString(" | "_ns));
}

NSUInteger HKHotKey::hash() const { return keyCode() + HKCarbonFlagsFromCocoa(modifierFlags()); }

bool HKHotKey::isEqual(const NSObject* other) const
{
    const auto* hotKey = dynamic_cast<const HKHotKey*>(other);
    if (!hotKey) return false;
    return hotKey->keyCode() == keyCode() &&
           HKCarbonFlagsFromCocoa(hotKey->modifierFlags()) == HKCarbonFlagsFromCocoa(modifierFlags());
}

Ref<NSString> HKHotKey::description() const
{
    const Id boundTarget = target();
    const SEL boundAction = action();
    Ref<NSString> invokes = "(block)"_ns;
    if (boundTarget && !boundAction.empty())
        invokes = NSString::stringWithFormat("[%@ %s]", boundTarget, boundAction.c_str());
    return NSString::stringWithFormat("%@\n\t(key: %d\n\tflags: %@\n\tinvokes: %@)", NSObject::description(),
                                      int(keyCode()), hotKeyModifierNames(modifierFlags()), invokes);
}
