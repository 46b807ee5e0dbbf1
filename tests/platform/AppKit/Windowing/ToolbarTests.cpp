#include "AppKit/NSButton.h"
#include "AppKit/NSToolbar.h"
#include "AppKit/NSToolbarView.h"
#include "WindowingFixture.h"

// Takes "refresh:" and counts it.
class ToolbarTarget : public NSObject {
    NS_OBJECT(ToolbarTarget, NSObject)
protected:
    ToolbarTarget() = default;

public:
    int refreshed = 0;
    void refresh(const Id&) { ++refreshed; }
    static void describeClass(NSClassMembers<ToolbarTarget>& m) { m.action("refresh:", &ToolbarTarget::refresh); }
};
NS_CLASS_DEFINE(ToolbarTarget)

// An image item "refresh" and a view item "button".
class ToolbarItems : public NSObject, public NSToolbarDelegate {
    NS_OBJECT(ToolbarItems, NSObject)
protected:
    ToolbarItems() = default;

public:
    Ref<ToolbarTarget> target = NSObject::make<ToolbarTarget>();
    Ref<NSButton> button;
    Ref<NSToolbarItem> toolbarItemForItemIdentifier(NSToolbar*, const Ref<NSString>& identifier, bool) override
    {
        auto item = NSObject::alloc<NSToolbarItem>()->initWithItemIdentifier(identifier);
        item->setLabel(identifier);
        if (identifier->isEqualToString("refresh"_ns)) {
            auto image = NSImage::initWithSize(NSMakeSize(32, 32));
            image->lockFocus();
            NSColor::blueColor()->setFill();
            NSRectFill(NSMakeRect(0, 0, 32, 32));
            image->unlockFocus();
            item->setImage(image);
            item->setTarget(target);
            item->setAction("refresh:");
        } else {
            button = NSObject::alloc<NSButton>();
            button->initWithFrame(NSMakeRect(0, 0, 60, 24));
            button->setTarget(target);
            button->setAction("refresh:");
            item->setView(button);
        }
        return item;
    }
    Ref<NSArray> toolbarDefaultItemIdentifiers(NSToolbar*) override
    {
        return NSArray::arrayWithObjects({"refresh"_ns, NSToolbarSpaceItemIdentifier, "button"_ns});
    }
    Ref<NSArray> toolbarAllowedItemIdentifiers(NSToolbar* t) override { return toolbarDefaultItemIdentifiers(t); }
};
NS_CLASS_DEFINE(ToolbarItems)

class ToolbarTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 300, 200), NSColor::whiteColor());
        toolbar = NSObject::alloc<NSToolbar>()->initWithIdentifier("main"_ns);
        toolbar->setDelegate(items);
        window->setToolbar(toolbar);
        pump();
    }
    // The middle of an item's slot on the screen.
    NSPoint slotCentre(NSInteger index)
    {
        auto item = dynamic_ref_cast<NSToolbarItem>(toolbar->items()->objectAtIndex(NSUInteger(index)));
        auto strip = dynamic_ref_cast<NSToolbarView>(toolbar->stripView());
        const NSRect slot = strip->rectOfItem(item);
        const NSPoint inWindow = strip->convertPointToView(NSMakePoint(NSMidX(slot), 20), nullptr);
        return window->convertBaseToScreen(inWindow);
    }
    void click(NSPoint p)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, p);
        server().injectMouse(NSEventTypeLeftMouseUp, p);
        pump();
    }
    Ref<ToolbarItems> items = NSObject::make<ToolbarItems>();
    Ref<NSWindow> window;
    Ref<NSToolbar> toolbar;
};

TEST_F(ToolbarTest, TheStripSitsAboveTheContentWhichKeepsItsSize)
{
    const CGFloat strip = toolbar->stripHeight();
    EXPECT_GT(strip, 32);
    EXPECT_EQ(window->frame(), NSMakeRect(100, 100 - strip, 300, 200 + strip));
    EXPECT_EQ(window->contentView()->frame().size, NSMakeSize(300, 200));
    EXPECT_EQ(window->frameRectForContentRect(NSMakeRect(0, 0, 300, 200)).size, NSMakeSize(300, 200 + strip));
    EXPECT_EQ(toolbar->stripView()->frame(), NSMakeRect(0, 200, 300, strip));
    EXPECT_EQ(toolbar->items()->count(), 3u);

    // Smaller icons make a lower strip; hiding the toolbar gives the room back.
    toolbar->setSizeMode(NSToolbarSizeModeSmall);
    EXPECT_LT(toolbar->stripHeight(), strip);
    EXPECT_EQ(window->frame().size.height, 200 + toolbar->stripHeight());
    toolbar->setVisible(false);
    EXPECT_EQ(window->frame(), NSMakeRect(100, 100, 300, 200));
    EXPECT_EQ(toolbar->visibleItems()->count(), 0u);
    EXPECT_FALSE(toolbar->stripView()->superview());
    window->setToolbar(nullptr);
    EXPECT_EQ(window->frame(), NSMakeRect(100, 100, 300, 200));
}

TEST_F(ToolbarTest, ClicksReachImageItemsAndItemViews)
{
    click(slotCentre(0));
    EXPECT_EQ(items->target->refreshed, 1);
    click(slotCentre(2));
    EXPECT_EQ(items->target->refreshed, 2);
    // The strip's pixels show the item's image.
    const NSPoint p = slotCentre(0);
    const int row = int(server().screenImage()->height() - p.y);
    EXPECT_EQ(screenPixel(int(p.x), row), 0xff0000ffu);

    // A disabled image item sends nothing.
    auto item = dynamic_ref_cast<NSToolbarItem>(toolbar->items()->objectAtIndex(0));
    item->setTarget(NSObject::make<NSObject>());  // does not take refresh:
    click(slotCentre(0));
    EXPECT_FALSE(item->isEnabled());
    EXPECT_EQ(items->target->refreshed, 2);
}
