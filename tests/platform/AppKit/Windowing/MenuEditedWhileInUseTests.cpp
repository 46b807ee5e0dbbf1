// Menus edited by their own validators while they are validated or tracked,
// and tracking loops that end with the application.
#include <functional>

#include "AppKit/MenuWindow.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItemValidation.h"
#include "WindowingFixture.h"

// A target whose validator runs a hook before enabling the item.
class EditingMenuTarget : public NSObject, public NSMenuItemValidation {
    NS_OBJECT(EditingMenuTarget, NSObject)
protected:
    EditingMenuTarget() = default;

public:
    std::vector<std::string> fired;
    std::function<void(const Ref<NSMenuItem>&)> onValidate;
    void act(const Id& sender)
    {
        auto item = dynamic_ref_cast<NSMenuItem>(sender);
        fired.push_back(item ? item->title()->UTF8String() : "?");
    }
    std::optional<bool> validateMenuItem(const Ref<NSMenuItem>& item) override
    {
        if (onValidate) onValidate(item);
        return true;
    }
    static void describeClass(NSClassMembers<EditingMenuTarget>& m) { m.action("act:", &EditingMenuTarget::act); }
};
NS_CLASS_DEFINE(EditingMenuTarget)

class MenuEditedWhileInUseTest : public WindowingTest {
protected:
    Ref<EditingMenuTarget> target = NSObject::make<EditingMenuTarget>();
    Ref<NSWindow> window;

    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 300, 200), NSColor::whiteColor());
        window->makeKeyAndOrderFront(nullptr);
    }
    Ref<NSMenuItem> item(const Ref<NSMenu>& menu, const char* title)
    {
        auto item = menu->addItemWithTitle(NSString::stringWithUTF8String(title), "act:", ""_ns);
        item->setTarget(target);
        return item;
    }
    // Keys pressed once the tracking loop runs.
    static void keysWhileTracking(std::vector<uint16_t> codes)
    {
        NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, [codes] {
            for (uint16_t code : codes) {
                server().injectKey(code, 0, true);
                server().injectKey(code, 0, false);
            }
        });
    }
};

TEST_F(MenuEditedWhileInUseTest, ValidatorThatAddsAndRemovesItemsDuringUpdate)
{
    auto menu = NSMenu::menuWithTitle("Edited"_ns);
    auto first = item(menu, "First");
    item(menu, "Second");
    item(menu, "Third");
    // Validating the first item drops the last one and adds enough items to
    // move the menu's storage.
    target->onValidate = [&](const Ref<NSMenuItem>& validated) {
        if (validated != first || menu->numberOfItems() != 3) return;
        menu->removeItemAtIndex(2);
        for (int i = 0; i < 32; ++i) item(menu, "Added")->setEnabled(false);
    };
    menu->update();
    EXPECT_EQ(menu->numberOfItems(), 34);
    EXPECT_TRUE(menu->itemAtIndex(1)->isEnabled());
    // Items added meanwhile are validated the next time.
    EXPECT_FALSE(menu->itemAtIndex(2)->isEnabled());
    menu->update();
    EXPECT_TRUE(menu->itemAtIndex(2)->isEnabled());
}

// Opening the submenu validates it, and its validator removes the
// highlighted item and those below it from the outer menu.
TEST_F(MenuEditedWhileInUseTest, HighlightOfARemovedItemChoosesNothingAndArrowsRecover)
{
    auto menu = NSMenu::menuWithTitle("Pop"_ns);
    item(menu, "Keep");
    auto gone = item(menu, "Gone");
    auto more = NSMenu::menuWithTitle("More"_ns);
    auto inner = item(more, "Inner");
    auto holder = menu->addItemWithTitle("More"_ns, {}, ""_ns);
    holder->setSubmenu(more);
    target->onValidate = [&](const Ref<NSMenuItem>& validated) {
        if (validated != inner || menu->numberOfItems() == 1) return;
        menu->removeItem(gone);
        menu->removeItem(holder);
    };

    // Down to "More", Right opens it (and the outer menu loses "More"),
    // Left closes it: the outer menu's highlight is past its end. Return
    // chooses nothing; Down lights "Keep" and Return chooses it.
    keysWhileTracking({kVK_DownArrow, kVK_DownArrow, kVK_DownArrow, kVK_RightArrow, kVK_LeftArrow, kVK_Return,
                       kVK_DownArrow, kVK_Return});
    EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(400, 600), nullptr));
    EXPECT_EQ(target->fired, std::vector<std::string>{"Keep"});
    EXPECT_EQ(menu->numberOfItems(), 1);
}

TEST_F(MenuEditedWhileInUseTest, TerminatingTheApplicationEndsTracking)
{
    auto menu = NSMenu::menuWithTitle("Pop"_ns);
    item(menu, "Only");
    NSApplication::setExitsOnTerminate(false);
    NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, [] { NSApp->terminate(nullptr); });
    EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(400, 600), nullptr));
    NSApplication::setExitsOnTerminate(true);
    EXPECT_TRUE(target->fired.empty());
    for (auto& info : server().allWindows()) EXPECT_FALSE(info.visible && info.role == "menu");
}
