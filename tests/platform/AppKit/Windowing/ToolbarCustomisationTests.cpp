#include "AppKit/NSToolbar.h"
#include "AppKit/NSToolbarView.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSUserDefaults.h"
#include "TemporaryFolder.h"
#include "WindowingFixture.h"

// Image items "a" to "d" ("d" allowed but not shown at first), "a" and "b"
// selectable; records the items added and removed.
class CustomisedItems : public NSObject, public NSToolbarDelegate {
    NS_OBJECT(CustomisedItems, NSObject)
protected:
    CustomisedItems() = default;

public:
    std::vector<std::string> added, removed, clicked;
    void clickedItem(const Id& sender)
    {
        clicked.push_back(static_ref_cast<NSToolbarItem>(sender)->itemIdentifier()->UTF8String());
    }
    Ref<NSToolbarItem> toolbarItemForItemIdentifier(NSToolbar*, const Ref<NSString>& identifier, bool) override
    {
        auto item = NSObject::alloc<NSToolbarItem>()->initWithItemIdentifier(identifier);
        item->setLabel(identifier);
        item->setImage(NSImage::initWithSize(NSMakeSize(32, 32)));
        item->setTarget(this);
        item->setAction("clickedItem:");
        return item;
    }
    Ref<NSArray> toolbarDefaultItemIdentifiers(NSToolbar*) override
    {
        return NSArray::arrayWithObjects({"a"_ns, "b"_ns, NSToolbarSeparatorItemIdentifier, "c"_ns});
    }
    Ref<NSArray> toolbarAllowedItemIdentifiers(NSToolbar*) override
    {
        return NSArray::arrayWithObjects({"a"_ns, "b"_ns, "c"_ns, "d"_ns, NSToolbarSeparatorItemIdentifier});
    }
    Ref<NSArray> toolbarSelectableItemIdentifiers(NSToolbar*) override
    {
        return NSArray::arrayWithObjects({"a"_ns, "b"_ns});
    }
    void toolbarWillAddItem(const Ref<NSNotification>& note) override { added.push_back(identifierIn(note)); }
    void toolbarDidRemoveItem(const Ref<NSNotification>& note) override { removed.push_back(identifierIn(note)); }
    static void describeClass(NSClassMembers<CustomisedItems>& m)
    {
        m.action("clickedItem:", &CustomisedItems::clickedItem);
    }

private:
    static std::string identifierIn(const Ref<NSNotification>& note)
    {
        auto item = static_ref_cast<NSToolbarItem>(note->userInfo()->objectForKey("item"_ns));
        return item->itemIdentifier()->UTF8String();
    }
};
NS_CLASS_DEFINE(CustomisedItems)

class ToolbarCustomisationTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        setenv("XDG_CONFIG_HOME", m_config.path().c_str(), 1);
        NSUserDefaults::resetStandardUserDefaults();
        window = makeWindow(NSMakeRect(100, 100, 400, 200), NSColor::whiteColor());
    }
    void TearDown() override
    {
        WindowingTest::TearDown();
        NSUserDefaults::resetStandardUserDefaults();
    }
    Ref<NSToolbar> attach(bool customisable, bool autosaves = false)
    {
        auto toolbar = NSObject::alloc<NSToolbar>()->initWithIdentifier("main"_ns);
        toolbar->setDelegate(items);
        toolbar->setAllowsUserCustomization(customisable);
        toolbar->setCustomizesOnClickAndDrag(customisable);
        toolbar->setFirstMovableItemIndex(1);
        toolbar->setAutosavesConfiguration(autosaves);
        window->setToolbar(toolbar);
        pump();
        return toolbar;
    }
    static std::vector<std::string> identifiers(const Ref<NSToolbar>& toolbar)
    {
        std::vector<std::string> out;
        for (auto& item : toolbar->items()->snapshot())
            out.push_back(static_ref_cast<NSToolbarItem>(item)->itemIdentifier()->UTF8String());
        return out;
    }
    // A point of an item's slot, on the screen.
    NSPoint slotPoint(const Ref<NSToolbar>& toolbar, NSInteger index, CGFloat dx = 0)
    {
        auto item = static_ref_cast<NSToolbarItem>(toolbar->items()->objectAtIndex(NSUInteger(index)));
        auto strip = static_ref_cast<NSToolbarView>(toolbar->stripView());
        const NSRect slot = strip->rectOfItem(item);
        return window->convertBaseToScreen(strip->convertPointToView(NSMakePoint(NSMidX(slot) + dx, 20), nullptr));
    }
    void drag(NSPoint from, NSPoint to)
    {
        server().injectMouse(NSEventTypeLeftMouseDown, from);
        server().injectMouse(NSEventTypeLeftMouseDragged, NSMakePoint((from.x + to.x) / 2, (from.y + to.y) / 2));
        server().injectMouse(NSEventTypeLeftMouseDragged, to);
        server().injectMouse(NSEventTypeLeftMouseUp, to);
        pump();
    }

    TemporaryFolder m_config;
    Ref<CustomisedItems> items = NSObject::make<CustomisedItems>();
    Ref<NSWindow> window;
};

