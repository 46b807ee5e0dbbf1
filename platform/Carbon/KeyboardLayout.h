#pragma once
// A keyboard layout: for each virtual key code the character typed without
// and with Shift, and whether the key is a dead key. One layout is current;
// making another current posts kTISNotifySelectedKeyboardInputSourceChanged
// on the distributed notification centre. The x11 backend builds layouts from
// the X keymap; the built-in US, French and German layouts serve headless runs
// and tests (switchLayout).
#include <string>
#include <vector>

#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

class KeyboardLayout : public NSObject {
    NS_OBJECT(KeyboardLayout, NSObject)
protected:
    KeyboardLayout() = default;

public:
    struct Key {
        char16_t unshifted = 0;
        char16_t shifted = 0;
        bool dead = false;
    };
    static constexpr size_t kKeyCount = 128;

    // Keys beyond kKeyCount are dropped; missing ones type nothing.
    static Ref<KeyboardLayout> layoutWithKeys(const Ref<NSString>& identifier, const Ref<NSString>& localizedName,
                                              std::vector<Key> keys);
    // "US", "French" or "German"; nil for any other name.
    static Ref<KeyboardLayout> named(const std::string& name);

    // The current layout (US until another is made current).
    static Ref<KeyboardLayout> current();
    // Posts the change notice, on the calling thread (the main thread), when
    // the identifier changes.
    static void setCurrent(const Ref<KeyboardLayout>& layout);
    // Makes the built-in layout of that name current; false for an unknown name.
    static bool switchLayout(const std::string& name);

    // "com.apple.keylayout.French"
    Ref<NSString> identifier() const { return m_identifier; }
    Ref<NSString> localizedName() const { return m_localizedName; }
    Key key(uint16_t keyCode) const { return keyCode < m_keys.size() ? m_keys[keyCode] : Key{}; }
    // Whether a to z are typed without modifiers.
    bool isASCIICapable() const;
    // The layout as the bytes of a UCKeyboardLayout.
    Ref<NSData> layoutData() const { return m_data; }

private:
    Ref<NSString> m_identifier;
    Ref<NSString> m_localizedName;
    std::vector<Key> m_keys;
    Ref<NSData> encodeLayoutData() const;

    Ref<NSData> m_data;
};
