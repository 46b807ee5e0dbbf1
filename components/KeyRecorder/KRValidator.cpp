#include "KeyRecorder/KRValidator.h"

#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItem.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"
#include "KeyRecorder/KRDummyClass.h"
#include "KeyRecorder/KRKeyNaming.h"

NS_CLASS_DEFINE(KRValidator)

namespace {

constexpr NSUInteger kModifierBits = 0x100 | 0x200 | 0x800 | 0x1000;

Ref<NSError> takenError(NSUInteger carbonFlags, int64_t keyCode, const Ref<NSString>& suggestion)
{
    auto info = NSMutableDictionary::dictionary();
    info->setObject(NSString::stringWithFormat(KRLocalizedString("The key combination %@ can't be used!"),
                                               KRGlyphComboForCarbon(carbonFlags, keyCode)),
                    NSLocalizedDescriptionKey());
    info->setObject(suggestion, NSLocalizedRecoverySuggestionErrorKey());
    info->setObject(NSArray::arrayWithObject("OK"_ns), NSLocalizedRecoveryOptionsErrorKey());
    return NSError::errorWithDomain(NSCocoaErrorDomain(), 0, info);
}

Ref<NSString> suggestion(const char* format, NSUInteger carbonFlags, int64_t keyCode)
{
    return NSString::stringWithFormat(KRLocalizedString(format), KRSpelledComboForCarbon(carbonFlags, keyCode));
}

NSUInteger number(const Id& value)
{
    const auto n = dynamic_ref_cast<NSNumber>(value);
    return n ? n->unsignedIntegerValue() : 0;
}

bool menuMaskMatches(NSUInteger mask, NSUInteger carbonFlags)
{
    const std::pair<NSUInteger, NSUInteger> pairs[] = {
        {0x40000, 0x1000}, {0x20000, 0x200}, {0x100000, 0x100}, {0x80000, 0x800}};
    for (const auto& [cocoa, carbon] : pairs)
        if (bool(mask & cocoa) != bool(carbonFlags & carbon)) return false;
    return true;
}

}

Ref<KRValidator> KRValidator::initWithDelegate(const Id& delegate)
{
    m_delegate = delegate;
    return this;
}

bool KRValidator::isKeyCodeAndFlagsTaken(int64_t keyCode, NSUInteger carbonFlags, Ref<NSError>* error)
{
    // 1. The application.
    const Id delegateObject = m_delegate.get();
    if (auto* asked = dynamic_cast<KRValidatorDelegate*>(delegateObject.get())) {
        Ref<NSString> reason = NSString::string();
        if (asked->shortcutValidatorIsKeyCodeAndFlagsTakenReason(this, keyCode, KRModifiersFromCarbon(carbonFlags),
                                                                 &reason)) {
            if (error) {
                const Ref<NSString> why = reason && reason->length() > 0 ? reason : "it's already used"_ns;
                *error = takenError(carbonFlags, keyCode,
                                    NSString::stringWithFormat(
                                        KRLocalizedString("The key combination \"%@\" can't be used because %@."),
                                        KRSpelledComboForCarbon(carbonFlags, keyCode), why));
            }
            return true;
        }
    }

    // 2. The system's shortcuts. A refusal always explains itself, so that
    // the alert the recorder shows is never empty.
    Ref<NSArray> symbolic;
    if (CopySymbolicHotKeys(&symbolic) != noErr || !symbolic) {
        if (error)
            *error = takenError(carbonFlags, keyCode,
                                suggestion("The key combination \"%@\" can't be used because the system's keyboard "
                                           "shortcuts could not be checked.",
                                           carbonFlags, keyCode));
        return true;
    }
    for (const Id& entryObject : symbolic->snapshot()) {
        const auto entry = dynamic_ref_cast<NSDictionary>(entryObject);
        if (!entry) continue;
        const auto enabled =
            dynamic_ref_cast<NSNumber>(entry->objectForKey(NSString::stringWithUTF8String(kHISymbolicHotKeyEnabled)));
        if (!enabled || !enabled->boolValue()) continue;
        const auto code = uint16_t(number(entry->objectForKey(NSString::stringWithUTF8String(kHISymbolicHotKeyCode))));
        const auto modifiers =
            uint32_t(number(entry->objectForKey(NSString::stringWithUTF8String(kHISymbolicHotKeyModifiers))));
        const Ref<NSString> name = KRKeyNameForCode(keyCode);
        if (!name || name->length() == 0) {
            if (error)
                *error = takenError(carbonFlags, keyCode,
                                    suggestion("The key combination \"%@\" can't be used because the key has no "
                                               "name in the current keyboard layout.",
                                               carbonFlags, keyCode));
            return true;
        }
        if (keyCode == code && (modifiers & kModifierBits) == (carbonFlags & kModifierBits)) {
            if (error)
                *error = takenError(
                    carbonFlags, keyCode,
                    suggestion("The key combination \"%@\" can't be used because it's already used by a system-wide "
                               "keyboard shortcut. (If you really want to use this key combination, most shortcuts "
                               "can be changed in the Keyboard & Mouse panel in System Preferences.)",
                               carbonFlags, keyCode));
            return true;
        }
    }

    // 3. The main menu.
    return isKeyCodeAndFlagsTakenInMenu(keyCode, carbonFlags, NSMenu::mainMenu(), error);
}

bool KRValidator::isKeyCodeAndFlagsTakenInMenu(int64_t keyCode, NSUInteger carbonFlags, const Ref<NSMenu>& menu,
                                               Ref<NSError>* error)
{
    if (!menu) return false;
    for (NSInteger i = 0; i < menu->numberOfItems(); ++i) {
        const Ref<NSMenuItem> item = menu->itemAtIndex(i);
        if (item->hasSubmenu() && isKeyCodeAndFlagsTakenInMenu(keyCode, carbonFlags, item->submenu(), error))
            return true;
        const Ref<NSString> equivalent = item->keyEquivalent();
        if (!equivalent || equivalent->length() == 0) continue;
        const Ref<NSString> name = KRKeyNameForCode(keyCode);
        if (!name || !equivalent->uppercaseString()->isEqualToString(name)) continue;
        const NSUInteger mask = item->keyEquivalentModifierMask();
        if (!menuMaskMatches(mask, carbonFlags)) continue;
        if (error) {
            const Ref<NSString> title = item->title();
            *error = takenError(
                carbonFlags, keyCode,
                NSString::stringWithFormat(
                    KRLocalizedString(
                        "The key combination \"%@\" can't be used because it's already used by the menu item \"%@\"."),
                    KRSpelledComboForCocoa(mask, keyCode), title ? title : NSString::string()));
        }
        return true;
    }
    return false;
}