TEST_F(ToolbarCustomisationTest, ClicksSelectSelectableItems)
{
    auto toolbar = attach(false);
    EXPECT_EQ(items->added, (std::vector<std::string>{"a", "b", "NSToolbarSeparatorItem", "c"}));
    click(slotPoint(toolbar, 1));
    EXPECT_TRUE(toolbar->selectedItemIdentifier()->isEqualToString("b"_ns));
    click(slotPoint(toolbar, 3));  // "c" is not selectable: the selection stays
    EXPECT_TRUE(toolbar->selectedItemIdentifier()->isEqualToString("b"_ns));
    EXPECT_EQ(items->clicked, (std::vector<std::string>{"b", "c"}));
    // Without customising, a drag is a click that went astray.
    drag(slotPoint(toolbar, 3), slotPoint(toolbar, 1));
    EXPECT_EQ(identifiers(toolbar), (std::vector<std::string>{"a", "b", "NSToolbarSeparatorItem", "c"}));
}

TEST_F(ToolbarCustomisationTest, DraggingMovesAndRemovesMovableItems)
{
    auto toolbar = attach(true);
    drag(slotPoint(toolbar, 3), slotPoint(toolbar, 0, -20));  // to the very front: stops after "a"
    EXPECT_EQ(identifiers(toolbar), (std::vector<std::string>{"a", "c", "b", "NSToolbarSeparatorItem"}));
    EXPECT_TRUE(items->clicked.empty());
    drag(slotPoint(toolbar, 0), slotPoint(toolbar, 2));  // before the first movable index: stays
    EXPECT_EQ(identifiers(toolbar)[0], "a");
    // Dropped off the strip: gone.
    const NSPoint below = NSMakePoint(slotPoint(toolbar, 1).x, 150);
    drag(slotPoint(toolbar, 1), below);
    EXPECT_EQ(identifiers(toolbar), (std::vector<std::string>{"a", "b", "NSToolbarSeparatorItem"}));
    EXPECT_EQ(items->removed, std::vector<std::string>{"c"});
}

TEST_F(ToolbarCustomisationTest, DroppedIdentifiersAddAllowedItemsOnce)
{
    auto fixed = attach(false);
    EXPECT_FALSE(fixed->insertItemForDroppedIdentifier("d"_ns, 1));
    window->setToolbar(nullptr);
    auto toolbar = attach(true);
    EXPECT_FALSE(toolbar->insertItemForDroppedIdentifier("a"_ns, 1));      // present
    EXPECT_FALSE(toolbar->insertItemForDroppedIdentifier("other"_ns, 1));  // not allowed
    items->added.clear();
    EXPECT_TRUE(toolbar->insertItemForDroppedIdentifier("d"_ns, 0));  // no earlier than the first movable
    EXPECT_EQ(identifiers(toolbar), (std::vector<std::string>{"a", "d", "b", "NSToolbarSeparatorItem", "c"}));
    EXPECT_EQ(items->added, std::vector<std::string>{"d"});
    auto strip = static_ref_cast<NSToolbarView>(toolbar->stripView());
    EXPECT_EQ(strip->insertionIndexForPoint(NSMakePoint(1000, 20)), 5);
    EXPECT_EQ(strip->insertionIndexForPoint(NSMakePoint(0, 20)), 0);
}

TEST_F(ToolbarCustomisationTest, TheConfigurationIsSavedAndRestored)
{
    auto toolbar = attach(true, true);
    toolbar->moveItem(3, 1);
    toolbar->setDisplayMode(NSToolbarDisplayModeIconOnly);
    auto saved = dynamic_ref_cast<NSDictionary>(
        NSUserDefaults::standardUserDefaults()->objectForKey("NSToolbar Configuration main"_ns));
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->isEqual(toolbar->configurationDictionary().get()));

    // Another toolbar of that identifier starts from it; identifiers no longer allowed are dropped.
    auto edited = NSMutableDictionary::dictionaryWithDictionary(saved);
    edited->setObject(NSArray::arrayWithObjects({"c"_ns, "gone"_ns, "a"_ns}), "TB Item Identifiers"_ns);
    NSUserDefaults::standardUserDefaults()->setObject(edited, "NSToolbar Configuration main"_ns);
    window->setToolbar(nullptr);
    auto again = attach(true, true);
    EXPECT_EQ(identifiers(again), (std::vector<std::string>{"c", "a"}));
    EXPECT_EQ(again->displayMode(), NSToolbarDisplayModeIconOnly);
}
