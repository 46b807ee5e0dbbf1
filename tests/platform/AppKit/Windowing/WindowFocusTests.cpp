// Where the keyboard goes when the key window leaves the screen, and the
// menu bar following a change of screens.
#include "AppKit/MenuBarWindow.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSPanel.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowingFixture.h"

namespace {

// A borderless overlay that takes the keyboard, as the rulers do.
class KeyTakingOverlay : public NSWindow {
    NS_OBJECT(KeyTakingOverlay, NSWindow)
protected:
    KeyTakingOverlay() = default;

public:
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return false; }
};

}
NS_CLASS_DEFINE(KeyTakingOverlay)

namespace {

class KeyHandoverTest : public WindowingTest {
protected:
    static Ref<NSWindow> titled(const NSRect& frame)
    {
        return NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSTitledWindowMask | NSClosableWindowMask,
                                                                NSBackingStoreBuffered, false);
    }
    static Ref<NSPanel> panel(const NSRect& frame)
    {
        auto p = NSObject::alloc<NSPanel>();
        p->initWithContentRect(frame, NSTitledWindowMask, NSBackingStoreBuffered, false);
        return p;
    }
    // Above normal windows, like the corner ruler.
    static Ref<NSWindow> overlay()
    {
        auto w = NSObject::alloc<KeyTakingOverlay>();
        w->initWithContentRect(NSMakeRect(0, 600, 400, 400), NSBorderlessWindowMask, NSBackingStoreBuffered, false);
        w->setLevel(NSStatusWindowLevel);
        return w;
    }
    static void expectKey(const Ref<NSWindow>& w)
    {
        EXPECT_TRUE(w->isKeyWindow());
        EXPECT_EQ(NSApp->keyWindow(), w);
        EXPECT_EQ(server().keyWindow(), w->windowNumber());
    }
};

// The corner ruler is key, Preferences opens over it, an alert over
// Preferences: when the alert goes, Preferences has the keyboard again, not
// the ruler in front of it.
TEST_F(KeyHandoverTest, AClosingAlertGivesTheKeyboardBackToTheWindowThatHadIt)
{
    auto ruler = overlay();
    ruler->makeKeyAndOrderFront(nullptr);
    auto preferences = titled(NSMakeRect(300, 300, 440, 250));
    preferences->makeKeyAndOrderFront(nullptr);
    auto alert = panel(NSMakeRect(350, 350, 300, 120));
    alert->makeKeyAndOrderFront(nullptr);
    ASSERT_TRUE(alert->isKeyWindow());
    ASSERT_EQ(server().windowOrder().front(), ruler->windowNumber());

    alert->orderOut(nullptr);
    expectKey(preferences);
    EXPECT_TRUE(preferences->isMainWindow());

    // Preferences closes too: the keyboard goes back along the same way.
    preferences->close();
    expectKey(ruler);
}

// The window that was key before is gone: the main window takes the
// keyboard, before a window in front of it.
TEST_F(KeyHandoverTest, WithoutThePreviousKeyWindowTheMainWindowTakesTheKeyboard)
{
    auto first = panel(NSMakeRect(100, 100, 200, 100));
    first->makeKeyAndOrderFront(nullptr);
    auto document = titled(NSMakeRect(300, 300, 440, 250));
    document->orderFront(nullptr);
    document->makeMainWindow();
    auto front = overlay();
    front->orderFront(nullptr);
    auto sheet = panel(NSMakeRect(350, 350, 300, 120));
    sheet->makeKeyAndOrderFront(nullptr);
    first->orderOut(nullptr);
    ASSERT_TRUE(document->isMainWindow());

    sheet->orderOut(nullptr);
    expectKey(document);
}

// Nobody was key before and there is no main window: the front-most window
// that can take the keyboard does; windows that cannot are passed over.
TEST_F(KeyHandoverTest, OtherwiseTheFrontMostWindowThatCanBeKeyTakesIt)
{
    auto behind = titled(NSMakeRect(100, 100, 200, 100));
    behind->orderFront(nullptr);
    auto front = overlay();
    front->orderFront(nullptr);
    auto shade = makeWindow(NSMakeRect(0, 0, 800, 800), NSColor::blackColor(), NSScreenSaverWindowLevel);
    auto only = panel(NSMakeRect(350, 350, 300, 120));
    only->makeKeyAndOrderFront(nullptr);
    ASSERT_FALSE(NSApp->mainWindow());

    only->orderOut(nullptr);
    expectKey(front);
    // The last window able to take it leaves: nobody is key.
    front->orderOut(nullptr);
    expectKey(behind);
    behind->orderOut(nullptr);
    EXPECT_FALSE(NSApp->keyWindow());
    EXPECT_EQ(server().keyWindow(), 0);
}

// The menu bar spans the top of the main screen, whatever the screens become.
class MenuBarScreenTest : public WindowingTest {
protected:
    void SetUp() override
    {
        WindowingTest::SetUp();
        server().setShowsMenuBar(true);
        auto mainMenu = NSMenu::menuWithTitle("Main"_ns);
        auto file = NSMenu::menuWithTitle("File"_ns);
        file->addItemWithTitle("Open"_ns, "open:", ""_ns);
        mainMenu->addItemWithTitle("File"_ns, {}, ""_ns)->setSubmenu(file);
        NSApp->setMainMenu(mainMenu);
        pump();
    }
    void TearDown() override
    {
        NSApp->setMainMenu(nullptr);
        server().setShowsMenuBar(false);
        server().configureMainScreen(NSMakeSize(1920, 1080), NSMakeSize(508, 286));
        WindowingTest::TearDown();
    }

    // The server reports the new screens as a backend does.
    static void screensChanged()
    {
        server().reportScreensChanged();
        pump();
    }
    static WSScreen screen(uint32_t id, const NSRect& frame)
    {
        WSScreen s;
        s.displayID = id;
        s.frame = frame;
        s.visibleFrame = frame;
        return s;
    }
};

TEST_F(MenuBarScreenTest, TheBarFollowsTheMainScreenWhenTheScreensChange)
{
    auto bar = MenuBarWindow::shared();
    ASSERT_TRUE(bar);
    const CGFloat h = MenuBarView::kHeight;
    EXPECT_EQ(bar->frame(), NSMakeRect(0, 1080 - h, 1920, h));

    struct Case {
        const char* what;
        std::vector<WSScreen> screens;
        NSRect bar;
    };
    const Case cases[] = {
        {"a larger main screen", {screen(1, NSMakeRect(0, 0, 2560, 1440))}, NSMakeRect(0, 1440 - h, 2560, h)},
        {"a second, taller screen beside it",
         {screen(1, NSMakeRect(0, 0, 1280, 800)), screen(2, NSMakeRect(1280, -400, 1920, 1200))},
         NSMakeRect(0, 800 - h, 1280, h)},
        {"back to one screen", {screen(1, NSMakeRect(0, 0, 1920, 1080))}, NSMakeRect(0, 1080 - h, 1920, h)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server().setScreens(c.screens);
        screensChanged();
        ASSERT_EQ(MenuBarWindow::shared(), bar);
        EXPECT_EQ(bar->frame(), c.bar);
        EXPECT_EQ(bar->menuBarView()->frame(), NSMakeRect(0, 0, c.bar.size.width, h));
        auto info = server().windowInfo(bar->windowNumber());
        ASSERT_TRUE(info);
        EXPECT_TRUE(info->visible);
        EXPECT_EQ(info->frame, c.bar);
    }

    // No screen at all: no bar.
    server().setScreens({});
    screensChanged();
    EXPECT_FALSE(MenuBarWindow::shared());
}

}
