#pragma once
// The public, read-only face of a system-wide hot key: what it is bound to
// and which key combination fires it. Registered hot keys are instances of a
// private subclass that answers this class as its class.
#include <functional>

#include "AppKit/NSEvent.h"
#include "Carbon/CarbonTypes.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

using HKHotKeyTask = std::function<void(const Ref<NSEvent>&)>;

class HKHotKey : public NSObject {
    NS_OBJECT(HKHotKey, NSObject)
protected:
    HKHotKey() = default;

public:
    virtual Id target() const { return nullptr; }
    virtual SEL action() const { return {}; }
    virtual Id object() const { return nullptr; }
    virtual HKHotKeyTask task() const { return {}; }
    virtual uint16_t keyCode() const { return 0; }
    virtual NSUInteger modifierFlags() const { return 0; }

    // Two hot keys are the same when the system would see the same
    // combination: the key code and the modifier bits a registration keeps.
    NSUInteger hash() const override;
    bool isEqual(const NSObject* other) const override;
    Ref<NSString> description() const override;
};

// Cocoa modifier flags to the Carbon flags of a registration: command,
// shift, option and control; every other bit is dropped.
UInt32 HKCarbonFlagsFromCocoa(NSUInteger flags);
// "(NSControlKeyMask | NSShiftKeyMask)", or "ERROR: No valid flags".
Ref<NSString> hotKeyModifierNames(NSUInteger flags);
