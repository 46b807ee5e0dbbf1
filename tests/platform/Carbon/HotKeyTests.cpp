#include <vector>

#include "AppKit/NSEventCarbonExt.h"
#include "Carbon/CarbonEvents.h"
#include "CarbonFixture.h"

namespace {

constexpr OSType kSignature = OSTypeFromChars("htk1");

struct Fired {
    std::vector<EventHotKeyID> ids;
    std::vector<UInt32> kinds;
    OSStatus answer = noErr;
    Ref<NSEvent> event;
};

OSStatus hotKeyReleased(EventHandlerCallRef, EventRef event, void* userData)
{
    auto* fired = static_cast<Fired*>(userData);
    EventHotKeyID id{};
    if (GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr, sizeof id, nullptr, &id) == noErr)
        fired->ids.push_back(id);
    fired->kinds.push_back(GetEventKind(event));
    fired->event = NSEventExt::eventWithEventRef(event);
    return fired->answer;
}

class Handler {
public:
    explicit Handler(Fired& fired)
    {
        const EventTypeSpec type{kEventClassKeyboard, kEventHotKeyReleased};
        EXPECT_EQ(InstallEventHandler(GetApplicationEventTarget(), NewEventHandlerUPP(hotKeyReleased), 1, &type, &fired,
                                      &ref),
                  noErr);
    }
    ~Handler() { RemoveEventHandler(ref); }
    EventHandlerRef ref = nullptr;
};

}

TEST_F(CarbonTest, HotKeyHeldTwiceOrElsewhereIsRefused)
{
    EventHotKeyRef first = nullptr, second = nullptr, held = nullptr;
    // Command-Shift-G.
    ASSERT_EQ(RegisterEventHotKey(5, cmdKey | shiftKey, {kSignature, 1}, GetEventDispatcherTarget(), 0, &first), noErr);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(RegisterEventHotKey(5, cmdKey | shiftKey, {kSignature, 2}, GetEventDispatcherTarget(), 0, &second),
              eventHotKeyExistsErr);
    EXPECT_EQ(second, nullptr);

    server().holdHotKeyElsewhere(3, controlKey | optionKey);
    EXPECT_EQ(RegisterEventHotKey(3, controlKey | optionKey, {kSignature, 3}, GetEventDispatcherTarget(), 0, &held),
              eventHotKeyExistsErr);

    EXPECT_EQ(UnregisterEventHotKey(first), noErr);
    EXPECT_EQ(UnregisterEventHotKey(first), eventHotKeyInvalidErr);
    ASSERT_EQ(RegisterEventHotKey(5, cmdKey | shiftKey, {kSignature, 4}, GetEventDispatcherTarget(), 0, &second),
              noErr);
    EXPECT_EQ(UnregisterEventHotKey(second), noErr);
}

TEST_F(CarbonTest, ReleasingAHotKeyCallsTheApplicationHandlerWithItsID)
{
    Fired earlier, later;
    Handler earlierHandler(earlier);
    Handler laterHandler(later);
    EventHotKeyRef ref = nullptr;
    ASSERT_EQ(RegisterEventHotKey(37, cmdKey | optionKey, {kSignature, 7}, GetEventDispatcherTarget(), 0, &ref), noErr);

    server().injectPointer({300, 400});
    Clock::advance(2);
    EXPECT_TRUE(server().releaseHotKey(37, cmdKey | optionKey));
    // The handler installed last consumes the event (it answers noErr).
    ASSERT_EQ(later.ids.size(), 1u);
    EXPECT_EQ(later.ids[0].signature, kSignature);
    EXPECT_EQ(later.ids[0].id, 7u);
    EXPECT_EQ(later.kinds[0], UInt32(kEventHotKeyReleased));
    EXPECT_TRUE(earlier.ids.empty());
    ASSERT_TRUE(later.event);
    EXPECT_EQ(later.event->locationInWindow(), NSMakePoint(300, 400));
    EXPECT_EQ(later.event->timestamp(), Clock::systemUptime());

    // A handler that does not handle it passes it on.
    later.answer = eventNotHandledErr;
    server().releaseHotKey(37, cmdKey | optionKey);
    EXPECT_EQ(later.ids.size(), 2u);
    EXPECT_EQ(earlier.ids.size(), 1u);

    EXPECT_EQ(UnregisterEventHotKey(ref), noErr);
    EXPECT_FALSE(server().releaseHotKey(37, cmdKey | optionKey));
    EXPECT_EQ(later.ids.size(), 2u);
}
