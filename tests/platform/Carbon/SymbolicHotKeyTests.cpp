#include <vector>

#include "Carbon/KeyState.h"
#include "Carbon/SymbolicHotKeys.h"
#include "CarbonFixture.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSNumber.h"

namespace {

class SymbolicHotKeyTest : public CarbonTest {
protected:
    void TearDown() override
    {
        SymbolicHotKeys::setEntries({});
        SymbolicHotKeys::setCopyFails(false);
        SymbolicHotKeys::setSuspensionHandler(nullptr);
        KeyState::releaseAllKeys();
    }
};

Id valueOf(const Ref<NSArray>& list, NSUInteger index, const char* key)
{
    return static_ref_cast<NSDictionary>(list->objectAtIndex(index))->objectForKey(NSString::stringWithUTF8String(key));
}

}

TEST_F(SymbolicHotKeyTest, CopyAnswersTheConfiguredListOrFails)
{
    Ref<NSArray> list;
    ASSERT_EQ(CopySymbolicHotKeys(&list), noErr);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 0u) << "a desktop without a list answers it empty";

    SymbolicHotKeys::setEntries({{49, cmdKey, true}, {48, cmdKey | shiftKey, false}});
    ASSERT_EQ(CopySymbolicHotKeys(&list), noErr);
    ASSERT_EQ(list->count(), 2u);
    EXPECT_EQ(static_ref_cast<NSNumber>(valueOf(list, 0, kHISymbolicHotKeyCode))->intValue(), 49);
    EXPECT_EQ(static_ref_cast<NSNumber>(valueOf(list, 0, kHISymbolicHotKeyModifiers))->intValue(), int(cmdKey));
    EXPECT_TRUE(static_ref_cast<NSNumber>(valueOf(list, 0, kHISymbolicHotKeyEnabled))->boolValue());
    EXPECT_EQ(static_ref_cast<NSNumber>(valueOf(list, 1, kHISymbolicHotKeyModifiers))->intValue(),
              int(cmdKey | shiftKey));
    EXPECT_FALSE(static_ref_cast<NSNumber>(valueOf(list, 1, kHISymbolicHotKeyEnabled))->boolValue());

    SymbolicHotKeys::setCopyFails(true);
    EXPECT_NE(CopySymbolicHotKeys(&list), noErr);
    EXPECT_FALSE(list);
}

TEST_F(SymbolicHotKeyTest, PushedModesSuspendUntilEveryOneIsPopped)
{
    std::vector<bool> transitions;
    SymbolicHotKeys::setSuspensionHandler([&](bool suspended) { transitions.push_back(suspended); });

    void* enabled = PushSymbolicHotKeyMode(kHIHotKeyModeAllEnabled);
    EXPECT_FALSE(SymbolicHotKeys::isSuspended());
    void* outer = PushSymbolicHotKeyMode(kHIHotKeyModeAllDisabled);
    void* inner = PushSymbolicHotKeyMode(kHIHotKeyModeAllDisabled);
    EXPECT_NE(outer, inner);
    EXPECT_EQ(SymbolicHotKeys::pushedModeCount(), 3u);

    PopSymbolicHotKeyMode(outer);  // out of order
    EXPECT_TRUE(SymbolicHotKeys::isSuspended());
    PopSymbolicHotKeyMode(outer);  // twice: ignored
    PopSymbolicHotKeyMode(reinterpret_cast<void*>(uintptr_t(0xdead)));
    EXPECT_EQ(SymbolicHotKeys::pushedModeCount(), 2u);
    PopSymbolicHotKeyMode(inner);
    EXPECT_FALSE(SymbolicHotKeys::isSuspended());
    PopSymbolicHotKeyMode(enabled);
    EXPECT_EQ(SymbolicHotKeys::pushedModeCount(), 0u);
    EXPECT_EQ(transitions, (std::vector<bool>{true, false}));
}

TEST_F(SymbolicHotKeyTest, KeyMapShowsTheKeysDown)
{
    auto isDown = [](uint16_t code) {
        KeyMap keys;
        GetKeys(keys);
        return ((reinterpret_cast<const uint8_t*>(keys)[code >> 3] >> (code & 7)) & 1) != 0;
    };
    EXPECT_FALSE(isDown(49));
    KeyState::setKeyDown(49, true);
    EXPECT_TRUE(isDown(49));
    EXPECT_FALSE(isDown(48));
    KeyState::setQuery([](uint16_t code) { return code == 127; });
    EXPECT_TRUE(isDown(127));
    EXPECT_FALSE(isDown(49));
    KeyState::setQuery(nullptr);
    EXPECT_TRUE(isDown(49));

    EXPECT_EQ(CarbonModifiersFromCocoa(NSCommandKeyMask | NSShiftKeyMask | NSFunctionKeyMask), cmdKey | shiftKey);
    EXPECT_EQ(CocoaModifiersFromCarbon(optionKey | controlKey | 0x1), NSAlternateKeyMask | NSControlKeyMask);
}
