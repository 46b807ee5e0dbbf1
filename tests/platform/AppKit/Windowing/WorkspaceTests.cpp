// The workspace hands URLs and files to the window server; beeps are
// counted; a sheet's end code reaches its delegate's did-end method.
#include <filesystem>
#include <fstream>

#include "AppKit/NSApplicationSheets.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSWorkspace.h"
#include "WindowingFixture.h"

using WorkspaceTest = WindowingTest;

TEST_F(WorkspaceTest, OpensURLsAndFilesThroughTheServerAndCountsBeeps)
{
    auto ws = NSWorkspace::sharedWorkspace();
    EXPECT_EQ(ws, NSWorkspace::sharedWorkspace());
    size_t before = server().openedURLs().size();
    EXPECT_TRUE(ws->openURL(NSURL::URLWithString("https://example.org/help?x=1"_ns)));
    EXPECT_FALSE(ws->openURL(nullptr));

    auto file = std::filesystem::temp_directory_path() / ("ws-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(file) << "x";
    auto path = NSString::stringWithUTF8String(file.string());
    EXPECT_TRUE(ws->openFile(path));
    EXPECT_TRUE(ws->selectFile(path, ""_ns));
    EXPECT_FALSE(ws->openFile("/no/such/file.txt"_ns));
    std::filesystem::remove(file);

    std::vector<std::string> opened(server().openedURLs().begin() + long(before), server().openedURLs().end());
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], "https://example.org/help?x=1");
    EXPECT_EQ(opened[1], "file://" + file.string());
    EXPECT_EQ(opened[2], "file://" + file.parent_path().string() + "/");

    auto icon = ws->iconForFile(path);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size().width, 32);

    int beeps = server().beepCount();
    NSBeep();
    EXPECT_EQ(server().beepCount(), beeps + 1);
}

class SheetTestDelegate : public NSObject {
    NS_OBJECT(SheetTestDelegate, NSObject)
protected:
    SheetTestDelegate() = default;

public:
    std::vector<std::pair<NSInteger, void*>> ended;
    std::vector<NSInteger> plainEnded;
    void sheetDidEnd(const Ref<NSWindow>& sheet, NSInteger code, void* info)
    {
        ended.push_back({code, info});
        sheet->orderOut(nullptr);
    }
    // Reached through the action table: the sheet and the code as a number.
    void didEndPlain(const Id&, const Id& code)
    {
        plainEnded.push_back(dynamic_ref_cast<NSNumber>(code)->integerValue());
    }
    static void initialize()
    {
        NSApplicationExt::registerDidEndSelector<SheetTestDelegate>("sheetDidEnd:returnCode:contextInfo:",
                                                                    &SheetTestDelegate::sheetDidEnd);
    }
    static void describeClass(NSClassMembers<SheetTestDelegate>& m)
    {
        m.action("didEndPlain:returnCode:", &SheetTestDelegate::didEndPlain);
    }
};
NS_CLASS_DEFINE(SheetTestDelegate)

TEST_F(WorkspaceTest, SheetAttachesToItsParentAndDeliversTheEndCode)
{
    auto parent = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(200, 300, 400, 300), NSTitledWindowMask,
                                                                   NSBackingStoreBuffered, false);
    parent->makeKeyAndOrderFront(nullptr);
    auto sheet = NSObject::alloc<NSPanel>()->initWithContentRect(NSMakeRect(0, 0, 200, 100), NSTitledWindowMask,
                                                                 NSBackingStoreBuffered, false);
    auto delegate = NSObject::make<SheetTestDelegate>();
    int context = 0;

    NSApplicationExt::beginSheet(NSApp, sheet, parent, delegate, "sheetDidEnd:returnCode:contextInfo:", &context);
    pump();
    EXPECT_TRUE(NSApplicationExt::isSheet(sheet));
    EXPECT_EQ(NSApplicationExt::attachedSheet(parent), sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(sheet->isKeyWindow());
    NSRect content = parent->contentRectForFrameRect(parent->frame());
    EXPECT_EQ(NSMaxY(sheet->frame()), NSMaxY(content));
    EXPECT_EQ(NSMidX(sheet->frame()), NSMidX(content));
    auto order = server().windowOrder();
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], sheet->windowNumber());

    // A second sheet on the same window is refused.
    int beeps = server().beepCount();
    auto other = NSObject::alloc<NSPanel>()->initWithContentRect(NSMakeRect(0, 0, 50, 50), NSTitledWindowMask,
                                                                 NSBackingStoreBuffered, false);
    NSApplicationExt::beginSheet(NSApp, other, parent, delegate, "sheetDidEnd:returnCode:contextInfo:", nullptr);
    EXPECT_EQ(server().beepCount(), beeps + 1);
    EXPECT_FALSE(NSApplicationExt::isSheet(other));

    NSApplicationExt::endSheet(NSApp, sheet, 42);
    pump();
    ASSERT_EQ(delegate->ended.size(), 1u);
    EXPECT_EQ(delegate->ended[0].first, 42);
    EXPECT_EQ(delegate->ended[0].second, &context);
    EXPECT_FALSE(NSApplicationExt::isSheet(sheet));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(parent->isKeyWindow());

    NSApplicationExt::beginSheet(NSApp, other, parent, delegate, "didEndPlain:returnCode:", nullptr);
    NSApplicationExt::endSheet(NSApp, other);
    EXPECT_EQ(delegate->plainEnded, std::vector<NSInteger>{NSModalResponseStop});
    NSApplicationExt::endSheet(NSApp, other, 5);  // not a sheet any more: nothing
    EXPECT_EQ(delegate->plainEnded.size(), 1u);
}
