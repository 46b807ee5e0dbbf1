#include <gtest/gtest.h>
#include <stdlib.h>

#include "AppKit/NSApplication.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "HotKeyCenter/HKHotKeyCenter.h"
#include "HotKeyCenter/_HKHotKey.h"
#include "LogCapture.h"
#include "backend/headless/HeadlessWindowServer.h"

namespace {

constexpr NSUInteger kCommandShift = NSCommandKeyMask | NSShiftKeyMask;

class Receiver : public NSObject {
    NS_OBJECT(Receiver, NSObject)
protected:
    Receiver() = default;

public:
    static void describeClass(NSClassMembers<Receiver>& m) { m.action("vellamoKeyDown:", &Receiver::keyDown); }
    void keyDown(const Id& event)
    {
        ++calls;
        lastEvent = dynamic_ref_cast<NSEvent>(event);
    }
    int calls = 0;
    Ref<NSEvent> lastEvent;
};
NS_CLASS_DEFINE(Receiver)

class HotKeyCenterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PLUMBLINE_BACKEND", "headless", 1);
        Clock::useVirtualClock();
        NSApplication::sharedApplication();
        center = NSObject::make<HKHotKeyCenter>();
    }
    void TearDown() override
    {
        center->unregisterHotKeysMatchingPredicate([](const _HKHotKey&) { return true; });
    }

    static HeadlessWindowServer& server() { return *HeadlessWindowServer::current(); }

    Ref<HKHotKeyCenter> center;
};

}

