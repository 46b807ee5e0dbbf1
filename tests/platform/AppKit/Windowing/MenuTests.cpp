// Menus: actions reach their targets, validation disables items, copies keep
// what the platform keeps, key equivalents come after the key window's views,
// pop-up menus are windows that take clicks and keys.
#include "AppKit/MenuWindow.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItemValidation.h"
#include "AppKit/NSStringDrawing.h"
#include "Foundation/NSException.h"
#include "WindowServer/USKeyboardLayout.h"
#include "WindowingFixture.h"

// An explicit target that refuses "blocked:" through the protocol.
class MenuTestTarget : public NSObject, public NSMenuItemValidation {
    NS_OBJECT(MenuTestTarget, NSObject)
protected:
    MenuTestTarget() = default;

public:
    std::vector<std::string> fired;
    std::vector<NSObject*> senders;
    void open(const Id& sender) { record("open:", sender); }
    void blocked(const Id& sender) { record("blocked:", sender); }
    std::optional<bool> validateMenuItem(const Ref<NSMenuItem>& item) override { return item->action() != "blocked:"; }
    static void describeClass(NSClassMembers<MenuTestTarget>& m)
    {
        m.action("open:", &MenuTestTarget::open);
        m.action("blocked:", &MenuTestTarget::blocked);
    }

private:
    void record(const char* sel, const Id& sender)
    {
        fired.push_back(sel);
        senders.push_back(sender.get());
    }
};
NS_CLASS_DEFINE(MenuTestTarget)

// A first responder that refuses "paste:" through its action table and
// answers some key equivalents itself.
class MenuChainView : public RecordingView {
    NS_OBJECT(MenuChainView, RecordingView)
protected:
    MenuChainView() = default;

public:
    std::vector<std::string> fired;
    bool claimsCommandK = true;
    bool acceptsFirstResponder() const override { return true; }
    void copy_(const Id&) { fired.push_back("copy:"); }
    void paste(const Id&) { fired.push_back("paste:"); }
    bool validate(const Ref<NSMenuItem>& item) { return item->action() != "paste:"; }
    bool performKeyEquivalent(const Ref<NSEvent>& e) override
    {
        auto chars = e->charactersIgnoringModifiers();
        if (claimsCommandK && chars && chars->isEqualToString("k"_ns) && (e->modifierFlags() & NSCommandKeyMask)) {
            fired.push_back("view took cmd-k");
            return true;
        }
        return RecordingView::performKeyEquivalent(e);
    }
    static void describeClass(NSClassMembers<MenuChainView>& m)
    {
        m.action("copy:", &MenuChainView::copy_);
        m.action("paste:", &MenuChainView::paste);
        m.action("validateMenuItem:", &MenuChainView::validate);
    }
};
NS_CLASS_DEFINE(MenuChainView)

class MenuTest : public WindowingTest {
protected:
    Ref<MenuTestTarget> target = NSObject::make<MenuTestTarget>();
    Ref<NSWindow> window;
    Ref<MenuChainView> view;
    Ref<NSMenu> mainMenu;

    void SetUp() override
    {
        WindowingTest::SetUp();
        NSMenu::installKeyEquivalentHandler();  // another test may have replaced the hook
        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 300, 200), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        view = NSObject::alloc<MenuChainView>();
        view->initWithFrame(NSMakeRect(0, 0, 300, 200));
        window->setContentView(view);
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(view);

        mainMenu = NSMenu::menuWithTitle("Main"_ns);
        auto file = NSMenu::menuWithTitle("File"_ns);
        file->addItemWithTitle("Open"_ns, "open:", "o"_ns)->setTarget(target);
        file->addItem(NSMenuItem::separatorItem());
        file->addItemWithTitle("Blocked"_ns, "blocked:", "b"_ns)->setTarget(target);
        auto edit = NSMenu::menuWithTitle("Edit"_ns);
        edit->addItemWithTitle("Copy"_ns, "copy:", "c"_ns);
        edit->addItemWithTitle("Paste"_ns, "paste:", "v"_ns);
        edit->addItemWithTitle("Nobody"_ns, "nobodyAnswers:", "n"_ns);
        edit->addItemWithTitle("Kay"_ns, "copy:", "k"_ns);
        mainMenu->addItemWithTitle("File"_ns, {}, ""_ns)->setSubmenu(file);
        mainMenu->addItemWithTitle("Edit"_ns, {}, ""_ns)->setSubmenu(edit);
        NSMenu::setMainMenu(mainMenu);
    }
    void TearDown() override
    {
        NSMenu::setMainMenu(nullptr);
        WindowingTest::TearDown();
    }
    Ref<NSMenu> sub(const char* title)
    {
        return mainMenu->itemWithTitle(NSString::stringWithUTF8String(title))->submenu();
    }
};

