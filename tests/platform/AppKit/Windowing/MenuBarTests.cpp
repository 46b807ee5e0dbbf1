// The menu bar of a desktop without one: a strip across the top of the main
// screen whose titles open the main menu's submenus by mouse and by keyboard
// (F10), with the dock menu as its last menu when no status icon shows it.
#include "AppKit/MenuBarWindow.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItemValidation.h"
#include "WindowingFixture.h"

// The explicit target of the items; refuses "blocked:" until allowed.
class MenuBarTarget : public NSObject, public NSMenuItemValidation {
    NS_OBJECT(MenuBarTarget, NSObject)
protected:
    MenuBarTarget() = default;

public:
    std::vector<std::string> fired;
    bool allowBlocked = false;
    int validations = 0;
    void about(const Id&) { fired.push_back("about:"); }
    void open(const Id&) { fired.push_back("open:"); }
    void blocked(const Id&) { fired.push_back("blocked:"); }
    void save(const Id&) { fired.push_back("save:"); }
    void copy_(const Id&) { fired.push_back("copy:"); }
    void deep(const Id&) { fired.push_back("deep:"); }
    void dockItem(const Id&) { fired.push_back("dockItem:"); }
    std::optional<bool> validateMenuItem(const Ref<NSMenuItem>& item) override
    {
        ++validations;
        return allowBlocked || item->action() != "blocked:";
    }
    static void describeClass(NSClassMembers<MenuBarTarget>& m)
    {
        m.action("about:", &MenuBarTarget::about);
        m.action("open:", &MenuBarTarget::open);
        m.action("blocked:", &MenuBarTarget::blocked);
        m.action("save:", &MenuBarTarget::save);
        m.action("copy:", &MenuBarTarget::copy_);
        m.action("deep:", &MenuBarTarget::deep);
        m.action("dockItem:", &MenuBarTarget::dockItem);
    }
};
NS_CLASS_DEFINE(MenuBarTarget)

// A key view that records the keys it is sent.
class MenuBarKeyView : public RecordingView {
    NS_OBJECT(MenuBarKeyView, RecordingView)
protected:
    MenuBarKeyView() = default;

public:
    std::vector<uint16_t> keys;
    bool acceptsFirstResponder() const override { return true; }
    void keyDown(const Ref<NSEvent>& e) override { keys.push_back(e->keyCode()); }
};
NS_CLASS_DEFINE(MenuBarKeyView)

class MenuBarTest : public WindowingTest {
protected:
    static constexpr CGFloat kBarBottom = 1080 - MenuBarView::kHeight;
    Ref<MenuBarTarget> target = NSObject::make<MenuBarTarget>();
    Ref<CountingDockDelegate> dock = NSObject::make<CountingDockDelegate>();
    Id previousDelegate;
    Ref<NSWindow> window;
    Ref<MenuBarKeyView> view;
    Ref<NSMenu> mainMenu;

