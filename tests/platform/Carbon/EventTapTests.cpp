#include <vector>

#include "Carbon/CGEventTap.h"
#include "CarbonFixture.h"

namespace {

struct Seen {
    std::vector<CGEventType> types;
    std::vector<CGPoint> locations;
};

CGEventRef record(CGEventTapProxy, CGEventType type, CGEventRef event, void* userInfo)
{
    auto* seen = static_cast<Seen*>(userInfo);
    seen->types.push_back(type);
    seen->locations.push_back(CGEventGetLocation(event));
    return event;
}

constexpr CGEventMask kMovesAndLeftDrags =
    CGEventMaskBit(kCGEventMouseMoved) | CGEventMaskBit(kCGEventLeftMouseDragged);

// A listen-only tap whose source is in the main run loop in the given modes;
// invalidated at the end of the test so that no later test hears it.
class Tap {
public:
    Tap(Seen& seen, CGEventMask mask, std::initializer_list<const char*> modes)
    {
        port = CGEventTapCreate(kCGAnnotatedSessionEventTap, kCGHeadInsertEventTap, kCGEventTapOptionListenOnly, mask,
                                record, &seen);
        source = CFMachPortCreateRunLoopSource(kCFAllocatorDefault, port, 0);
        for (const char* mode : modes) CFRunLoopAddSource(CFRunLoopGetMain(), source, mode);
        CGEventTapEnable(port, true);
    }
    ~Tap() { CFMachPortInvalidate(port); }
    CFMachPortRef port;
    CFRunLoopSourceRef source;
};

}

TEST_F(CarbonTest, TapHearsMovesAndLeftDragsButNotOtherDrags)
{
    Seen seen, movesOnly;
    Tap tap(seen, kMovesAndLeftDrags, {kCFRunLoopCommonModes});
    Tap movesTap(movesOnly, CGEventMaskBit(kCGEventMouseMoved), {kCFRunLoopCommonModes});

    server().injectPointer({100, 200});
    server().injectMouse(NSEventTypeLeftMouseDown, {100, 200});
    server().injectPointer({110, 230});
    server().injectMouse(NSEventTypeLeftMouseUp, {110, 230});
    server().injectMouse(NSEventTypeRightMouseDown, {110, 230});
    server().injectPointer({300, 300});
    server().injectMouse(NSEventTypeRightMouseUp, {300, 300});
    server().injectMouse(NSEventTypeOtherMouseDown, {300, 300});
    server().injectPointer({400, 400});
    server().injectMouse(NSEventTypeOtherMouseUp, {400, 400});
    EXPECT_TRUE(seen.types.empty()) << "delivered on the run loop, not inside the injection";
    runMain();

    ASSERT_EQ(seen.types, (std::vector<CGEventType>{kCGEventMouseMoved, kCGEventLeftMouseDragged}));
    // Quartz locations: y down from the top of the 1080-point main screen.
    EXPECT_EQ(seen.locations[0], CGPointMake(100, 880));
    EXPECT_EQ(seen.locations[1], CGPointMake(110, 850));
    EXPECT_EQ(movesOnly.types, (std::vector<CGEventType>{kCGEventMouseMoved}));
}

TEST_F(CarbonTest, TapInCommonModesFiresInsideNestedTrackingAndModalLoops)
{
    Seen common, defaultOnly;
    Tap commonTap(common, kMovesAndLeftDrags, {kCFRunLoopCommonModes});
    Tap defaultTap(defaultOnly, kMovesAndLeftDrags, {kCFRunLoopDefaultMode});

    size_t commonDuringTracking = 0, defaultDuringTracking = 0;
    NSRunLoop::mainRunLoop()->performBlock({NSDefaultRunLoopMode}, [&] {
        // A tracking loop nested in a default-mode pass, as a menu or a
        // window drag runs one.
        server().injectPointer({500, 500});
        runMain(NSEventTrackingRunLoopMode);
        commonDuringTracking = common.types.size();
        defaultDuringTracking = defaultOnly.types.size();
    });
    runMain();
    EXPECT_EQ(commonDuringTracking, 1u);
    EXPECT_EQ(defaultDuringTracking, 0u);
    EXPECT_EQ(defaultOnly.types.size(), 1u) << "the default-mode source fires once the outer pass goes on";

    server().injectPointer({600, 600});
    runMain(NSModalPanelRunLoopMode);
    EXPECT_EQ(common.types.size(), 2u);
    EXPECT_EQ(defaultOnly.types.size(), 1u);
    runMain();
    EXPECT_EQ(defaultOnly.types.size(), 2u);
}

TEST_F(CarbonTest, DisabledOrInvalidatedTapHearsNothingAndActiveTapsAreRefused)
{
    Seen seen;
    Tap tap(seen, kMovesAndLeftDrags, {kCFRunLoopCommonModes});
    CGEventTapEnable(tap.port, false);
    EXPECT_FALSE(CGEventTapIsEnabled(tap.port));
    server().injectPointer({10, 10});
    runMain();
    EXPECT_TRUE(seen.types.empty());

    CGEventTapEnable(tap.port, true);
    server().injectPointer({20, 20});
    CFMachPortInvalidate(tap.port);  // before the loop got to the move
    runMain();
    EXPECT_TRUE(seen.types.empty());
    EXPECT_FALSE(CFRunLoopContainsSource(CFRunLoopGetMain(), tap.source, kCFRunLoopCommonModes));
    EXPECT_FALSE(CFRunLoopSourceIsValid(tap.source));

    EXPECT_EQ(CGEventTapCreate(kCGSessionEventTap, kCGHeadInsertEventTap, kCGEventTapOptionDefault, kMovesAndLeftDrags,
                               record, &seen),
              nullptr);
}
