#include "KeyRecorder/KRKeyNaming.h"

#include "Carbon/TISInputSource.h"
#include "Carbon/UCKeyboardLayout.h"
#include "Foundation/NSData.h"
#include "Foundation/NSLocale.h"
#include "Foundation/NSNumber.h"
#include "KeyRecorder/KRDummyClass.h"
#include "KeyRecorder/KRKeyCodeTransformer.h"

namespace {

enum : NSUInteger {
    kShift = 0x20000,
    kControl = 0x40000,
    kOption = 0x80000,
    kCommand = 0x100000,
    kFunction = 0x800000,
    kCarbonCommand = 0x100,
    kCarbonShift = 0x200,
    kCarbonOption = 0x800,
    kCarbonControl = 0x1000,
};

Ref<NSString> glyphIf(bool set, char16_t glyph)
{
    return set ? NSString::stringWithCharacters(&glyph, 1) : NSString::string();
}

Ref<NSString> wordIf(bool set, const char* word) { return set ? KRLocalizedString(word) : NSString::string(); }

Ref<NSString> nameOrEmpty(int64_t keyCode)
{
    const Ref<NSString> name = KRKeyNameForCode(keyCode);
    return name ? name : NSString::string();
}

}

Ref<NSString> KRKeyNameForCode(int64_t keyCode)
{
    // Kept for the life of the process.
    static auto* shared = new Ref<KRKeyCodeTransformer>(NSObject::make<KRKeyCodeTransformer>());
    return dynamic_ref_cast<NSString>((*shared)->transformedValue(NSNumber::numberWithShort(int16_t(keyCode))));
}

Ref<NSString> KRGlyphsForCarbonModifiers(NSUInteger f)
{
    return NSString::stringWithFormat("%@%@%@%@", glyphIf(f & kCarbonControl, 0x2303),
                                      glyphIf(f & kCarbonOption, 0x2325), glyphIf(f & kCarbonShift, 0x21E7),
                                      glyphIf(f & kCarbonCommand, 0x2318));
}

Ref<NSString> KRGlyphsForCocoaModifiers(NSUInteger f) { return KRGlyphsForCarbonModifiers(KRModifiersToCarbon(f)); }

Ref<NSString> KRGlyphComboForCarbon(NSUInteger f, int64_t keyCode)
{
    return NSString::stringWithFormat("%@%@", KRGlyphsForCarbonModifiers(f), nameOrEmpty(keyCode));
}

Ref<NSString> KRGlyphComboForCocoa(NSUInteger f, int64_t keyCode)
{
    return KRGlyphComboForCarbon(KRModifiersToCarbon(f), keyCode);
}

Ref<NSString> KRSpelledComboForCarbon(NSUInteger f, int64_t keyCode)
{
    return NSString::stringWithFormat("%@%@%@%@%@", wordIf(f & kCarbonCommand, "Command + "),
                                      wordIf(f & kCarbonOption, "Option + "), wordIf(f & kCarbonControl, "Control + "),
                                      wordIf(f & kCarbonShift, "Shift + "), nameOrEmpty(keyCode));
}

Ref<NSString> KRSpelledComboForCocoa(NSUInteger f, int64_t keyCode)
{
    return KRSpelledComboForCarbon(KRModifiersToCarbon(f), keyCode);
}

NSUInteger KRModifiersFromCarbon(NSUInteger f)
{
    NSUInteger result = f & kFunction;
    if (f & kCarbonCommand) result |= kCommand;
    if (f & kCarbonOption) result |= kOption;
    if (f & kCarbonControl) result |= kControl;
    if (f & kCarbonShift) result |= kShift;
    return result;
}

NSUInteger KRModifiersToCarbon(NSUInteger f)
{
    NSUInteger result = f & kFunction;
    if (f & kCommand) result |= kCarbonCommand;
    if (f & kOption) result |= kCarbonOption;
    if (f & kControl) result |= kCarbonControl;
    if (f & kShift) result |= kCarbonShift;
    return result;
}

Ref<NSString> KRKeyCharacterForCocoaFlags(int64_t keyCode, NSUInteger)
{
    const TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
    const auto data =
        source ? dynamic_ref_cast<NSData>(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData))
               : nullptr;
    if (!data || keyCode < 0) return KRKeyNameForCode(keyCode);
    UInt32 deadKeyState = 0;
    UniChar chars[4] = {};
    UniCharCount length = 0;
    if (UCKeyTranslate(reinterpret_cast<const UCKeyboardLayout*>(data->bytes()), uint16_t(keyCode), kUCKeyActionDisplay,
                       0, LMGetKbdType(), 0, &deadKeyState, 4, &length, chars) != noErr ||
        length == 0)
        return KRKeyNameForCode(keyCode);
    const bool pair = length > 1 && chars[0] >= 0xD800 && chars[0] < 0xDC00;
    return NSString::stringWithCharacters(chars, pair ? 2 : 1)->capitalizedStringWithLocale(NSLocale::currentLocale());
}

Ref<NSString> KRKeyCharacterForCarbonFlags(int64_t keyCode, NSUInteger carbonFlags)
{
    return KRKeyCharacterForCocoaFlags(keyCode, KRModifiersFromCarbon(carbonFlags));
}