    void SetUp() override
    {
        WindowingTest::SetUp();
        NSMenu::installKeyEquivalentHandler();
        server().setShowsMenuBar(true);
        server().setHasDockIconHost(false);
        previousDelegate = NSApp->delegate();
        NSApp->setDelegate(dock);
        dock->menu = NSMenu::menuWithTitle("DockMenu"_ns);
        item(dock->menu, "Dock Item", "dockItem:");

        window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 300, 200), NSTitledWindowMask,
                                                                  NSBackingStoreBuffered, false);
        view = NSObject::alloc<MenuBarKeyView>();
        view->initWithFrame(NSMakeRect(0, 0, 300, 200));
        window->setContentView(view);
        window->makeKeyAndOrderFront(nullptr);
        window->makeFirstResponder(view);

        mainMenu = NSMenu::menuWithTitle("Main"_ns);
        auto app = submenu("AppTitle");
        item(app, "About", "about:");
        auto file = submenu("File");
        item(file, "Open", "open:");
        file->addItem(NSMenuItem::separatorItem());
        item(file, "Blocked", "blocked:");
        item(file, "Save", "save:");
        auto edit = submenu("Edit");
        item(edit, "Copy", "copy:");
        auto more = NSMenu::menuWithTitle("More"_ns);
        item(more, "Deep", "deep:");
        edit->addItemWithTitle("More"_ns, {}, ""_ns)->setSubmenu(more);
        NSApp->setMainMenu(mainMenu);
        pump();
    }
    void TearDown() override
    {
        NSApp->setMainMenu(nullptr);
        server().setShowsMenuBar(false);
        NSApp->setDelegate(previousDelegate);
        WindowingTest::TearDown();
    }

    Ref<NSMenu> submenu(const char* title)
    {
        auto menu = NSMenu::menuWithTitle(NSString::stringWithUTF8String(title));
        mainMenu->addItemWithTitle(menu->title(), {}, ""_ns)->setSubmenu(menu);
        return menu;
    }
    Ref<NSMenuItem> item(const Ref<NSMenu>& menu, const char* title, const SEL& action)
    {
        auto item = menu->addItemWithTitle(NSString::stringWithUTF8String(title), action, ""_ns);
        item->setTarget(target);
        return item;
    }

    static std::vector<WSWindowInfo> visibleWithRole(const std::string& role)
    {
        std::vector<WSWindowInfo> found;
        for (auto& info : server().allWindows())
            if (info.visible && info.role == role) found.push_back(info);
        return found;
    }
    static std::vector<std::string> titles()
    {
        std::vector<std::string> result;
        if (auto bar = MenuBarWindow::shared())
            for (auto& entry : bar->menuBarView()->entries()) result.push_back(entry.title->UTF8String());
        return result;
    }
    // The title's rectangle on the screen (global points).
    static NSRect titleRect(NSInteger index)
    {
        auto bar = MenuBarWindow::shared();
        return bar->convertRectToScreen(bar->menuBarView()->rectOfTitleAtIndex(index));
    }
    static NSPoint titleCentre(NSInteger index)
    {
        return NSMakePoint(NSMidX(titleRect(index)), NSMidY(titleRect(index)));
    }
    // The centre of item i of the menu below title t (no separators above i).
    static NSPoint itemCentre(NSInteger t, NSInteger i)
    {
        return NSMakePoint(titleRect(t).origin.x + MenuView::kMinWidth / 2, kBarBottom - MenuView::kMargin -
                                                                                MenuView::kItemHeight / 2 -
                                                                                CGFloat(i) * MenuView::kItemHeight);
    }
    // Runs once the tracking loop has opened its first menu.
    static void whileTracking(std::function<void()> act)
    {
        NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, std::move(act));
    }
    static void keys(std::initializer_list<uint16_t> codes)
    {
        for (uint16_t code : codes) {
            server().injectKey(code, 0, true);
            server().injectKey(code, 0, false);
        }
        pump();
    }
};

TEST_F(MenuBarTest, SpansTheTopOfTheMainScreenWithTheApplicationNameAndTitles)
{
    auto bars = visibleWithRole("menubar");
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_TRUE(NSEqualRects(bars[0].frame, NSMakeRect(0, kBarBottom, 1920, MenuBarView::kHeight)));
    EXPECT_EQ(bars[0].level, NSMainMenuWindowLevel);
    EXPECT_FALSE(bars[0].key);
    const std::string app = NSApp->applicationName()->UTF8String();
    EXPECT_EQ(titles(), (std::vector<std::string>{app, "File", "Edit", "Dock"}));

    // Drawn: a pale strip with dark title text; the desktop below it.
    auto pale = [](uint32_t p) { return (p & 0xFF) >= 0xF0 && ((p >> 8) & 0xFF) >= 0xF0; };
    auto dark = [](uint32_t p) { return (p & 0xFF) < 0x80; };
    EXPECT_TRUE(pale(screenPixel(1900, 10)));
    EXPECT_FALSE(pale(screenPixel(1900, 30)));
    const NSRect file = titleRect(1);
    const auto screen = server().screenImage();  // composed once: each call composes the whole screen
    int darkPixels = 0;
    for (int x = int(file.origin.x); x < int(NSMaxX(file)); ++x)
        for (int row = 2; row < 22; ++row) darkPixels += dark(screen->pixel(size_t(x), size_t(row)));
    EXPECT_GT(darkPixels, 10);

    // With a status icon for the dock menu, the bar has no Dock menu.
    server().setHasDockIconHost(true);
    NSApp->setMainMenu(mainMenu);
    EXPECT_EQ(titles(), (std::vector<std::string>{app, "File", "Edit"}));
    // The icon shows the application's picture, a new one at once.
    EXPECT_FALSE(server().dockIconPicture());
    NSApp->setApplicationIconImage(NSImage::imageWithSize(NSMakeSize(8, 8), false, [](NSRect r) {
        NSColor::redColor()->setFill();
        NSRectFill(r);
        return true;
    }));
    auto picture = server().dockIconPicture();
    NSApp->setApplicationIconImage(nullptr);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixel(picture->width() / 2, picture->height() / 2) & 0xffffff, 0xff0000u);

    // No main menu, or a server that wants no menu bar: no bar.
    NSApp->setMainMenu(nullptr);
    EXPECT_TRUE(visibleWithRole("menubar").empty());
    EXPECT_FALSE(MenuBarWindow::shared());
    server().setShowsMenuBar(false);
    NSApp->setMainMenu(mainMenu);
    EXPECT_TRUE(visibleWithRole("menubar").empty());
}