TEST_F(MenuTest, ActionsReachTargetsAndValidationDisablesItems)
{
    struct Case {
        const char* path;
        bool picked;
    } cases[] = {
        {"File/Open", true},                       // explicit target
        {"Edit/Copy", true},                       // through the responder chain
        {"File/Blocked", false},                   // refused by the target's validateMenuItem:
        {"Edit/Paste", false},                     // refused by the responder's validateMenuItem:
        {"Edit/Nobody", false},                    // nobody in the chain answers the action
        {"Edit/Missing", false}, {"File", false},  // a submenu holder is not an action
    };
    for (auto& c : cases)
        EXPECT_EQ(mainMenu->pickItemWithTitlePath(NSString::stringWithUTF8String(c.path)), c.picked) << c.path;

    EXPECT_EQ(target->fired, std::vector<std::string>{"open:"});
    EXPECT_EQ(target->senders.front(), sub("File")->itemWithTitle("Open"_ns).get());
    EXPECT_EQ(view->fired, std::vector<std::string>{"copy:"});

    auto edit = sub("Edit");
    edit->update();
    EXPECT_TRUE(edit->itemWithTitle("Copy"_ns)->isEnabled());
    EXPECT_FALSE(edit->itemWithTitle("Paste"_ns)->isEnabled());
    EXPECT_FALSE(edit->itemWithTitle("Nobody"_ns)->isEnabled());
    EXPECT_TRUE(mainMenu->itemWithTitle("Edit"_ns)->isEnabled());

    // Without autoenabling the items keep the state they were given.
    edit->setAutoenablesItems(false);
    edit->itemWithTitle("Paste"_ns)->setEnabled(true);
    edit->update();
    EXPECT_TRUE(edit->itemWithTitle("Paste"_ns)->isEnabled());

    // A target that has gone away leaves the item disabled.
    target = nullptr;
    EXPECT_FALSE(mainMenu->pickItemWithTitlePath("File/Open"_ns));
}

TEST_F(MenuTest, KeyEquivalentsReachTheMenuAfterTheKeyWindowsViews)
{
    auto press = [&](uint16_t key, NSUInteger flags) {
        server().injectKey(key, flags, true);
        server().injectKey(key, flags, false);
        pump();
    };
    press(kVK_ANSI_C, NSCommandKeyMask);                   // the view declines: the menu sends copy:
    press(kVK_ANSI_K, NSCommandKeyMask);                   // the view takes it: the menu never sees it
    press(kVK_ANSI_V, NSCommandKeyMask);                   // disabled by validation
    press(kVK_ANSI_O, NSCommandKeyMask | NSShiftKeyMask);  // other modifiers
    press(kVK_ANSI_O, NSCommandKeyMask);                   // explicit target in another submenu
    EXPECT_EQ(view->fired, (std::vector<std::string>{"copy:", "view took cmd-k"}));
    EXPECT_EQ(target->fired, std::vector<std::string>{"open:"});

    view->claimsCommandK = false;
    press(kVK_ANSI_K, NSCommandKeyMask);
    EXPECT_EQ(view->fired.back(), "copy:");
}

