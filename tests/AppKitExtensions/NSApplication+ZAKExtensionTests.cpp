// Sheets ended through a block, on the headless window server.
#include <vector>

#include "AppKit/NSApplicationSheets.h"
#include "AppKitExtensions/NSApplication+ZAKExtension.h"
#include "WindowingFixture.h"

namespace {

class BlockSheet : public WindowingTest {
protected:
    static Ref<NSWindow> window(const NSRect& frame)
    {
        return NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSTitledWindowMask, NSBackingStoreBuffered,
                                                                false);
    }
    // A block that records the codes it gets and holds an object, so that
    // whether the block is still alive can be seen.
    NSApplicationExt::SheetDidEndBlock recordingBlock(std::vector<NSInteger>& codes, Weak<NSObject>& held)
    {
        Id object = NSObject::make<NSObject>();
        held = object;
        return [&codes, object](NSInteger code) { codes.push_back(code); };
    }
};

}

TEST_F(BlockSheet, TheBlockGetsTheReturnCodeOnceAndIsThenReleased)
{
    struct Case {
        const char* name;
        std::optional<NSInteger> returnCode;  // none: endSheet: without a code
        NSInteger expected;
    } cases[] = {
        {"stop", std::nullopt, NSModalResponseStop},
        {"zero", 0, 0},
        {"abort", NSModalResponseAbort, NSModalResponseAbort},
        {"one", 1, 1},
        {"any number", -7, -7},
    };
    Ref<NSWindow> parent = window(NSMakeRect(100, 100, 500, 400));
    parent->makeKeyAndOrderFront(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSWindow> sheet = window(NSMakeRect(0, 0, 200, 100));
        std::vector<NSInteger> codes;
        Weak<NSObject> held;
        NSApplicationExt::beginSheet(NSApp, sheet, parent, recordingBlock(codes, held));
        pump();
        EXPECT_EQ(NSApplicationExt::sheetParent(sheet), parent);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_TRUE(codes.empty());
        EXPECT_TRUE(held.get());  // the sheet keeps the block

        if (c.returnCode) NSApplicationExt::endSheet(NSApp, sheet, *c.returnCode);
        else NSApplicationExt::endSheet(NSApp, sheet);
        EXPECT_EQ(codes, std::vector<NSInteger>{c.expected});
        EXPECT_FALSE(held.get());
        EXPECT_FALSE(NSApplicationExt::isSheet(sheet));
        // Ending it again reaches nobody.
        NSApplicationExt::endSheet(NSApp, sheet, 1);
        EXPECT_EQ(codes.size(), 1u);
        sheet->orderOut(nullptr);
    }
}

TEST_F(BlockSheet, ASheetThatCannotBeAttachedNeverCallsItsBlockAndReleasesIt)
{
    Ref<NSWindow> parent = window(NSMakeRect(100, 100, 500, 400));
    parent->makeKeyAndOrderFront(nullptr);
    Ref<NSWindow> first = window(NSMakeRect(0, 0, 200, 100));
    std::vector<NSInteger> firstCodes;
    Weak<NSObject> firstHeld;
    NSApplicationExt::beginSheet(NSApp, first, parent, recordingBlock(firstCodes, firstHeld));

    struct Case {
        const char* name;
        Ref<NSWindow> sheet;
        Ref<NSWindow> docWindow;
    } cases[] = {
        {"the window has a sheet", window(NSMakeRect(0, 0, 200, 100)), parent},
        {"the sheet is attached already", first, parent},
        {"the sheet is attached elsewhere", first, window(NSMakeRect(700, 100, 300, 300))},
        {"no window", window(NSMakeRect(0, 0, 200, 100)), nullptr},
        {"no sheet", nullptr, parent},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<NSInteger> codes;
        Weak<NSObject> held;
        NSApplicationExt::beginSheet(NSApp, c.sheet, c.docWindow, recordingBlock(codes, held));
        EXPECT_FALSE(held.get());
        EXPECT_EQ(NSApplicationExt::attachedSheet(parent), first);
        if (c.sheet) NSApplicationExt::endSheet(NSApp, c.sheet, 3);
        EXPECT_TRUE(codes.empty());
        if (c.sheet == first) {
            // Ending it reached the first block; attach it again for the next case.
            EXPECT_EQ(firstCodes, std::vector<NSInteger>{3});
            firstCodes.clear();
            NSApplicationExt::beginSheet(NSApp, first, parent, recordingBlock(firstCodes, firstHeld));
        }
    }
    NSApplicationExt::endSheet(NSApp, first, 5);
    EXPECT_EQ(firstCodes, std::vector<NSInteger>{5});
    EXPECT_FALSE(firstHeld.get());
    first->orderOut(nullptr);
}