TEST_F(MenuBarTest, MouseOpensMenusBelowTitlesSwitchesAcrossTitlesAndChooses)
{
    // A click on "File" opens its menu below the title, the title lit; moving
    // to "Edit" switches menus; a click on "Copy" chooses it.
    std::vector<WSWindowInfo> menusSeen;
    uint32_t litPixel = 0;
    whileTracking([&] {
        menusSeen = visibleWithRole("menu");
        litPixel = screenPixel(int(titleRect(1).origin.x) + 3, 12);
        server().injectPointer(titleCentre(2));
        server().injectMouse(NSEventTypeLeftMouseDown, itemCentre(2, 0));
        server().injectMouse(NSEventTypeLeftMouseUp, itemCentre(2, 0));
    });
    click(titleCentre(1));
    ASSERT_EQ(menusSeen.size(), 1u);
    EXPECT_EQ(menusSeen[0].frame.origin.x, titleRect(1).origin.x);
    EXPECT_EQ(NSMaxY(menusSeen[0].frame), kBarBottom);
    EXPECT_EQ(menusSeen[0].level, NSPopUpMenuWindowLevel);
    EXPECT_LT(litPixel & 0xFF00, 0xF000u);  // not the pale background
    EXPECT_EQ(target->fired, std::vector<std::string>{"copy:"});
    EXPECT_TRUE(visibleWithRole("menu").empty());
    EXPECT_TRUE(window->isKeyWindow());

    // Press on a title, drag to an item, release: chosen.
    whileTracking([&] {
        server().injectPointer(itemCentre(1, 0));
        server().injectMouse(NSEventTypeLeftMouseUp, itemCentre(1, 0));
    });
    server().injectMouse(NSEventTypeLeftMouseDown, titleCentre(1));
    pump();
    EXPECT_EQ(target->fired.back(), "open:");

    // The disabled item takes no click; a click in another window dismisses.
    const NSPoint blocked = NSMakePoint(itemCentre(1, 0).x, itemCentre(1, 1).y - MenuView::kSeparatorHeight);
    whileTracking([&] {
        server().injectMouse(NSEventTypeLeftMouseDown, blocked);
        server().injectMouse(NSEventTypeLeftMouseUp, blocked);
        server().injectMouse(NSEventTypeLeftMouseDown, NSMakePoint(250, 200));
        server().injectMouse(NSEventTypeLeftMouseUp, NSMakePoint(250, 200));
    });
    click(titleCentre(1));
    EXPECT_EQ(target->fired.size(), 2u);
    EXPECT_TRUE(visibleWithRole("menu").empty());

    // A second press on the open title closes its menu.
    whileTracking([&] {
        server().injectMouse(NSEventTypeLeftMouseDown, titleCentre(1));
        server().injectMouse(NSEventTypeLeftMouseUp, titleCentre(1));
    });
    click(titleCentre(1));
    EXPECT_TRUE(visibleWithRole("menu").empty());
    EXPECT_EQ(target->fired.size(), 2u);
}