TEST_F(MenuTest, CopyIsDeepAndKeepsTitlesTagsActionsTargetsAndStates)
{
    auto open = sub("File")->itemWithTitle("Open"_ns);
    open->setTag(7);
    open->setState(NSOnState);
    open->setKeyEquivalentModifierMask(NSCommandKeyMask | NSAlternateKeyMask);
    open->setRepresentedObject("doc"_ns);
    sub("Edit")->itemWithTitle("Copy"_ns)->setState(NSMixedState);
    sub("File")->setAutoenablesItems(false);

    auto copy = static_ref_cast<NSMenu>(mainMenu->copy());
    ASSERT_EQ(copy->numberOfItems(), 2);
    auto file = copy->itemAtIndex(0)->submenu();
    ASSERT_TRUE(file);
    EXPECT_NE(file, sub("File"));
    EXPECT_EQ(file->supermenu(), copy);
    EXPECT_FALSE(file->autoenablesItems());
    auto item = file->itemWithTag(7);
    ASSERT_TRUE(item);
    EXPECT_NE(item, open);
    EXPECT_TRUE(item->title()->isEqualToString("Open"_ns));
    EXPECT_EQ(item->action(), "open:");
    EXPECT_EQ(item->target(), Id(target));
    EXPECT_EQ(item->state(), NSOnState);
    EXPECT_TRUE(item->keyEquivalent()->isEqualToString("o"_ns));
    EXPECT_EQ(item->keyEquivalentModifierMask(), NSCommandKeyMask | NSAlternateKeyMask);
    EXPECT_EQ(item->representedObject(), open->representedObject());
    EXPECT_EQ(item->menu(), file);
    EXPECT_TRUE(file->itemAtIndex(1)->isSeparatorItem());
    EXPECT_EQ(copy->itemAtIndex(1)->submenu()->itemWithTitle("Copy"_ns)->state(), NSMixedState);

    // The copy works on its own.
    item->setTitle("Changed"_ns);
    EXPECT_TRUE(open->title()->isEqualToString("Open"_ns));
    EXPECT_TRUE(copy->pickItemWithTitlePath("File/Changed"_ns));
    EXPECT_EQ(target->fired, std::vector<std::string>{"open:"});
}

TEST_F(MenuTest, ItemListEditing)
{
    auto menu = NSMenu::menuWithTitle("M"_ns);
    auto a = NSMenuItem::itemWithTitle("A"_ns, "a:");
    auto b = NSMenuItem::itemWithTitle("B"_ns, "b:");
    auto c = NSMenuItem::itemWithTitle("C"_ns, "c:");
    b->setTag(2);
    menu->addItem(a);
    menu->addItem(c);
    menu->insertItem(b, 1);
    EXPECT_EQ(menu->numberOfItems(), 3);
    EXPECT_EQ(menu->itemArray()->objectAtIndex(1), Id(b));
    EXPECT_EQ(menu->indexOfItemWithTag(2), 1);
    EXPECT_EQ(menu->indexOfItemWithTag(99), -1);
    EXPECT_EQ(menu->itemWithTitle("C"_ns), c);
    EXPECT_EQ(menu->itemWithTitle("Z"_ns), nullptr);
    EXPECT_EQ(menu->itemWithTag(2), b);

    auto other = NSMenu::menuWithTitle("Other"_ns);
    EXPECT_THROW(other->addItem(b), NSException);  // b is in another menu
    EXPECT_THROW(menu->insertItem(NSMenuItem::itemWithTitle("X"_ns, {}), 4), NSException);
    EXPECT_THROW(menu->removeItemAtIndex(3), NSException);

    menu->removeItemAtIndex(1);
    EXPECT_EQ(b->menu(), nullptr);
    EXPECT_EQ(menu->indexOfItemWithTag(2), -1);
    other->addItem(b);  // free again
    EXPECT_EQ(b->menu(), other);
}

NS_CLASS_DEFINE(CountingDockDelegate)

TEST_F(MenuTest, DockMenuIsAskedEachTimeItIsShown)
{
    auto delegate = NSObject::make<CountingDockDelegate>();
    delegate->menu = NSMenu::menuWithTitle("Dock"_ns);
    delegate->menu->addItemWithTitle("Open"_ns, "open:", ""_ns)->setTarget(target);
    delegate->menu->addItemWithTitle("Paste"_ns, "paste:", ""_ns);
    Id previous = NSApp->delegate();
    NSApp->setDelegate(delegate);
    auto shown = NSMenu::showDockMenu();
    NSMenu::showDockMenu();
    NSApp->setDelegate(previous);
    EXPECT_EQ(delegate->asked, 2);
    ASSERT_EQ(shown, delegate->menu);
    EXPECT_TRUE(shown->itemAtIndex(0)->isEnabled());
    EXPECT_FALSE(shown->itemAtIndex(1)->isEnabled());
}