TEST(HotKeyFlags, CocoaFlagsBecomeCarbonFlags)
{
    const struct {
        NSUInteger cocoa;
        UInt32 carbon;
    } cases[] = {
        {kCommandShift, 0x300},
        {NSCommandKeyMask, 0x100},
        {NSShiftKeyMask, 0x200},
        {NSAlternateKeyMask, 0x800},
        {NSControlKeyMask, 0x1000},
        {NSControlKeyMask | NSAlternateKeyMask | kCommandShift, 0x1B00},
        {NSAlphaShiftKeyMask | NSFunctionKeyMask, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(HKCarbonFlagsFromCocoa(c.cocoa), c.carbon) << c.cocoa;
    EXPECT_EQ(hotKeyModifierNames(NSAlphaShiftKeyMask | NSFunctionKeyMask)->UTF8String(),
              std::string("ERROR: No valid flags"));
    EXPECT_EQ(hotKeyModifierNames(NSShiftKeyMask | NSControlKeyMask | NSCommandKeyMask)->UTF8String(),
              std::string("(NSControlKeyMask | NSCommandKeyMask | NSShiftKeyMask)"));
}

TEST_F(HotKeyCenterTest, RegistersOnceWithCarbonFlagsAndNumbersOnlySuccesses)
{
    auto receiver = NSObject::make<Receiver>();
    const UInt32 first = _HKHotKey::nextHotKeyID();
    ASSERT_TRUE(center->registerHotKeyWithKeyCode(5, kCommandShift, receiver, "vellamoKeyDown:", nullptr));
    // The system holds command-shift-G (Carbon 0x300): another program cannot take it.
    EXPECT_EQ(server().releaseHotKey(5, 0x300), true);
    EXPECT_EQ(receiver->calls, 1);

    // Again, from this or another centre, also with bits the system ignores.
    auto other = NSObject::make<HKHotKeyCenter>();
    EXPECT_FALSE(center->registerHotKeyWithKeyCode(5, kCommandShift, receiver, "vellamoKeyDown:", nullptr));
    EXPECT_FALSE(other->registerHotKeyWithKeyCode(5, kCommandShift | NSAlphaShiftKeyMask, [](const Ref<NSEvent>&) {}));
    EXPECT_TRUE(other->hasRegisteredHotKeyWithKeyCode(5, kCommandShift));

    // Refused by the system: no number is used up.
    server().holdHotKeyElsewhere(3, 0x1800);
    EXPECT_FALSE(other->registerHotKeyWithKeyCode(3, NSControlKeyMask | NSAlternateKeyMask, receiver,
                                                  "vellamoKeyDown:", nullptr));
    EXPECT_FALSE(center->hasRegisteredHotKeyWithKeyCode(3, NSControlKeyMask | NSAlternateKeyMask));
    ASSERT_TRUE(other->registerHotKeyWithKeyCode(37, NSCommandKeyMask, [](const Ref<NSEvent>&) {}));

    const Ref<NSSet> registered = center->registeredHotKeys();
    ASSERT_EQ(registered->count(), 2u);
    for (const Id& member : registered->snapshot()) {
        const auto* hotKey = static_cast<const _HKHotKey*>(member.get());
        EXPECT_EQ(hotKey->hotKeyID(), hotKey->keyCode() == 5 ? first : first + 1);
        EXPECT_EQ(&member->classObject(), &HKHotKey::classRecord());
    }
}

TEST_F(HotKeyCenterTest, ReleaseSendsASynthesisedKeyUpToTheTargetOrTask)
{
    auto receiver = NSObject::make<Receiver>();
    ASSERT_TRUE(center->registerHotKeyWithKeyCode(5, kCommandShift, receiver, "vellamoKeyDown:", nullptr));
    int taskCalls = 0;
    Ref<NSEvent> taskEvent;
    ASSERT_TRUE(center->registerHotKeyWithKeyCode(17, NSControlKeyMask, [&](const Ref<NSEvent>& e) {
        ++taskCalls;
        taskEvent = e;
    }));

    server().injectPointer({300, 400});
    Clock::advance(3);
    ASSERT_TRUE(server().releaseHotKey(5, 0x300));
    ASSERT_EQ(receiver->calls, 1);
    const Ref<NSEvent> e = receiver->lastEvent;
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type(), NSKeyUp);
    EXPECT_EQ(e->keyCode(), 5);
    EXPECT_EQ(e->windowNumber(), -1);
    EXPECT_EQ(e->locationInWindow(), NSMakePoint(300, 400));
    EXPECT_EQ(e->timestamp(), Clock::systemUptime());
    EXPECT_EQ(e->characters()->length(), 0u);
    EXPECT_EQ(e->charactersIgnoringModifiers()->length(), 0u);
    EXPECT_FALSE(e->isARepeat());

    ASSERT_TRUE(server().releaseHotKey(17, 0x1000));
    EXPECT_EQ(taskCalls, 1);
    ASSERT_TRUE(taskEvent);
    EXPECT_EQ(taskEvent->keyCode(), 17);
    EXPECT_EQ(receiver->calls, 1);
}

TEST_F(HotKeyCenterTest, UnregisteringByTargetLeavesTheOthersFiring)
{
    auto gone = NSObject::make<Receiver>();
    auto stays = NSObject::make<Receiver>();
    ASSERT_TRUE(center->registerHotKeyWithKeyCode(5, kCommandShift, gone, "vellamoKeyDown:", nullptr));
    ASSERT_TRUE(center->registerHotKeyWithKeyCode(6, kCommandShift, gone, "vellamoKeyDown:", nullptr));
    ASSERT_TRUE(center->registerHotKeyWithKeyCode(7, kCommandShift, stays, "vellamoKeyDown:", nullptr));

    center->unregisterHotKeysWithTarget(gone);
    EXPECT_FALSE(server().releaseHotKey(5, 0x300));
    EXPECT_FALSE(server().releaseHotKey(6, 0x300));
    EXPECT_TRUE(server().releaseHotKey(7, 0x300));
    EXPECT_EQ(gone->calls, 0);
    EXPECT_EQ(stays->calls, 1);
    EXPECT_EQ(center->registeredHotKeys()->count(), 1u);

    // Free again for anyone.
    EXPECT_TRUE(center->registerHotKeyWithKeyCode(5, kCommandShift, stays, "vellamoKeyDown:", nullptr));
    center->unregisterHotKeyWithKeyCode(5, kCommandShift);
    center->unregisterHotKeysWithTarget(stays, "otherAction:");
    EXPECT_EQ(center->registeredHotKeys()->count(), 1u);
    center->unregisterHotKeysWithTarget(stays, "vellamoKeyDown:");
    EXPECT_EQ(center->registeredHotKeys()->count(), 0u);
}

TEST_F(HotKeyCenterTest, OnlyRegisteredHotKeysCanBeUnregistered)
{
    EXPECT_THROW(center->unregisterHotKey(NSObject::make<HKHotKey>()), NSException);
    EXPECT_THROW(center->unregisterHotKey(nullptr), NSException);
    ASSERT_TRUE(center->registerHotKeyWithKeyCode(5, kCommandShift, [](const Ref<NSEvent>&) {}));
    const auto hotKey = static_ref_cast<HKHotKey>(center->registeredHotKeys()->anyObject());
    EXPECT_NE(hotKey->description()->rangeOfString("invokes: (block)"_ns).location, NSNotFound);
    center->unregisterHotKey(hotKey);
    EXPECT_FALSE(server().releaseHotKey(5, 0x300));
    EXPECT_FALSE(center->hasRegisteredHotKeyWithKeyCode(5, kCommandShift));
}
