#include "Carbon/KeyboardLayout.h"

#include <algorithm>
#include <mutex>

#include "Carbon/TISInputSource.h"
#include "Carbon/UCKeyboardLayout.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDistributedNotificationCenter.h"
#include "WindowServer/USKeyboardLayout.h"

NS_CLASS_DEFINE(KeyboardLayout)

namespace {

using Key = KeyboardLayout::Key;

struct Override {
    uint16_t keyCode;
    Key key;
};

std::vector<Key> usKeys()
{
    std::vector<Key> keys(KeyboardLayout::kKeyCount);
    for (uint16_t code = 0; code < keys.size(); ++code)
        if (auto k = USKeyboardLayout::key(code)) keys[code] = {k->unshifted, k->shifted, false};
    return keys;
}

std::vector<Key> withOverrides(std::initializer_list<Override> overrides)
{
    auto keys = usKeys();
    for (const auto& o : overrides) keys[o.keyCode] = o.key;
    return keys;
}

// The Mac French (AZERTY) layout: keys by position, US code names.
std::vector<Key> frenchKeys()
{
    return withOverrides({
        {kVK_ANSI_A, {u'q', u'Q'}},
        {kVK_ANSI_Q, {u'a', u'A'}},
        {kVK_ANSI_W, {u'z', u'Z'}},
        {kVK_ANSI_Z, {u'w', u'W'}},
        {kVK_ANSI_Semicolon, {u'm', u'M'}},
        {kVK_ANSI_M, {u',', u'?'}},
        {kVK_ANSI_Comma, {u';', u'.'}},
        {kVK_ANSI_Period, {u':', u'/'}},
        {kVK_ANSI_Slash, {u'=', u'+'}},
        {kVK_ANSI_Grave, {u'@', u'#'}},
        {kVK_ANSI_1, {u'&', u'1'}},
        {kVK_ANSI_2, {u'\u00E9', u'2'}},
        {kVK_ANSI_3, {u'"', u'3'}},
        {kVK_ANSI_4, {u'\'', u'4'}},
        {kVK_ANSI_5, {u'(', u'5'}},
        {kVK_ANSI_6, {u'\u00A7', u'6'}},
        {kVK_ANSI_7, {u'\u00E8', u'7'}},
        {kVK_ANSI_8, {u'!', u'8'}},
        {kVK_ANSI_9, {u'\u00E7', u'9'}},
        {kVK_ANSI_0, {u'\u00E0', u'0'}},
        {kVK_ANSI_Minus, {u')', u'\u00B0'}},
        {kVK_ANSI_Equal, {u'-', u'_'}},
        {kVK_ANSI_LeftBracket, {u'^', u'\u00A8', true}},
        {kVK_ANSI_RightBracket, {u'$', u'*'}},
        {kVK_ANSI_Quote, {u'\u00F9', u'%'}},
        {kVK_ANSI_Backslash, {u'`', u'\u00A3', true}},
        {10, {u'<', u'>'}},
    });
}

// The Mac German (QWERTZ) layout.
std::vector<Key> germanKeys()
{
    return withOverrides({
        {kVK_ANSI_Y, {u'z', u'Z'}},
        {kVK_ANSI_Z, {u'y', u'Y'}},
        {kVK_ANSI_2, {u'2', u'"'}},
        {kVK_ANSI_3, {u'3', u'\u00A7'}},
        {kVK_ANSI_6, {u'6', u'&'}},
        {kVK_ANSI_7, {u'7', u'/'}},
        {kVK_ANSI_8, {u'8', u'('}},
        {kVK_ANSI_9, {u'9', u')'}},
        {kVK_ANSI_0, {u'0', u'='}},
        {kVK_ANSI_Minus, {u'\u00DF', u'?'}},
        {kVK_ANSI_Equal, {u'\u00B4', u'`', true}},
        {kVK_ANSI_LeftBracket, {u'\u00FC', u'\u00DC'}},
        {kVK_ANSI_RightBracket, {u'+', u'*'}},
        {kVK_ANSI_Semicolon, {u'\u00F6', u'\u00D6'}},
        {kVK_ANSI_Quote, {u'\u00E4', u'\u00C4'}},
        {kVK_ANSI_Backslash, {u'#', u'\''}},
        {kVK_ANSI_Comma, {u',', u';'}},
        {kVK_ANSI_Period, {u'.', u':'}},
        {kVK_ANSI_Slash, {u'-', u'_'}},
        {kVK_ANSI_Grave, {u'^', u'\u00B0', true}},
        {10, {u'<', u'>'}},
    });
}

struct Current {
    std::mutex lock;
    Ref<KeyboardLayout> layout;
};

Current& currentLayout()
{
    static auto* c = new Current;
    return *c;
}

}

Ref<KeyboardLayout> KeyboardLayout::layoutWithKeys(const Ref<NSString>& identifier, const Ref<NSString>& localizedName,
                                                   std::vector<Key> keys)
{
    auto layout = alloc<KeyboardLayout>();
    layout->m_identifier = identifier ? identifier : NSString::string();
    layout->m_localizedName = localizedName ? localizedName : NSString::string();
    keys.resize(kKeyCount);
    layout->m_keys = std::move(keys);
    layout->m_data = layout->encodeLayoutData();
    return layout;
}

Ref<KeyboardLayout> KeyboardLayout::named(const std::string& name)
{
    if (name == "US") return layoutWithKeys("com.apple.keylayout.US"_ns, "U.S."_ns, usKeys());
    if (name == "French") return layoutWithKeys("com.apple.keylayout.French"_ns, "French"_ns, frenchKeys());
    if (name == "German") return layoutWithKeys("com.apple.keylayout.German"_ns, "German"_ns, germanKeys());
    return nullptr;
}

Ref<KeyboardLayout> KeyboardLayout::current()
{
    auto& c = currentLayout();
    std::lock_guard guard(c.lock);
    if (!c.layout) c.layout = named("US");
    return c.layout;
}

void KeyboardLayout::setCurrent(const Ref<KeyboardLayout>& layout)
{
    if (!layout) return;
    bool changed = false;
    {
        auto& c = currentLayout();
        std::lock_guard guard(c.lock);
        changed = !c.layout || !c.layout->m_identifier->isEqualToString(layout->m_identifier);
        c.layout = layout;
    }
    if (!changed) return;
    NSDistributedNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(kTISNotifySelectedKeyboardInputSourceChanged), nullptr);
}

bool KeyboardLayout::switchLayout(const std::string& name)
{
    auto layout = named(name);
    if (!layout) return false;
    setCurrent(layout);
    return true;
}

bool KeyboardLayout::isASCIICapable() const
{
    for (char16_t letter = u'a'; letter <= u'z'; ++letter)
        if (std::none_of(m_keys.begin(), m_keys.end(), [&](const Key& k) { return k.unshifted == letter; }))
            return false;
    return true;
}

Ref<NSData> KeyboardLayout::encodeLayoutData() const
{
    UCKeyboardLayout layout{kUCKeyboardLayoutMagic, kUCKeyboardLayoutKeyCount, {}};
    for (size_t code = 0; code < kKeyCount; ++code) {
        const Key& k = m_keys[code];
        layout.keys[code] = {k.unshifted, k.shifted, uint16_t(k.dead ? kUCKeyDead : 0)};
    }
    return NSData::dataWithBytes(&layout, sizeof layout);
}