// A right-click asks the view for its menu and pops it up there.
TEST_F(MenuTest, RightClickPopsUpTheViewsMenu)
{
    auto menu = NSMenu::menuWithTitle("Context"_ns);
    menu->addItemWithTitle("Open"_ns, "open:", ""_ns)->setTarget(target);
    view->setMenu(menu);
    bool opened = false;
    NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, [&] {
        for (auto& info : server().allWindows())
            if (info.visible && info.role == "menu") opened = true;
        for (uint16_t key : {kVK_DownArrow, kVK_Return}) {
            server().injectKey(key, 0, true);
            server().injectKey(key, 0, false);
        }
    });
    window->sendEvent(NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, NSMakePoint(20, 180), 0, 0,
                                                  window->windowNumber(), nullptr, 0, 1, 1));
    EXPECT_TRUE(opened);
    EXPECT_EQ(target->fired, std::vector<std::string>{"open:"});
}

// Pop-up menus: a window at the pop-up level that takes injected clicks and
// keys while the tracking loop runs.
TEST_F(MenuTest, PopUpMenuPicksByClickAndByKeyboard)
{
    auto menu = NSMenu::menuWithTitle("Pop"_ns);
    menu->addItemWithTitle("First"_ns, "blocked:", ""_ns)->setTarget(target);  // disabled
    menu->addItem(NSMenuItem::separatorItem());
    menu->addItemWithTitle("Second"_ns, "open:", ""_ns)->setTarget(target);
    menu->addItemWithTitle("Third"_ns, "copy:", ""_ns);
    auto more = NSMenu::menuWithTitle("More"_ns);
    auto deep = more->addItemWithTitle("Deep"_ns, "open:", ""_ns);
    deep->setTarget(target);
    menu->addItemWithTitle("More"_ns, {}, ""_ns)->setSubmenu(more);

    // Runs inside the tracking loop, once the menu window is up.
    std::optional<WSWindowInfo> seen;
    auto whileOpen = [&](std::function<void(const WSWindowInfo&)> act) {
        NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, [&, act] {
            for (auto& info : server().allWindows())
                if (info.visible && info.role == "menu") seen = info;
            if (seen) act(*seen);
        });
    };
    // The centre of item i of a menu window.
    auto itemCentre = [&](const WSWindowInfo& info, NSInteger i) {
        CGFloat top = NSMaxY(info.frame) - MenuView::kMargin;
        CGFloat y = top - MenuView::kItemHeight / 2 - CGFloat(i) * MenuView::kItemHeight;
        if (i > 1) y += MenuView::kItemHeight - MenuView::kSeparatorHeight;
        return NSMakePoint(NSMidX(info.frame), y);
    };

    // A click on the disabled item does nothing; one on "Second" chooses it.
    whileOpen([&](const WSWindowInfo& info) {
        server().injectMouse(NSEventTypeLeftMouseDown, itemCentre(info, 0));
        server().injectMouse(NSEventTypeLeftMouseUp, itemCentre(info, 0));
        server().injectMouse(NSEventTypeLeftMouseDown, itemCentre(info, 2));
        server().injectMouse(NSEventTypeLeftMouseUp, itemCentre(info, 2));
    });
    EXPECT_TRUE(menu->popUpMenuPositioningItem(menu->itemAtIndex(2), NSMakePoint(150, 150), view));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->level, NSPopUpMenuWindowLevel);
    // "Second" was placed at the point asked for.
    EXPECT_NEAR(itemCentre(*seen, 2).y,
                window->convertBaseToScreen(view->convertPointToView(NSMakePoint(150, 150), nullptr)).y -
                    MenuView::kItemHeight / 2,
                0.5);
    EXPECT_EQ(target->fired, std::vector<std::string>{"open:"});
    pump();
    for (auto& info : server().allWindows()) EXPECT_FALSE(info.visible && info.role == "menu");

    // Keyboard: Down skips the disabled item and the separator; Return chooses.
    seen.reset();
    whileOpen([&](const WSWindowInfo&) {
        for (uint16_t key : {kVK_DownArrow, kVK_DownArrow, kVK_Return}) {
            server().injectKey(key, 0, true);
            server().injectKey(key, 0, false);
        }
    });
    auto click = NSEvent::mouseEventWithType(NSEventTypeRightMouseDown, NSMakePoint(20, 180), 0, 0,
                                             window->windowNumber(), nullptr, 0, 1, 1);
    NSMenu::popUpContextMenu(menu, click, view);
    EXPECT_EQ(view->fired, std::vector<std::string>{"copy:"});

    // A click outside dismisses without an action.
    whileOpen([&](const WSWindowInfo&) {
        server().injectMouse(NSEventTypeLeftMouseDown, NSMakePoint(350, 250));
        server().injectMouse(NSEventTypeLeftMouseUp, NSMakePoint(350, 250));
    });
    EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(10, 10), view));
    EXPECT_EQ(target->fired.size(), 1u);

    // Submenus: a press on "More" opens it beside the menu; a click there
    // chooses "Deep".
    whileOpen([&](const WSWindowInfo& info) {
        server().injectMouse(NSEventTypeLeftMouseDown, itemCentre(info, 4));
        server().injectMouse(NSEventTypeLeftMouseUp, itemCentre(info, 4));
        // The submenu opens with "Deep" level with "More", to its right.
        NSPoint deepCentre = NSMakePoint(NSMaxX(info.frame) + MenuView::kMinWidth / 2, itemCentre(info, 4).y);
        server().injectMouse(NSEventTypeLeftMouseDown, deepCentre);
        server().injectMouse(NSEventTypeLeftMouseUp, deepCentre);
    });
    EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, NSMakePoint(10, 150), view));
    ASSERT_EQ(target->fired.size(), 2u);
    EXPECT_EQ(target->senders.back(), deep.get());

    // And by keyboard: Down to "More", Right into it, Return.
    whileOpen([&](const WSWindowInfo&) {
        for (uint16_t key : {kVK_DownArrow, kVK_DownArrow, kVK_DownArrow, kVK_RightArrow, kVK_Return}) {
            server().injectKey(key, 0, true);
            server().injectKey(key, 0, false);
        }
    });
    NSMenu::popUpContextMenu(menu, click, view);
    EXPECT_EQ(target->fired.size(), 3u);
    for (auto& info : server().allWindows()) EXPECT_FALSE(info.visible && info.role == "menu");
}

