#include "KeyRecorder/KRKeyCodeTransformer.h"

#include "Foundation/NSClass.h"
#include <map>
#include <set>

#include "Carbon/TISInputSource.h"
#include "Carbon/UCKeyboardLayout.h"
#include "Foundation/NSDistributedNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "KeyRecorder/KRDummyClass.h"

NS_CLASS_DEFINE(KRKeyCodeTransformer)

namespace {

struct Tables {
    std::map<int, Ref<NSString>> special;
    std::set<int> keypad;
    std::map<std::u16string, int> reverse;
};

Tables& tables()
{
    static auto* t = new Tables;
    return *t;
}

Ref<NSString> character(char16_t c) { return NSString::stringWithCharacters(&c, 1); }

void buildTables()
{
    auto& t = tables();
    const int functionKeys[] = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113, 106, 64, 79, 80};
    for (int i = 0; i < 19; ++i) t.special[functionKeys[i]] = NSString::stringWithFormat("F%d", i + 1);
    t.special[49] = KRLocalizedString("Space");
    const std::pair<int, char16_t> glyphs[] = {
        {51, 0x232B},  {117, 0x2326}, {71, 0x2327},  {123, 0x2190}, {124, 0x2192},
        {126, 0x2191}, {125, 0x2193}, {119, 0x2198}, {115, 0x2196}, {53, 0x238B},
        {121, 0x21DF}, {116, 0x21DE}, {36, 0x21A9},  {76, 0x2305},  {48, 0x21E5},
    };
    for (const auto& [code, glyph] : glyphs) t.special[code] = character(glyph);
    t.special[114] = "?"_ns;
    t.keypad = {65, 67, 69, 75, 78, 81, 82, 83, 84, 85, 86, 87, 88, 89, 91, 92};
}

// The first character (a whole code point, so that a character beyond the
// basic plane is not cut in half) of what the key types without modifiers.
Ref<NSString> translatedName(uint16_t keyCode, bool asciiFallback)
{
    TISInputSourceRef source = TISCopyCurrentKeyboardInputSource();
    if (!source) return nullptr;
    auto data = dynamic_ref_cast<NSData>(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData));
    if (!data && asciiFallback) {
        source = TISCopyCurrentASCIICapableKeyboardLayoutInputSource();
        if (!source) return nullptr;
        data = dynamic_ref_cast<NSData>(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData));
    }
    if (!data) return nullptr;
    UInt32 deadKeyState = 0;
    UniChar chars[4] = {};
    UniCharCount length = 0;
    if (UCKeyTranslate(reinterpret_cast<const UCKeyboardLayout*>(data->bytes()), keyCode, kUCKeyActionDisplay, 0,
                       LMGetKbdType(), 0, &deadKeyState, 4, &length, chars) != noErr)
        return nullptr;
    // A key that types nothing has no name.
    if (length == 0) return NSString::string();
    const bool pair = length > 1 && chars[0] >= 0xD800 && chars[0] < 0xDC00 && chars[1] >= 0xDC00 && chars[1] < 0xE000;
    return NSString::stringWithCharacters(chars, pair ? 2 : 1);
}

}

void KRKeyCodeTransformer::initialize()
{
    buildTables();
    regenerateStringToKeyCodeMapping();
    NSDistributedNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(kTISNotifySelectedKeyboardInputSourceChanged), nullptr, nullptr,
        [](const Ref<NSNotification>&) { regenerateStringToKeyCodeMapping(); });
}

const NSClass& KRKeyCodeTransformer::transformedValueClass() const { return NSString::staticClass(); }

Id KRKeyCodeTransformer::transformedValue(const Id& value)
{
    const auto number = dynamic_ref_cast<NSNumber>(value);
    if (!number) return nullptr;
    const int16_t code = number->shortValue();
    if (code < 0) return nullptr;
    const auto& t = tables();
    if (auto it = t.special.find(code); it != t.special.end()) return it->second;
    const Ref<NSString> name = translatedName(uint16_t(code), true);
    if (!name) return nullptr;
    const Ref<NSString> upper = name->uppercaseString();
    if (t.keypad.count(code)) return NSString::stringWithFormat(KRLocalizedString("Pad %@"), upper);
    return upper;
}

Id KRKeyCodeTransformer::reverseTransformedValue(const Id& value)
{
    const auto name = dynamic_ref_cast<NSString>(value);
    if (!name) return nullptr;
    const auto& reverse = tables().reverse;
    auto it = reverse.find(name->utf16());
    if (it == reverse.end()) return nullptr;
    return NSNumber::numberWithShort(int16_t(it->second));
}

void KRKeyCodeTransformer::regenerateStringToKeyCodeMapping()
{
    auto& reverse = tables().reverse;
    reverse.clear();
    // Not through alloc: this also runs inside the class's initialisation.
    const auto transformer = Ref<KRKeyCodeTransformer>::adopt(new KRKeyCodeTransformer);
    for (int code = 0; code < 128; ++code) {
        const auto name =
            dynamic_ref_cast<NSString>(transformer->transformedValue(NSNumber::numberWithShort(int16_t(code))));
        if (name && name->length() > 0) reverse[name->utf16()] = code;
    }
}
