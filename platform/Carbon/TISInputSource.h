#pragma once
// Text Input Sources: the keyboard input source in use and its properties,
// over the current KeyboardLayout. Keyboard-layout sources carry their
// Unicode key layout (kTISPropertyUnicodeKeyLayoutData: an NSData whose bytes
// are a UCKeyboardLayout, see UCKeyboardLayout.h).
#include <string_view>

#include "Carbon/KeyboardLayout.h"

class TISInputSource;
using TISInputSourceRef = Ref<TISInputSource>;

inline constexpr char kTISPropertyUnicodeKeyLayoutData[] = "TISPropertyUnicodeKeyLayoutData";
inline constexpr char kTISPropertyInputSourceID[] = "TISPropertyInputSourceID";
inline constexpr char kTISPropertyLocalizedName[] = "TISPropertyLocalizedName";
// Posted on the distributed notification centre when the current keyboard
// input source changes.
inline constexpr char kTISNotifySelectedKeyboardInputSourceChanged[] =
    "com.apple.Carbon.TISNotifySelectedKeyboardInputSourceChanged";

class TISInputSource : public NSObject {
    NS_OBJECT(TISInputSource, NSObject)
protected:
    TISInputSource() = default;

public:
    static Ref<TISInputSource> sourceWithLayout(const Ref<KeyboardLayout>& layout);

    Ref<KeyboardLayout> layout() const { return m_layout; }
    // NSData, NSString or nil for a key the source does not have.
    Id property(std::string_view key) const;

private:
    Ref<KeyboardLayout> m_layout;
};

// The source in use now (a later layout switch does not change it).
TISInputSourceRef TISCopyCurrentKeyboardInputSource();
// The current layout when it types a to z, else the US layout.
TISInputSourceRef TISCopyCurrentASCIICapableKeyboardLayoutInputSource();
Id TISGetInputSourceProperty(const TISInputSourceRef& source, std::string_view propertyKey);
