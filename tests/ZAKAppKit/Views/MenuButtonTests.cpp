#include <gtest/gtest.h>

#include "AppKit/NSTrackingArea.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonCell.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuToolbarItem.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKDelayedPopUpButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKUnanchoredButton.h"
#include "ZAKAppKit/ZAKTButton/ZAKTButton.h"

// Counts the actions it is sent; takes "act:".
class MenuButtonTarget : public NSView {
    NS_OBJECT(MenuButtonTarget, NSView)
protected:
    MenuButtonTarget() = default;

public:
    int fired = 0;
    void act(const Id&) { ++fired; }
    bool acceptsFirstResponder() const override { return true; }
    static void describeClass(NSClassMembers<MenuButtonTarget>& m) { m.action("act:", &MenuButtonTarget::act); }
};
NS_CLASS_DEFINE(MenuButtonTarget)

// Makes context-menu items and may answer their validation.
class ItemMaker : public NSObject, public NSToolbarDelegate {
    NS_OBJECT(ItemMaker, NSObject)
protected:
    ItemMaker() = default;

public:
    std::optional<bool> answer;
    Ref<NSToolbarItem> toolbarItemForItemIdentifier(NSToolbar*, const Ref<NSString>& identifier, bool) override
    {
        auto item = NSObject::alloc<ZAKContextMenuToolbarItem>()->initWithItemIdentifier(identifier);
        item->setLabel("Actions"_ns);
        return item;
    }
    Ref<NSArray> toolbarDefaultItemIdentifiers(NSToolbar*) override { return NSArray::arrayWithObject("actions"_ns); }
    Ref<NSArray> toolbarAllowedItemIdentifiers(NSToolbar*) override { return NSArray::arrayWithObject("actions"_ns); }
    std::optional<bool> validateToolbarItem(const Ref<NSToolbarItem>&) override { return answer; }
};
NS_CLASS_DEFINE(ItemMaker)

namespace {

template <class T> Ref<T> roundTrip(const Ref<T>& object)
{
    return dynamic_ref_cast<T>(
        NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(object)));
}

Ref<NSImage> squareImage(CGFloat side)
{
    auto image = NSImage::initWithSize(NSMakeSize(side, side));
    image->lockFocus();
    NSColor::blueColor()->setFill();
    NSRectFill(NSMakeRect(0, 0, side, side));
    image->unlockFocus();
    return image;
}

}

TEST(MenuButtons, BarButtonsKeepTheirHeightsAndReadTheLastBar)
{
    auto popUp = NSObject::alloc<ZAKAnchoredPopUpButton>();
    popUp->initWithFrame(NSMakeRect(0, 0, 80, 30));
    auto button = NSObject::alloc<ZAKUnanchoredButton>();
    button->initWithFrame(NSMakeRect(0, 0, 80, 30));
    EXPECT_TRUE(dynamic_ref_cast<ZAKUnanchoredButtonCell>(button->cell()));

    auto bar = NSObject::alloc<ZAKAnchoredButtonBar>();
    bar->initWithFrame(NSMakeRect(0, 0, 200, 40));
    struct Case {
        bool barAtBottom;
        CGFloat barHeight;
        NSPoint inset;
    } cases[] = {{true, 23, {1, 1}}, {false, 24, {0, 0}}};
    for (const auto& c : cases) {
        bar->setIsAtBottom(c.barAtBottom);
        EXPECT_EQ(bar->frame().size.height, c.barHeight);
        EXPECT_EQ(ZAKAnchoredButtonBar::wasBorderedBar(), !c.barAtBottom);
        auto decodedPopUp = roundTrip(popUp);
        auto decodedButton = roundTrip(button);
        ASSERT_TRUE(decodedPopUp && decodedButton);
        EXPECT_EQ(decodedPopUp->frame().size.height, 24);
        EXPECT_EQ(decodedButton->frame().size.height, 22);
        EXPECT_EQ(decodedPopUp->topAndLeftInset(), c.inset) << c.barAtBottom;
        EXPECT_EQ(decodedButton->topAndLeftInset(), c.inset) << c.barAtBottom;
    }
}

TEST(MenuButtons, ANewDelayedPopUpButtonIsUntitledAtRegularSize)
{
    auto button = NSObject::alloc<ZAKDelayedPopUpButton>();
    button->initWithFrame(NSMakeRect(0, 0, 32, 32));
    auto cell = button->popUpCell();
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->title()->length(), 0u);
    EXPECT_EQ(cell->controlSize(), 0u);
}

class DelayedPopUpTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        window = makeWindow(NSMakeRect(100, 100, 200, 100), NSColor::whiteColor());
        button = NSObject::alloc<ZAKDelayedPopUpButton>();
        button->initWithFrame(NSMakeRect(10, 10, 32, 32));
        target = NSObject::alloc<MenuButtonTarget>();
        target->initWithFrame(NSMakeRect(0, 0, 1, 1));
        button->setTarget(target);
        button->setAction("act:");
        window->contentView()->addSubview(button);
        pump();
    }
    // The press at the button's centre, as the button receives it.
    Ref<NSEvent> press() const
    {
        return NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, NSMakePoint(26, 26), 0, 0, window->windowNumber(),
                                           nullptr, 0, 1, 1);
    }
    bool track() { return button->popUpCell()->trackMouse(press(), button->bounds(), button, false); }
    Ref<NSWindow> window;
    Ref<ZAKDelayedPopUpButton> button;
    Ref<MenuButtonTarget> target;
};

