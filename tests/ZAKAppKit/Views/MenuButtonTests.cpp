#include <gtest/gtest.h>

#include "AppKit/NSTrackingArea.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonCell.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKActionContextMenu.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKContextMenuToolbarItem.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKDelayedPopUpButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKPopUpButtonCell.h"
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

namespace {

// Remembers where it was asked to pop its menu instead of popping it.
class PositionRecordingMenu : public ZAKActionContextMenu {
    NS_OBJECT(PositionRecordingMenu, ZAKActionContextMenu)
protected:
    PositionRecordingMenu() = default;

public:
    std::optional<NSPoint> position;
    void showContextMenuForViewAtWindowPosition(const Ref<NSView>&, NSPoint at) override { position = at; }
};
NS_CLASS_DEFINE(PositionRecordingMenu)

}

TEST(ContextMenus, TheMenuIsHandedOutAsACopyEachTime)
{
    auto menu = NSObject::make<ZAKActionContextMenu>();
    menu->addMenuItem(NSObject::alloc<NSMenuItem>()->initWithTitle("Rename"_ns, {}, ""_ns));
    menu->addSeparatorItem();
    auto first = menu->menu();
    auto second = menu->menu();
    EXPECT_NE(first, second);
    first->addItemWithTitle("Extra"_ns, {}, ""_ns);
    EXPECT_EQ(menu->menu()->numberOfItems(), 2);
    EXPECT_TRUE(menu->menu()->itemAtIndex(1)->isSeparatorItem());
    menu->removeAllItems();
    EXPECT_EQ(menu->menu()->numberOfItems(), 0);
    // A menu that is set is kept itself.
    auto own = NSMenu::menuWithTitle("own"_ns);
    menu->setMenu(own);
    own->addItemWithTitle("Later"_ns, {}, ""_ns);
    EXPECT_EQ(menu->menu()->numberOfItems(), 1);
}

TEST_F(DelayedPopUpTest, TheContextMenuPopsAtTheCentreOfTheViewInWindowCoordinates)
{
    auto holder = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(30, 40, 100, 50));
    window->contentView()->addSubview(holder);
    auto view = NSObject::alloc<NSView>()->initWithFrame(NSMakeRect(10, 10, 20, 20));
    holder->addSubview(view);
    auto menu = NSObject::make<PositionRecordingMenu>();
    menu->showContextMenuForView(view);
    ASSERT_TRUE(menu->position);
    EXPECT_EQ(*menu->position, holder->convertPointToView(NSMakePoint(20, 20), nullptr));
    EXPECT_EQ(*menu->position, NSMakePoint(50, 60));
}

TEST_F(DelayedPopUpTest, TheContextMenuOpensAtTheViewAndChoosesAnItem)
{
    auto menu = NSObject::make<ZAKActionContextMenu>();
    auto item = NSObject::alloc<NSMenuItem>()->initWithTitle("Act"_ns, "act:", ""_ns);
    item->setTarget(target);
    menu->addMenuItem(item);
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
    menu->showContextMenuForView(button);
    ASSERT_TRUE(seen);
    EXPECT_EQ(target->fired, 1);
    const NSPoint at = window->convertBaseToScreen(NSMakePoint(26, 26));
    EXPECT_NEAR(seen->frame.origin.x, at.x, 8);
}