TEST_F(MenuBarTest, KeyboardF10ArrowsReturnAndEscape)
{
    struct Case {
        const char* name;
        std::vector<uint16_t> keys;  // after F10
        std::vector<std::string> fired;
    } cases[] = {
        {"first menu, first item", {kVK_DownArrow, kVK_Return}, {"about:"}},
        // Down skips the separator and the disabled item.
        {"disabled skipped", {kVK_RightArrow, kVK_DownArrow, kVK_DownArrow, kVK_Return}, {"save:"}},
        {"up from the end", {kVK_RightArrow, kVK_UpArrow, kVK_UpArrow, kVK_Return}, {"open:"}},
        {"into a submenu",
         {kVK_RightArrow, kVK_RightArrow, kVK_DownArrow, kVK_DownArrow, kVK_RightArrow, kVK_Return},
         {"deep:"}},
        {"left leaves the submenu",
         {kVK_RightArrow, kVK_RightArrow, kVK_DownArrow, kVK_DownArrow, kVK_RightArrow, kVK_LeftArrow, kVK_UpArrow,
          kVK_Return},
         {"copy:"}},
        {"left wraps to the dock menu", {kVK_LeftArrow, kVK_DownArrow, kVK_Return}, {"dockItem:"}},
        {"return with nothing lit", {kVK_Return, kVK_Escape}, {}},
        {"escape", {kVK_RightArrow, kVK_DownArrow, kVK_Escape}, {}},
        {"f10 closes", {kVK_RightArrow, kVK_DownArrow, kVK_F10}, {}},
    };
    for (auto& c : cases) {
        target->fired.clear();
        view->keys.clear();
        server().injectKey(kVK_F10, 0, true);
        server().injectKey(kVK_F10, 0, false);
        for (uint16_t code : c.keys) {
            server().injectKey(code, 0, true);
            server().injectKey(code, 0, false);
        }
        // A key typed after the menus closed reaches the key window.
        keys({kVK_ANSI_A});
        EXPECT_EQ(target->fired, c.fired) << c.name;
        EXPECT_EQ(view->keys, std::vector<uint16_t>{kVK_ANSI_A}) << c.name;
        EXPECT_TRUE(visibleWithRole("menu").empty()) << c.name;
        EXPECT_TRUE(window->isKeyWindow()) << c.name;
    }

    // Validation runs each time a menu opens: once allowed, the item is
    // reached (the tests above never could).
    target->allowBlocked = true;
    keys({kVK_F10, kVK_RightArrow, kVK_DownArrow, kVK_DownArrow, kVK_Return});
    EXPECT_EQ(target->fired.back(), "blocked:");
}

TEST_F(MenuBarTest, F10OpensOnlyPlainAndOnlyWithAKeyWindow)
{
    // With Command, F10 is an ordinary key for the window.
    server().injectKey(kVK_F10, NSCommandKeyMask, true);
    server().injectKey(kVK_F10, NSCommandKeyMask, false);
    keys({kVK_DownArrow, kVK_Return});
    EXPECT_TRUE(target->fired.empty());
    EXPECT_EQ(view->keys, (std::vector<uint16_t>{kVK_F10, kVK_DownArrow, kVK_Return}));

    // No key window: nothing opens.
    window->orderOut(nullptr);
    ASSERT_FALSE(NSApp->keyWindow());
    EXPECT_FALSE(MenuBarWindow::handleKeyDown(NSEvent::keyEventWithType(
        NSEventTypeKeyDown, NSZeroPoint, 0, 0, 0, nullptr, u"\uF70D"_ns, u"\uF70D"_ns, false, kVK_F10)));
    EXPECT_TRUE(visibleWithRole("menu").empty());
}

TEST_F(MenuBarTest, DockMenuIsAskedForEachTimeItOpens)
{
    // The bar's last menu, opened by mouse and by keyboard.
    const NSInteger dockTitle = NSInteger(titles().size()) - 1;
    std::vector<WSWindowInfo> menusSeen;
    whileTracking([&] {
        menusSeen = visibleWithRole("menu");
        server().injectMouse(NSEventTypeLeftMouseDown, itemCentre(dockTitle, 0));
        server().injectMouse(NSEventTypeLeftMouseUp, itemCentre(dockTitle, 0));
    });
    click(titleCentre(dockTitle));
    EXPECT_EQ(menusSeen.size(), 1u);
    EXPECT_EQ(target->fired, std::vector<std::string>{"dockItem:"});
    EXPECT_EQ(dock->asked, 1);

    // The delegate may answer another menu each time.
    dock->menu = NSMenu::menuWithTitle("Other"_ns);
    item(dock->menu, "Blocked", "blocked:");
    item(dock->menu, "Open", "open:");
    keys({kVK_F10, kVK_LeftArrow, kVK_DownArrow, kVK_Return});
    EXPECT_EQ(dock->asked, 2);
    EXPECT_EQ(target->fired.back(), "open:");
    // Moving across titles asks again on the way.
    keys({kVK_F10, kVK_LeftArrow, kVK_RightArrow, kVK_LeftArrow, kVK_Escape});
    EXPECT_EQ(dock->asked, 4);

    // With a status icon, its click opens the menu as a context menu.
    server().setHasDockIconHost(true);
    NSApp->setMainMenu(mainMenu);
    server().injectKey(kVK_DownArrow, 0, true);
    server().injectKey(kVK_Return, 0, true);
    server().reportDockMenuRequest(NSMakePoint(1800, 1000));
    EXPECT_EQ(dock->asked, 5);
    EXPECT_EQ(target->fired.back(), "open:");

    // A delegate without a dock menu: the menu shows nothing.
    dock->menu = nullptr;
    EXPECT_FALSE(MenuBarWindow::popUpDockMenu(NSMakePoint(1800, 1000)));
    EXPECT_EQ(dock->asked, 6);
}
