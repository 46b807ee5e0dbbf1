#include <string>

#include "Carbon/TISInputSource.h"
#include "Carbon/UCKeyboardLayout.h"
#include "CarbonFixture.h"
#include "Foundation/NSDistributedNotificationCenter.h"
#include "Foundation/NSNotification.h"

namespace {

class KeyboardLayoutTest : public CarbonTest {
protected:
    void TearDown() override { KeyboardLayout::switchLayout("US"); }

    // The key's character in the current layout, the way key naming asks.
    static std::u16string translate(uint16_t keyCode, UInt32 carbonModifiers = 0, uint16_t action = kUCKeyActionDisplay,
                                    OptionBits options = 0)
    {
        auto data = static_ref_cast<NSData>(
            TISGetInputSourceProperty(TISCopyCurrentKeyboardInputSource(), kTISPropertyUnicodeKeyLayoutData));
        if (!data) return u"<no data>";
        const auto* layout = reinterpret_cast<const UCKeyboardLayout*>(data->bytes());
        UInt32 deadKeyState = 0;
        UniChar chars[4];
        UniCharCount length = 0;
        const OSStatus status = UCKeyTranslate(layout, keyCode, action, (carbonModifiers >> 8) & 0xFF, LMGetKbdType(),
                                               options, &deadKeyState, 4, &length, chars);
        if (status != noErr) return u"<error>";
        if (deadKeyState != 0) return u"<dead state>";
        return std::u16string(chars, length);
    }
};

struct Case {
    const char* layout;
    uint16_t keyCode;
    UInt32 modifiers;
    std::u16string expected;
};

}

TEST_F(KeyboardLayoutTest, KeysTranslateInEachLayout)
{
    const Case cases[] = {
        {"US", 0, 0, u"a"},
        {"US", 0, shiftKey, u"A"},
        {"US", 18, shiftKey, u"!"},
        {"US", 87, 0, u"5"},  // keypad 5
        {"US", 56, 0, u""},   // Shift types nothing
        {"French", 0, 0, u"q"},
        {"French", 12, 0, u"a"},
        {"French", 19, 0, u"\u00E9"},
        {"French", 19, shiftKey, u"2"},
        {"French", 46, 0, u","},
        {"French", 33, 0, u"^"},  // dead circumflex, shown as itself
        {"French", 33, shiftKey, u"\u00A8"},
        {"German", 16, 0, u"z"},
        {"German", 6, 0, u"y"},
        {"German", 41, 0, u"\u00F6"},
        {"German", 24, 0, u"\u00B4"},  // dead acute
        {"German", 50, 0, u"^"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(KeyboardLayout::switchLayout(c.layout));
        EXPECT_EQ(translate(c.keyCode, c.modifiers), c.expected) << c.layout << " key " << c.keyCode;
    }
    // A dead key typed (not displayed) still answers its character and no
    // pending dead-key state, with or without the option.
    ASSERT_TRUE(KeyboardLayout::switchLayout("French"));
    EXPECT_EQ(translate(33, 0, kUCKeyActionDown, kUCKeyTranslateNoDeadKeysMask), u"^");
    EXPECT_EQ(translate(33, 0, kUCKeyActionDown, 0), u"^");
    EXPECT_EQ(translate(33, 0, kUCKeyActionUp), u"");
}

TEST_F(KeyboardLayoutTest, TranslationRefusesBadArguments)
{
    auto data = KeyboardLayout::current()->layoutData();
    const auto* layout = reinterpret_cast<const UCKeyboardLayout*>(data->bytes());
    UInt32 dead = 0;
    UniChar chars[4];
    UniCharCount length = 7;
    EXPECT_EQ(UCKeyTranslate(nullptr, 0, kUCKeyActionDisplay, 0, 0, 0, &dead, 4, &length, chars), paramErr);
    EXPECT_EQ(UCKeyTranslate(layout, 0, kUCKeyActionDisplay, 0, 0, 0, nullptr, 4, &length, chars), paramErr);
    EXPECT_EQ(UCKeyTranslate(layout, 0, kUCKeyActionDisplay, 0, 0, 0, &dead, 0, &length, chars),
              kUCOutputBufferTooSmall);
    EXPECT_EQ(UCKeyTranslate(layout, 500, kUCKeyActionDisplay, 0, 0, 0, &dead, 4, &length, chars), noErr);
    EXPECT_EQ(length, 0u);
}

TEST_F(KeyboardLayoutTest, SwitchingPostsTheInputSourceNotification)
{
    int posts = 0;
    auto center = NSDistributedNotificationCenter::defaultCenter();
    auto observer =
        center->addObserverForName(NSString::stringWithUTF8String(kTISNotifySelectedKeyboardInputSourceChanged),
                                   nullptr, nullptr, [&](const Ref<NSNotification>&) { ++posts; });

    auto before = TISCopyCurrentKeyboardInputSource();
    ASSERT_TRUE(KeyboardLayout::switchLayout("French"));
    EXPECT_EQ(posts, 1);
    KeyboardLayout::switchLayout("French");
    EXPECT_EQ(posts, 1) << "no change, no notice";
    EXPECT_FALSE(KeyboardLayout::switchLayout("Klingon"));
    EXPECT_EQ(posts, 1);

    auto id = [](const TISInputSourceRef& s) {
        return static_ref_cast<NSString>(TISGetInputSourceProperty(s, kTISPropertyInputSourceID))->UTF8String();
    };
    EXPECT_EQ(id(TISCopyCurrentKeyboardInputSource()), std::string("com.apple.keylayout.French"));
    EXPECT_EQ(id(before), std::string("com.apple.keylayout.US")) << "a copied source keeps its layout";
    center->removeObserver(observer);
}

TEST_F(KeyboardLayoutTest, ASCIICapableSourceFallsBackToUSForLayoutsWithoutLatinLetters)
{
    std::vector<KeyboardLayout::Key> greekish(KeyboardLayout::kKeyCount);
    greekish[0] = {u'\u03B1', u'\u0391', false};
    KeyboardLayout::setCurrent(KeyboardLayout::layoutWithKeys("test.greekish"_ns, "Greekish"_ns, greekish));
    auto ascii = TISCopyCurrentASCIICapableKeyboardLayoutInputSource();
    EXPECT_TRUE(ascii->layout()->identifier()->isEqualToString("com.apple.keylayout.US"_ns));
    EXPECT_EQ(translate(0), u"\u03B1");

    ASSERT_TRUE(KeyboardLayout::switchLayout("German"));
    EXPECT_TRUE(TISCopyCurrentASCIICapableKeyboardLayoutInputSource()->layout()->identifier()->isEqualToString(
        "com.apple.keylayout.German"_ns));
}
