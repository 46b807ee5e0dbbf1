// Where submenus and menu bar menus open: beside the parent, on its left at
// the screen's right edge, moved up at the bottom, never above the top.
#include <map>

#include "AppKit/MenuPlacement.h"
#include "AppKit/MenuWindow.h"
#include "AppKit/NSMenu.h"
#include "WindowingFixture.h"

namespace {

// A 1920 x 1056 visible frame (a bar above it) and one on a screen left of
// it, so that answers cannot lean on an origin at zero.
constexpr NSRect kVisible = {{0, 0}, {1920, 1056}};
constexpr NSRect kLeftScreen = {{-1280, 100}, {1280, 900}};
constexpr CGFloat kInset = 4;  // the submenu's first item below its top edge

}

TEST(MenuPlacement, SubmenuOpensBesideItsParentAndStaysOnScreen)
{
    struct Case {
        const char* name;
        NSRect parent, item;
        NSSize submenu;
        NSRect visible;
        NSPoint origin;
        bool leftward = false;  // the parent opened left of its own parent
    } cases[] = {
        // First item level with the parent item: top = item top + inset.
        {"room on the right", {{100, 500}, {200, 300}}, {{100, 700}, {200, 20}}, {150, 100}, kVisible, {300, 624}},
        {"at the right edge opens left",
         {{1700, 500}, {200, 300}},
         {{1700, 700}, {200, 20}},
         {150, 100},
         kVisible,
         {1550, 624}},
        {"exactly fits on the right",
         {{1620, 500}, {150, 300}},
         {{1620, 700}, {150, 20}},
         {150, 100},
         kVisible,
         {1770, 624}},
        {"near the bottom moves up", {{100, 10}, {200, 300}}, {{100, 30}, {200, 20}}, {150, 200}, kVisible, {300, 0}},
        {"taller than the screen pins to the top",
         {{100, 10}, {200, 300}},
         {{100, 30}, {200, 20}},
         {150, 2000},
         kVisible,
         {300, 1056 - 2000}},
        // Neither side has room: the roomier one, held on screen.
        {"no room either side, more on the right",
         {{50, 500}, {1700, 300}},
         {{50, 700}, {1700, 20}},
         {300, 100},
         kVisible,
         {1620, 624}},
        {"no room either side, more on the left",
         {{150, 500}, {1700, 300}},
         {{150, 700}, {1700, 20}},
         {300, 100},
         kVisible,
         {0, 624}},
        // A cascade that turned left goes on left while there is room.
        {"leftward keeps going left",
         {{1000, 500}, {200, 300}},
         {{1000, 700}, {200, 20}},
         {150, 100},
         kVisible,
         {850, 624},
         true},
        {"leftward at the left edge turns right",
         {{100, 500}, {200, 300}},
         {{100, 700}, {200, 20}},
         {150, 100},
         kVisible,
         {300, 624},
         true},
        {"another screen's right edge",
         {{-200, 500}, {200, 300}},
         {{-200, 700}, {200, 20}},
         {150, 100},
         kLeftScreen,
         {-350, 624}},
        {"another screen's bottom",
         {{-1000, 100}, {200, 300}},
         {{-1000, 110}, {200, 20}},
         {150, 100},
         kLeftScreen,
         {-800, 100}},
    };
    for (const auto& c : cases) {
        NSPoint o = MenuPlacement::submenuOrigin(c.parent, c.item, c.submenu, kInset, c.visible, c.leftward);
        EXPECT_EQ(o.x, c.origin.x) << c.name;
        EXPECT_EQ(o.y, c.origin.y) << c.name;
    }
}