TEST_F(MenuTest, KeyEquivalentsAreShownAsGlyphs)
{
    struct Case {
        std::u16string key;
        NSUInteger mask;
        const char16_t* shown;  // nullptr: nothing shown
    } cases[] = {
        {u",", NSCommandKeyMask, u"\u2318,"},
        {u"q", NSCommandKeyMask, u"\u2318Q"},
        {u"N", NSCommandKeyMask, u"\u21E7\u2318N"},  // a capital implies Shift
        {u"n", NSCommandKeyMask | NSAlternateKeyMask | NSControlKeyMask, u"\u2303\u2325\u2318N"},
        {u"\r", 0, u"\u21A9"},
        {std::u16string(1, char16_t(NSF1FunctionKey + 4)), NSCommandKeyMask, u"\u2318F5"},
        {u"", NSCommandKeyMask, nullptr},
    };
    for (auto& c : cases) {
        auto item = NSMenuItem::itemWithTitle("Item"_ns, "open:", NSString::stringWithUTF16(c.key));
        item->setKeyEquivalentModifierMask(c.mask);
        auto shown = MenuView::keyEquivalentText(item);
        if (!c.shown) {
            EXPECT_FALSE(shown);
            continue;
        }
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->utf16(), std::u16string(c.shown)) << shown->UTF8String();
    }
}

