// The dock menu's tray icon against a stand-in system tray on the test
// program's Xvfb: the icon asks to be docked (XEmbed), its click opens the
// dock menu, and the menu bar takes the dock menu back when the tray goes
// and gives it up when a tray comes.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "AppKit/MenuBarWindow.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSMenu.h"
#include "FakeTray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"
#include "X11TestSupport.h"
#include "backend/x11/X11WindowServer.h"

extern char** environ;

// The dock menu's delegate and the target of its item.
class TrayDockDelegate : public NSObject, public NSApplicationDelegate {
    NS_OBJECT(TrayDockDelegate, NSObject)
protected:
    TrayDockDelegate() = default;

public:
    int asked = 0;
    int chosen = 0;
    Ref<NSMenu> menu;
    Id applicationDockMenu(const Ref<NSApplication>&) override
    {
        ++asked;
        return menu;
    }
    void choose(const Id&) { ++chosen; }
    static void describeClass(NSClassMembers<TrayDockDelegate>& m) { m.action("choose:", &TrayDockDelegate::choose); }
};
NS_CLASS_DEFINE(TrayDockDelegate)

namespace {

class MenuBarTrayTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (Xvfb is not installed)";
        NSApplication::sharedApplication();
        ASSERT_NE(X11WindowServer::current(), nullptr);
        m_conn = xcb_connect(nullptr, nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_conn));
        m_previousDelegate = NSApp->delegate();
        m_delegate = NSObject::make<TrayDockDelegate>();
        m_delegate->menu = NSMenu::menuWithTitle("Dock"_ns);
        m_delegate->menu->addItemWithTitle("Choose"_ns, "choose:", ""_ns)->setTarget(m_delegate);
        NSApp->setDelegate(m_delegate);
        m_mainMenu = NSMenu::menuWithTitle("Main"_ns);
        m_mainMenu->addItemWithTitle("App"_ns, {}, ""_ns)->setSubmenu(NSMenu::menuWithTitle("App"_ns));
    }
    void TearDown() override
    {
        if (!m_conn) return;
        NSApp->setMainMenu(nullptr);
        NSApp->setDelegate(m_previousDelegate);
        xcb_disconnect(m_conn);
    }

    static bool barHasDockMenu()
    {
        auto bar = MenuBarWindow::shared();
        return bar && !bar->menuBarView()->entries().empty() && bar->menuBarView()->entries().back().isDockMenu;
    }
    std::string text(xcb_window_t w, xcb_atom_t atom)
    {
        auto* r = xcb_get_property_reply(m_conn, xcb_get_property(m_conn, 0, w, atom, XCB_ATOM_ANY, 0, 64), nullptr);
        std::string value;
        if (r && r->format == 8)
            value.assign(static_cast<const char*>(xcb_get_property_value(r)), size_t(xcb_get_property_value_length(r)));
        std::free(r);
        return value;
    }
    std::vector<uint32_t> cardinals(xcb_window_t w, xcb_atom_t atom)
    {
        auto* r = xcb_get_property_reply(m_conn, xcb_get_property(m_conn, 0, w, atom, XCB_ATOM_ANY, 0, 16), nullptr);
        std::vector<uint32_t> values;
        if (r && r->format == 32) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
            values.assign(v, v + xcb_get_property_value_length(r) / 4);
        }
        std::free(r);
        return values;
    }

    xcb_connection_t* m_conn = nullptr;
    Id m_previousDelegate;
    Ref<TrayDockDelegate> m_delegate;
    Ref<NSMenu> m_mainMenu;
};

}

TEST_F(MenuBarTrayTest, TheIconDocksOpensTheDockMenuAndTheBarFollowsTheTray)
{
    // No tray: the bar keeps the dock menu.
    NSApp->setMainMenu(m_mainMenu);
    ASSERT_TRUE(MenuBarWindow::shared());
    EXPECT_TRUE(barHasDockMenu());

    // A tray starts: the icon asks to be docked, with its XEmbed info, and
    // the bar gives up the dock menu.
    FakeTray tray;
    tray.announce();
    xcb_window_t icon = 0;
    ASSERT_TRUE(waitFor([&] { return (icon = tray.takeDockRequest()) != 0 && !barHasDockMenu(); }));
    EXPECT_EQ(cardinals(icon, tray.atom("_XEMBED_INFO")), (std::vector<uint32_t>{0, 1}));
    // Named after the main bundle.
    EXPECT_EQ(text(icon, XCB_ATOM_WM_NAME), "Plumbline");
    EXPECT_EQ(text(icon, XCB_ATOM_WM_CLASS), std::string("trayicon\0Plumbline\0", 19));

    // A click on the icon asks for the dock menu and opens it; a click on
    // its item chooses it.
    NSRunLoop::currentRunLoop()->performBlock({NSEventTrackingRunLoopMode}, [] {
        for (auto& w : NSWindow::allWindows()) {
            if (!w->isVisible() || w->roleName() != "menu") continue;
            const NSRect f = w->frame();
            const int x = int(f.origin.x) + 60, y = 800 - int(NSMaxY(f)) + 14;
            runTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
        }
    });
    ASSERT_TRUE(runTool({"xdotool", "mousemove", "1210", "770", "click", "1"}));
    ASSERT_TRUE(waitFor([&] { return m_delegate->chosen == 1; }));
    EXPECT_EQ(m_delegate->asked, 1);

    // The tray quits: the bar takes the dock menu back, and the icon the
    // server handed to the root leaves no stray window.
    tray.close();
    ASSERT_TRUE(waitFor([&] { return barHasDockMenu(); }));
    EXPECT_TRUE(waitFor([&] {
        auto* attributes = xcb_get_window_attributes_reply(m_conn, xcb_get_window_attributes(m_conn, icon), nullptr);
        const bool gone = !attributes;
        std::free(attributes);
        return gone;
    }));

    // A tray already running when the menu bar is set up takes a new icon
    // at once.
    FakeTray second;
    NSApp->setMainMenu(m_mainMenu);
    EXPECT_FALSE(barHasDockMenu());
    EXPECT_TRUE(waitFor([&] { return second.takeDockRequest() != 0; }));
}