TEST_F(DelayedPopUpTest, AContextMenuButtonActsOnMouseDownWithoutTracking)
{
    auto menuButton = NSObject::alloc<ZAKContextMenuButton>();
    menuButton->initWithFrame(NSMakeRect(60, 10, 20, 20));
    menuButton->setTarget(target);
    menuButton->setAction("act:");
    window->contentView()->addSubview(menuButton);
    auto cell = dynamic_ref_cast<ZAKContextMenuButtonCell>(menuButton->cell());
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->buttonType(), NSMomentaryChangeButton);
    EXPECT_EQ(cell->bezelStyle(), NSSmallSquareBezelStyle);
    EXPECT_EQ(cell->imagePosition(), NSImageOnly);
    EXPECT_EQ(cell->highlightsBy(), NSUInteger(NSPushInCellMask));
    EXPECT_TRUE(cell->showsFirstResponder());
    EXPECT_FALSE(cell->refusesFirstResponder());
    EXPECT_EQ(NSObject::make<ZAKContextMenuButtonCell>()->title()->length(), 0u);

    // No release is queued: the action goes out on the press itself.
    const auto press = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, NSMakePoint(70, 20), 0, 0,
                                                   window->windowNumber(), nullptr, 0, 1, 1);
    EXPECT_TRUE(cell->trackMouse(press, menuButton->bounds(), menuButton, true));
    EXPECT_EQ(target->fired, 1);
    EXPECT_FALSE(cell->isHighlighted());
    menuButton->mouseDown(press);
    EXPECT_EQ(target->fired, 2);

    auto plain = NSObject::alloc<NSButton>();
    plain->initWithFrame(NSMakeRect(90, 10, 20, 20));
    plain->setCell(NSObject::alloc<ZAKNewContextMenuButtonCell>()->initTextCell("New"_ns));
    plain->setTarget(target);
    plain->setAction("act:");
    window->contentView()->addSubview(plain);
    EXPECT_TRUE(plain->cell()->trackMouse(press, plain->bounds(), plain, true));
    EXPECT_EQ(target->fired, 3);
}

TEST(ContextMenus, TheButtonTypesChooseImageAndBorder)
{
    auto cell = NSObject::make<ZAKContextMenuButtonCell>();
    const auto initial = cell->image();
    ASSERT_TRUE(initial);
    struct Case {
        NSInteger type;
        bool bordered;
        NSSize imageSize;
    } cases[] = {{0, true, {16, 16}}, {1, true, {20, 16}}, {2, false, {15, 15}}};
    for (const auto& c : cases) {
        cell->setType(c.type);
        EXPECT_EQ(cell->isBordered(), c.bordered) << c.type;
        EXPECT_FALSE(cell->isBezeled()) << c.type;
        ASSERT_TRUE(cell->image()) << c.type;
        EXPECT_EQ(cell->image()->size(), c.imageSize) << c.type;
    }
    // Read afresh each time: the same type gives a new image.
    cell->setType(1);
    auto again = cell->image();
    cell->setType(1);
    EXPECT_NE(cell->image(), again);
    cell->setType(7);
    EXPECT_EQ(cell->image()->size(), NSMakeSize(20, 16));
}

TEST(ContextMenus, ThePopUpCellWidensAndShiftsItsTitle)
{
    const NSRect bounds = NSMakeRect(0, 0, 120, 22);
    auto plainCell = NSObject::alloc<NSPopUpButtonCell>();
    plainCell->initTextCell("Title"_ns, false);
    auto cell = NSObject::alloc<ZAKPopUpButtonCell>();
    cell->initTextCell("Title"_ns, false);
    struct Case {
        bool bordered;
        bool image;
        NSCellImagePosition position;
        NSTextAlignment alignment;
        CGFloat dx, dw;
    } cases[] = {
        {false, false, NSImageLeft, NSLeftTextAlignment, -2, 10},
        {true, false, NSImageLeft, NSLeftTextAlignment, -2, 6},
        {true, true, NSImageRight, NSRightTextAlignment, -5, 6},
        {true, true, NSImageRight, NSLeftTextAlignment, -2, 6},
        {true, true, NSImageLeft, NSLeftTextAlignment, 0, 6},
        {true, true, NSNoImage, NSLeftTextAlignment, 0, 6},
        {true, true, NSImageOnly, NSLeftTextAlignment, -2, 6},
        {true, true, NSImageAbove, NSLeftTextAlignment, -2, 6},
    };
    for (const auto& c : cases) {
        for (auto& each : {Ref<NSPopUpButtonCell>(plainCell), Ref<NSPopUpButtonCell>(cell)}) {
            each->setBordered(c.bordered);
            each->setImage(c.image ? squareImage(8) : nullptr);
            each->setImagePosition(c.position);
            each->setAlignment(c.alignment);
        }
        const NSRect base = plainCell->titleRectForBounds(bounds);
        const NSRect mine = cell->titleRectForBounds(bounds);
        EXPECT_EQ(mine.origin.x, base.origin.x + c.dx) << c.bordered << c.image << c.position;
        EXPECT_EQ(mine.size.width, base.size.width + c.dw) << c.bordered << c.image << c.position;
        EXPECT_EQ(mine.origin.y, base.origin.y);
    }
}
