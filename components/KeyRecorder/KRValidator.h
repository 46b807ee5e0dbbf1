#pragma once
// Tells whether a key combination is already taken: by the application
// (asked through the delegate), by an enabled system-wide shortcut, or by an
// item of the application's main menu. A taken combination comes with an
// error whose texts name the combination and the reason.
#include <cstdint>

#include "Foundation/NSError.h"
#include "Foundation/NSObject.h"

class KRValidator;
class NSMenu;

// What a validator's delegate answers; the default says "not taken".
class KRValidatorDelegate {
public:
    virtual ~KRValidatorDelegate() = default;
    // shortcutValidator:isKeyCode:andFlagsTaken:reason: (event flags).
    virtual bool shortcutValidatorIsKeyCodeAndFlagsTakenReason(const Ref<KRValidator>&, int64_t, NSUInteger,
                                                               Ref<NSString>*)
    {
        return false;
    }
};

class KRValidator : public NSObject {
    NS_OBJECT(KRValidator, NSObject)
protected:
    KRValidator() = default;

public:
    // The delegate is not retained; it must be an NSObject that adopts
    // KRValidatorDelegate to be asked.
    Ref<KRValidator> initWithDelegate(const Id& delegate);
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

    // Flags in the hot-key encoding (command 0x100, shift 0x200, option
    // 0x800, control 0x1000). Every refusal fills *error when one is asked for.
    bool isKeyCodeAndFlagsTaken(int64_t keyCode, NSUInteger carbonFlags, Ref<NSError>* error);
    // Whether an item of the menu or of its submenus uses the combination.
    bool isKeyCodeAndFlagsTakenInMenu(int64_t keyCode, NSUInteger carbonFlags, const Ref<NSMenu>& menu,
                                      Ref<NSError>* error);

private:
    Weak<NSObject> m_delegate;
};