TEST(MenuPlacement, BarMenuOpensBelowItsTitleShiftedLeftToStayOnScreen)
{
    struct Case {
        const char* name;
        NSRect title;
        NSSize menu;
        NSPoint origin;
    } cases[] = {
        {"below the title", {{300, 1056}, {50, 24}}, {150, 200}, {300, 856}},
        {"at the right edge shifted left", {{1880, 1056}, {40, 24}}, {150, 200}, {1770, 856}},
        {"wider than the screen starts at its left edge", {{1880, 1056}, {40, 24}}, {2000, 200}, {0, 856}},
        // It never moves up over the bar, even when it runs off the bottom.
        {"taller than the screen stays below the title", {{300, 1056}, {50, 24}}, {150, 2000}, {300, 1056 - 2000}},
    };
    for (const auto& c : cases) {
        NSPoint o = MenuPlacement::belowTitleOrigin(c.title, c.menu, kVisible);
        EXPECT_EQ(o.x, c.origin.x) << c.name;
        EXPECT_EQ(o.y, c.origin.y) << c.name;
    }
}

using MenuPlacementWindowTest = WindowingTest;

// A context menu at the screen's right edge: its submenu opens on its left,
// level with the item, without covering it, and the submenu's own submenu
// goes on left instead of folding back over the first menu.
TEST_F(MenuPlacementWindowTest, SubmenusAtTheRightEdgeCascadeLeft)
{
    auto menu = NSMenu::menuWithTitle("Edge"_ns);
    menu->addItemWithTitle("One"_ns, {}, ""_ns);
    auto more = NSMenu::menuWithTitle("More"_ns);
    auto deeper = NSMenu::menuWithTitle("Deeper"_ns);
    deeper->addItemWithTitle("Deepest"_ns, {}, ""_ns);
    more->addItemWithTitle("Deep"_ns, {}, ""_ns)->setSubmenu(deeper);
    menu->addItemWithTitle("More"_ns, {}, ""_ns)->setSubmenu(more);

    // The open menu windows' frames by menu title.
    auto menus = [] {
        std::map<std::string, NSRect> found;
        for (auto& w : NSWindow::allWindows())
            if (auto m = dynamic_ref_cast<MenuWindow>(w); m && m->isVisible())
                found[m->menuView()->menu()->title()->UTF8String()] = m->frame();
        return found;
    };
    // Once the menu is up: a press on "More", then Down to "Deep" and Right
    // into it; Escape once all three menus are open.
    auto loop = NSRunLoop::currentRunLoop();
    loop->performBlock({NSEventTrackingRunLoopMode}, [&] {
        auto open = menus();
        ASSERT_EQ(open.count("Edge"), 1u);
        const NSRect f = open["Edge"];
        const NSPoint more = NSMakePoint(NSMidX(f), NSMaxY(f) - MenuView::kMargin - MenuView::kItemHeight * 1.5);
        server().injectMouse(NSEventTypeLeftMouseDown, more);
        server().injectMouse(NSEventTypeLeftMouseUp, more);
        for (uint16_t key : {kVK_DownArrow, kVK_RightArrow}) {
            server().injectKey(key, 0, true);
            server().injectKey(key, 0, false);
        }
    });
    std::map<std::string, NSRect> seen;
    auto observer = loop->addObserver({NSEventTrackingRunLoopMode}, [&] {
        if (!seen.empty()) return;
        auto open = menus();
        if (open.size() < 3) return;
        seen = open;
        server().injectKey(kVK_Escape, 0, true);
        server().injectKey(kVK_Escape, 0, false);
    });
    auto chosen = MenuWindow::trackMenu(menu, -1, NSMakePoint(1900, 600));
    loop->removeSource(observer);
    EXPECT_FALSE(chosen.menu);

    ASSERT_EQ(seen.size(), 3u);
    const NSRect edge = seen["Edge"], sub = seen["More"], subsub = seen["Deeper"];
    EXPECT_EQ(NSMaxX(edge), 1920);
    EXPECT_FALSE(NSIntersectsRect(edge, sub));
    EXPECT_EQ(NSMaxX(sub), edge.origin.x);
    // "Deep" level with "More".
    EXPECT_EQ(NSMaxY(sub), NSMaxY(edge) - MenuView::kItemHeight);
    EXPECT_EQ(NSMaxX(subsub), sub.origin.x);
    EXPECT_FALSE(NSIntersectsRect(subsub, edge));
}