TEST_F(DelayedPopUpTest, MenuPositionBelowTheFrame)
{
    auto view = NSView::alloc<NSView>()->initWithFrame(NSMakeRect(0, 0, 100, 100));
    window->contentView()->addSubview(view);
    EXPECT_EQ(button->popUpCell()->menuPositionForFrame(NSMakeRect(10, 20, 32, 32), view), NSMakePoint(11, -17.5));
}

TEST_F(DelayedPopUpTest, WithoutAMenuAClickActsAsAPushButton)
{
    struct Case {
        NSPoint releaseOnScreen;
        bool inside;
    } cases[] = {{{126, 126}, true}, {{250, 180}, false}};
    for (const auto& c : cases) {
        target->fired = 0;
        server().injectMouse(NSEventTypeLeftMouseDragged, c.releaseOnScreen);
        server().injectMouse(NSEventTypeLeftMouseUp, c.releaseOnScreen);
        EXPECT_EQ(track(), c.inside);
        EXPECT_EQ(target->fired, c.inside ? 1 : 0);
        pump();
    }
}

TEST_F(DelayedPopUpTest, WithAMenuAPressHeldOpensTheMenuAtOnce)
{
    auto menu = NSMenu::menuWithTitle(""_ns);
    menu->addItemWithTitle("First"_ns, "act:", ""_ns)->setTarget(target);
    button->popUpCell()->setMenu(menu);

    // A release already queued: a button click, no menu.
    server().injectMouse(NSEventTypeLeftMouseUp, NSMakePoint(126, 126));
    EXPECT_TRUE(track());
    EXPECT_EQ(target->fired, 1);
    pump();

    // Nothing queued: the menu opens below the button; Return chooses its
    // item.
    std::optional<WSWindowInfo> seen;
    std::function<void()> whenOpen = [&] {
        for (auto& info : server().allWindows())
            if (info.visible && info.role == "menu") seen = info;
        if (!seen) return NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, whenOpen);
        for (uint16_t key : {kVK_DownArrow, kVK_Return}) {
            server().injectKey(key, 0, true);
            server().injectKey(key, 0, false);
        }
    };
    NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, whenOpen);
    EXPECT_TRUE(track());
    ASSERT_TRUE(seen);
    EXPECT_EQ(target->fired, 2);
    // The menu's top is at the menu position, converted to the screen.
    const NSPoint at = window->convertBaseToScreen(button->popUpCell()->menuPositionForFrame(button->bounds(), button));
    EXPECT_NEAR(NSMaxY(seen->frame), at.y, 8);
}

TEST_F(DelayedPopUpTest, ContextMenuToolbarItemSizesAndValidation)
{
    auto maker = NSObject::make<ItemMaker>();
    auto toolbar = NSObject::alloc<NSToolbar>()->initWithIdentifier("main"_ns);
    toolbar->setDelegate(maker);
    window->setToolbar(toolbar);
    auto item = dynamic_ref_cast<ZAKContextMenuToolbarItem>(toolbar->items()->objectAtIndex(0));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->view().get(), item->button().get());
    EXPECT_EQ(item->minSize(), NSMakeSize(32, 32));

    auto given = squareImage(128);
    item->setImage(given);
    EXPECT_EQ(given->size(), NSMakeSize(128, 128));  // the caller's image is left alone
    EXPECT_EQ(item->image()->size(), NSMakeSize(32, 32));
    toolbar->setSizeMode(NSToolbarSizeModeSmall);
    item->validate();
    EXPECT_EQ(item->image()->size(), NSMakeSize(24, 24));
    toolbar->setSizeMode(NSToolbarSizeModeRegular);
    item->validate();
    EXPECT_EQ(item->image()->size(), NSMakeSize(32, 32));

    auto menu = NSMenu::menuWithTitle(""_ns);
    item->setMenu(menu);
    EXPECT_EQ(item->menu().get(), menu.get());
    EXPECT_EQ(item->menuFormRepresentation()->submenu().get(), menu.get());
    EXPECT_TRUE(item->menuFormRepresentation()->title()->isEqualToString("Actions"_ns));

    // The delegate's answer decides while there is a delegate.
    item->setAction("act:");
    maker->answer = false;
    item->validate();
    EXPECT_FALSE(item->isEnabled());

    // Without a delegate and target: enabled exactly when the first
    // responder answers the action, brought up to date after each event.
    maker = nullptr;
    window->makeFirstResponder(target);
    window->contentView()->addSubview(target);
    server().injectPointer(NSMakePoint(150, 150));
    pump();
    EXPECT_TRUE(item->isEnabled());
    window->makeFirstResponder(window->contentView());
    server().injectPointer(NSMakePoint(151, 150));
    pump();
    EXPECT_FALSE(item->isEnabled());
}

TEST_F(DelayedPopUpTest, ATrackingAreaOfAThemedRecessedButtonReachesItsCell)
{
    auto button = NSObject::alloc<ZAKTButton>();
    button->initWithFrame(NSMakeRect(100, 20, 60, 24));
    button->setThemeKey("ZAKLightGrayTheme"_ns);
    button->setBezelStyle(NSRecessedBezelStyle);
    window->contentView()->addSubview(button);
    button->addTrackingArea(NSObject::alloc<NSTrackingArea>()->initWithRect(
        button->bounds(), NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways, button, nullptr));
    auto cell = button->themedCell();
    server().injectPointer(NSMakePoint(230, 132));  // over the button
    pump();
    EXPECT_TRUE(cell->isMouseIn());
    EXPECT_TRUE(cell->isHighlighted());
    server().injectPointer(NSMakePoint(280, 180));
    pump();
    EXPECT_FALSE(cell->isMouseIn());
    EXPECT_FALSE(cell->isHighlighted());
}