// A menu is as wide as its widest row: a long title is drawn to its end, a
// key equivalent sits at the right edge, an item with a submenu shows an
// arrow there. Short menus keep the minimum width, and a menu opened near
// the right edge of the screen is moved left onto it.
TEST_F(MenuTest, MenuFitsItsWidestItemAndShowsSubmenuArrows)
{
    auto tiny = NSMenu::menuWithTitle("Tiny"_ns);
    tiny->addItemWithTitle("A"_ns, "open:", ""_ns);
    EXPECT_EQ(NSObject::alloc<MenuView>()->initWithMenu(tiny)->frame().size.width, MenuView::kMinWidth);

    auto menu = NSMenu::menuWithTitle("Guides"_ns);
    auto longTitle = "New Horizontal Guideline Through The Middle"_ns;
    menu->addItemWithTitle(longTitle, "open:", ""_ns)->setTarget(target);
    menu->addItemWithTitle("Preferences\u2026"_ns, "open:", ","_ns)->setTarget(target);
    menu->addItemWithTitle("Short"_ns, "open:", ""_ns)->setTarget(target);
    auto sets = NSMenu::menuWithTitle("Sets"_ns);
    sets->addItemWithTitle("Default"_ns, "open:", ""_ns)->setTarget(target);
    menu->addItemWithTitle("Sets"_ns, {}, ""_ns)->setSubmenu(sets);

    auto font =
        NSDictionary::dictionaryWithEntries({{NSFontAttributeName, NSFont::menuFontOfSize(MenuView::kFontSize)}});
    const CGFloat titleWidth = NSStringExt::sizeWithAttributes(longTitle, font).width;
    ASSERT_GT(MenuView::kTitleLeft + titleWidth, 180);  // wider than menus used to be

    std::optional<WSWindowInfo> seen;
    // Dark pixels of item i's row between the x offsets from the menu's left.
    std::vector<std::vector<int>> ink;
    NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, [&] {
        for (auto& info : server().allWindows())
            if (info.visible && info.role == "menu") seen = info;
        if (!seen) return;
        const int left = int(seen->frame.origin.x), top = 1080 - int(NSMaxY(seen->frame));
        const int width = int(seen->frame.size.width);
        const auto screen = server().screenImage();
        auto dark = [&](int item, int from, int to) {
            int n = 0;
            const int row = top + int(MenuView::kMargin) + item * int(MenuView::kItemHeight);
            for (int y = row + 2; y < row + int(MenuView::kItemHeight) - 2; ++y)
                for (int x = left + from; x < left + std::min(to, width); ++x)
                    if (((screen->pixel(size_t(x), size_t(y)) >> 16) & 0xff) < 0x90) ++n;
            return n;
        };
        const int end = int(MenuView::kTitleLeft + titleWidth);
        const int right = width - int(MenuView::kRightMargin);
        const int arrow = int(MenuView::kArrowWidth);
        ink = {{dark(0, end - 8, end + 1), dark(0, end + 2, width)},
               {dark(1, right - 8, right + 1)},
               {dark(2, right - arrow - 1, right + 1)},
               {dark(3, right - arrow - 1, right + 1)}};
        server().injectKey(kVK_Escape, 0, true);
        server().injectKey(kVK_Escape, 0, false);
    });
    MenuWindow::trackMenu(menu, -1, NSMakePoint(1900, 600));
    ASSERT_TRUE(seen);
    EXPECT_GE(seen->frame.size.width, MenuView::kTitleLeft + titleWidth + MenuView::kRightMargin);
    EXPECT_LE(NSMaxX(seen->frame), 1920);
    EXPECT_GT(NSMaxX(seen->frame), 1900);
    ASSERT_EQ(ink.size(), 4u);
    EXPECT_GT(ink[0][0], 0) << "the long title's last letter";
    EXPECT_EQ(ink[0][1], 0) << "nothing right of the title";
    EXPECT_GT(ink[1][0], 0) << "the key equivalent at the right edge";
    EXPECT_EQ(ink[2][0], 0) << "no arrow without a submenu";
    EXPECT_GT(ink[3][0], 10) << "the submenu arrow";
}
