// The X11 backend against a private Xvfb: windows, pixels, clicks through
// XTest (xdotool), click-through of transparent pixels, hot-key grabs and the
// global pointer monitor.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AppKit/MenuBarWindow.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSWindow.h"
#include "Carbon/CarbonTypes.h"
#include "Carbon/KeyboardLayout.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Carbon/TISInputSource.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDistributedNotificationCenter.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"
#include "WindowServer/USKeyboardLayout.h"
#include "X11TestSupport.h"
#include "XvfbServer.h"
#include "backend/x11/X11WindowServer.h"

extern char** environ;

// Read before ASAN_OPTIONS, which does not name suppressions.
extern "C" const char* __asan_default_options() { return "suppressions=" X11_TESTS_ASAN_SUPPRESSIONS; }

namespace {

// One Xvfb for the test program, as the end-to-end sessions start theirs.
class XvfbEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        if (!m_server.start(1280, 800)) return;
        setenv("DISPLAY", m_server.display().c_str(), 1);
        setenv("PLUMBLINE_BACKEND", "x11", 1);
        s_ready = true;
    }
    void TearDown() override { m_server.stop(); }
    static inline bool s_ready = false;

private:
    test_support::XvfbServer m_server;
};

[[maybe_unused]] testing::Environment* const g_xvfb = testing::AddGlobalTestEnvironment(new XvfbEnvironment);

// Fills itself and records the mouse-downs it takes.
class ClickView : public NSView {
    NS_OBJECT(ClickView, NSView)
protected:
    ClickView() = default;

public:
    Ref<NSColor> fill;
    NSRect painted = NSZeroRect;  // the part filled; the rest stays clear
    std::vector<NSPoint> downs;
    std::vector<NSInteger> clickCounts;
    int ups = 0;
    void drawRect(const NSRect&) override
    {
        if (!fill) return;
        fill->setFill();
        NSRectFill(NSIsEmptyRect(painted) ? bounds() : painted);
    }
    void mouseDown(const Ref<NSEvent>& e) override
    {
        downs.push_back(convertPoint(e->locationInWindow(), nullptr));
        clickCounts.push_back(e->clickCount());
    }
    void mouseUp(const Ref<NSEvent>&) override { ++ups; }
    bool acceptsFirstResponder() const override { return true; }
    struct Key {
        unsigned short code;
        std::u16string characters;
        std::u16string ignoring;
        NSUInteger flags;
    };
    std::vector<Key> keys;
    void keyDown(const Ref<NSEvent>& e) override
    {
        keys.push_back({e->keyCode(), e->characters()->utf16(), e->charactersIgnoringModifiers()->utf16(),
                        e->modifierFlags() & NSDeviceIndependentModifierFlagsMask});
    }
};
NS_CLASS_DEFINE(ClickView)

class X11BackendTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!XvfbEnvironment::s_ready) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        NSApplication::sharedApplication();
        ASSERT_NE(X11WindowServer::current(), nullptr);
        m_conn = xcb_connect(nullptr, nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_conn));
    }
    void TearDown() override
    {
        for (auto& w : NSWindow::allWindows()) w->orderOut(nullptr);
        if (m_conn) xcb_disconnect(m_conn);
    }

    static X11WindowServer& server() { return *X11WindowServer::current(); }

    static Ref<NSWindow> makeWindow(const NSRect& frame, const Ref<NSColor>& colour, bool opaque = true,
                                    NSRect painted = NSZeroRect)
    {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSBorderlessWindowMask, NSBackingStoreBuffered,
                                                                  false);
        if (!opaque) {
            w->setOpaque(false);
            w->setBackgroundColor(NSColor::clearColor());
        }
        auto view = NSObject::alloc<ClickView>();
        view->initWithFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
        view->fill = colour;
        view->painted = painted;
        w->setContentView(view);
        w->orderFront(nullptr);
        return w;
    }
    static Ref<ClickView> viewOf(const Ref<NSWindow>& w) { return dynamic_ref_cast<ClickView>(w->contentView()); }

    // The root window's pixel (X coordinates), as the server shows it.
    uint32_t rootPixel(int x, int y)
    {
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        auto* r = xcb_get_image_reply(
            m_conn, xcb_get_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), 1, 1, ~0u), nullptr);
        if (!r) return 0;
        uint32_t v = *reinterpret_cast<uint32_t*>(xcb_get_image_data(r)) & 0xFFFFFF;
        std::free(r);
        return v;
    }

    // Waits until the program has handled every event its own requests and
    // ours caused so far: an exposure of one pixel of its window, asked for
    // after a round trip on its connection, comes after them, and its upload
    // shows. A check that something did not happen follows this.
    bool waitForEventsSoFar(xcb_window_t xid)
    {
        xcb_connection_t* program = server().connection();
        std::free(xcb_get_input_focus_reply(program, xcb_get_input_focus(program), nullptr));
        const uint64_t before = server().uploadedPixels();
        xcb_clear_area(m_conn, 1, xid, 0, 0, 1, 1);
        xcb_flush(m_conn);
        return waitFor([&] { return server().uploadedPixels() > before; });
    }

    // Grabs the whole keyboard from the test's own connection and lets it go
    // at once: answers the grab status (ALREADY_GRABBED while the program
    // holds the keyboard).
    uint8_t tryGrabKeyboard()
    {
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        auto* r = xcb_grab_keyboard_reply(
            m_conn, xcb_grab_keyboard(m_conn, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        const uint8_t status = r ? r->status : 0xFF;
        std::free(r);
        if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_keyboard(m_conn, XCB_CURRENT_TIME);
        xcb_flush(m_conn);
        return status;
    }

    std::string property(xcb_window_t w, xcb_atom_t atom)
    {
        auto* r = xcb_get_property_reply(m_conn, xcb_get_property(m_conn, 0, w, atom, XCB_ATOM_ANY, 0, 256), nullptr);
        if (!r) return {};
        std::string s(static_cast<const char*>(xcb_get_property_value(r)), size_t(xcb_get_property_value_length(r)));
        std::free(r);
        return s;
    }

    xcb_keycode_t keycodeOf(uint32_t keysym)
    {
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_conn);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        std::free(codes);
        xcb_key_symbols_free(symbols);
        return code;
    }

    static bool isCloseBoxRed(uint32_t rgb)
    {
        return (rgb >> 16) > 200 && ((rgb >> 8) & 0xFF) < 140 && (rgb & 0xFF) < 140;
    }

    xcb_connection_t* m_conn = nullptr;
};

}

TEST_F(X11BackendTest, ScreensWindowsAndPixelsAreWhereTheGlobalSpaceSays)
{
    auto screens = server().screens();
    ASSERT_FALSE(screens.empty());
    EXPECT_EQ(screens[0].frame, NSMakeRect(0, 0, 1280, 800));
    // The menu bar's strip is left out at the top.
    EXPECT_EQ(screens[0].visibleFrame, NSMakeRect(0, 0, 1280, 776));

    auto w = makeWindow(NSMakeRect(100, 200, 300, 150), NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    w->setRoleName("Corner Ruler", WSWindowType::utility);
    const xcb_window_t xid = server().xWindow(w->windowNumber());
    ASSERT_NE(xid, 0u);
    // y up from the bottom of the 800-row screen: the top edge is row 450.
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    ASSERT_TRUE(waitFor([&] { return rootPixel(150, 500) == 0xFF0000; }));
    auto* geometry = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, xid), nullptr);
    auto* place = xcb_translate_coordinates_reply(m_conn, xcb_translate_coordinates(m_conn, xid, root, 0, 0), nullptr);
    ASSERT_TRUE(geometry && place);
    EXPECT_EQ(place->dst_x, 100);
    EXPECT_EQ(place->dst_y, 450);
    EXPECT_EQ(geometry->width, 300);
    EXPECT_EQ(geometry->height, 150);
    std::free(geometry);
    std::free(place);
    EXPECT_EQ(rootPixel(99, 500), 0u) << "outside the window";
    EXPECT_EQ(property(xid, XCB_ATOM_WM_NAME), "Corner Ruler");
    EXPECT_EQ(property(xid, XCB_ATOM_WM_CLASS), std::string("Corner Ruler\0Plumbline\0", 23));

    // A resize to nothing still reaches the server as one pixel.
    w->setFrame(NSMakeRect(100, 200, 0, -5), true);
    ASSERT_TRUE(waitFor([&] {
        auto* g = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, xid), nullptr);
        const bool one = g && g->width == 1 && g->height == 1;
        std::free(g);
        return one;
    }));
}

// Whatever frame AppKit asks for, what reaches the server fits X: sizes
// from 1 to 32767 (the largest surface there is), places within 16 bits,
// far-off values without overflow.
TEST_F(X11BackendTest, FramesReachTheServerWithinXsLimits)
{
    const double far = 2147483000, huge = 1e12;  // far: an int, but not once the screen is added
    struct Case {
        NSRect frame;
        std::array<int, 4> x;  // x, y (800 - origin.y - height), width, height
    };
    const Case cases[] = {
        {NSMakeRect(100, 200, 300, 150), {100, 450, 300, 150}},
        {NSMakeRect(100, 200, 0, -5), {100, 599, 1, 1}},
        {NSMakeRect(0, 0, 40000, 70000), {0, 800 - 32767, 32767, 32767}},
        {NSMakeRect(far, -far, 10, 10), {32767, 32767, 10, 10}},
        {NSMakeRect(-huge, huge, huge, huge), {-32768, -32768, 32767, 32767}},
        {NSMakeRect(0, 0, std::nan(""), std::nan("")), {0, 799, 1, 1}},
    };
    for (const auto& c : cases) {
        const auto r = server().rectToX(c.frame);
        EXPECT_EQ((std::array<int, 4>{r.x, r.y, r.width, r.height}), c.x)
            << c.frame.origin.x << ", " << c.frame.origin.y << ", " << c.frame.size.width << " x "
            << c.frame.size.height;
    }

    // A window wider than X allows is as wide as allowed, and so is what it
    // draws into.
    auto w = makeWindow(NSMakeRect(0, 100, 40000, 10), NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    auto* g = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, server().xWindow(w->windowNumber())), nullptr);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->width, 32767);
    std::free(g);
    auto surface = server().surface(w->windowNumber());
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->width(), 32767u);
    EXPECT_TRUE(waitFor([&] { return rootPixel(1000, 695) == 0xFF0000; }));
}

// The work area is whatever another client wrote: a sound one trims the
// visible frame, values no X screen has are ignored.
TEST_F(X11BackendTest, TheWorkAreaTrimsTheVisibleFrameAndNonsenseIsIgnored)
{
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    auto* atomReply = xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, 13, "_NET_WORKAREA"), nullptr);
    ASSERT_NE(atomReply, nullptr);
    const xcb_atom_t workArea = atomReply->atom;
    std::free(atomReply);
    const NSRect whole = NSMakeRect(0, 0, 1280, 776);  // the screen less the menu bar's strip
    struct Case {
        std::array<uint32_t, 4> area;  // x, y, width, height (y down)
        NSRect visible;
    };
    const Case cases[] = {
        {{0, 0, 1280, 700}, NSMakeRect(0, 100, 1280, 676)},
        {{0, 0x7FFFFFFF, 1280, 0x7FFFFFFF}, whole},
        {{0, 24, 1280, 736}, NSMakeRect(0, 40, 1280, 736)},
        {{0, 0, 0x80000000, 0x80000000}, whole},
    };
    for (const auto& c : cases) {
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, root, workArea, XCB_ATOM_CARDINAL, 32, 4, c.area.data());
        xcb_flush(m_conn);
        EXPECT_TRUE(waitFor([&] { return server().screens().at(0).visibleFrame == c.visible; }))
            << c.area[0] << ", " << c.area[1] << ", " << c.area[2] << ", " << c.area[3];
    }
    xcb_delete_property(m_conn, root, workArea);
    xcb_flush(m_conn);
}

TEST_F(X11BackendTest, ClicksReachTheViewWithItsCoordinatesAndCounts)
{
    auto w = makeWindow(NSMakeRect(100, 200, 300, 150), NSColor::colorWithCalibratedRed(0, 0, 1, 1));
    auto view = viewOf(w);
    ASSERT_TRUE(waitFor([&] { return rootPixel(150, 500) == 0x0000FF; }));
    // Root (150, 500) is global (150, 300): 50 right of and 100 above the window's corner.
    ASSERT_TRUE(runTool({"xdotool", "mousemove", "150", "500", "click", "--repeat", "2", "--delay", "50", "1"}));
    ASSERT_TRUE(waitFor([&] { return view->ups == 2; }));
    ASSERT_EQ(view->downs.size(), 2u);
    EXPECT_EQ(view->downs[0], NSMakePoint(50, 100));
    EXPECT_EQ(view->clickCounts, (std::vector<NSInteger>{1, 2}));
}

TEST_F(X11BackendTest, TransparentPixelsLetClicksThroughToTheWindowBelow)
{
    auto below = makeWindow(NSMakeRect(100, 200, 300, 150), NSColor::colorWithCalibratedRed(0, 0, 1, 1));
    // Paints only its left half; the right half is clear.
    auto above = makeWindow(NSMakeRect(100, 200, 300, 150), NSColor::colorWithCalibratedRed(0, 1, 0, 1), false,
                            NSMakeRect(0, 0, 150, 150));
    ASSERT_TRUE(waitFor([&] { return rootPixel(120, 500) == 0x00FF00; }));
    ASSERT_TRUE(runTool({"xdotool", "mousemove", "350", "500", "click", "1"}));
    ASSERT_TRUE(waitFor([&] { return viewOf(below)->ups == 1; }));
    EXPECT_TRUE(viewOf(above)->downs.empty());
    EXPECT_EQ(viewOf(below)->downs.at(0), NSMakePoint(250, 100));

    ASSERT_TRUE(runTool({"xdotool", "mousemove", "120", "500", "click", "1"}));
    ASSERT_TRUE(waitFor([&] { return viewOf(above)->ups == 1; }));
    EXPECT_EQ(viewOf(below)->downs.size(), 1u);

    // The input region itself is the painted half, whatever a compositor does
    // with the window's shape.
    auto* r = xcb_shape_get_rectangles_reply(
        m_conn, xcb_shape_get_rectangles(m_conn, server().xWindow(above->windowNumber()), XCB_SHAPE_SK_INPUT), nullptr);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(xcb_shape_get_rectangles_rectangles_length(r), 1);
    const xcb_rectangle_t input = xcb_shape_get_rectangles_rectangles(r)[0];
    std::free(r);
    EXPECT_EQ(input.x, 0);
    EXPECT_EQ(input.y, 0);
    EXPECT_EQ(input.width, 150);
    EXPECT_EQ(input.height, 150);
}

TEST_F(X11BackendTest, HotKeyFiresOnReleaseAndAHeldCombinationIsRefused)
{
    int fired = 0;
    const NSInteger id = server().registerHotKey(kVK_ANSI_K, cmdKey, [&] { ++fired; });
    ASSERT_NE(id, 0);
    // Num Lock on must not matter.
    ASSERT_TRUE(runTool({"xdotool", "key", "Num_Lock", "super+k", "Num_Lock"}));
    ASSERT_TRUE(waitFor([&] { return fired == 1; }));
    // The modifier let go before the key: the key's release still fires.
    ASSERT_TRUE(runTool({"xdotool", "keydown", "super", "keydown", "k", "keyup", "super", "keyup", "k"}));
    ASSERT_TRUE(waitFor([&] { return fired == 2; }));
    server().unregisterHotKey(id);

    // Another client holds Super+Shift+J without Lock: the registration is
    // refused and the variants it had grabbed are released.
    const xcb_keycode_t j = keycodeOf('j');
    ASSERT_NE(j, 0);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    const uint16_t mask = XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT;
    ASSERT_EQ(xcb_request_check(
                  m_conn, xcb_grab_key_checked(m_conn, 0, root, mask, j, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)),
              nullptr);
    EXPECT_EQ(server().registerHotKey(kVK_ANSI_J, cmdKey | shiftKey, [] {}), 0);
    // The release comes over the program's own connection: allow it to arrive.
    EXPECT_TRUE(waitFor([&] {
        xcb_generic_error_t* error =
            xcb_request_check(m_conn, xcb_grab_key_checked(m_conn, 0, root, mask | XCB_MOD_MASK_LOCK, j,
                                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    })) << "the refused registration still holds the Caps Lock variant";
}

TEST_F(X11BackendTest, PointerMonitorFollowsXTestMotionAnywhere)
{
    std::vector<NSPoint> seen;
    const NSInteger token = server().addGlobalPointerMonitor([&](NSPoint p, NSUInteger) { seen.push_back(p); });
    ASSERT_TRUE(runTool(
        {"xdotool", "mousemove", "400", "300", "mousemove_relative", "1", "0", "mousemove_relative", "--", "-1", "0"}));
    const bool arrived = waitFor([&] { return !seen.empty() && seen.back() == NSMakePoint(400, 500); });
    server().removeGlobalPointerMonitor(token);
    EXPECT_TRUE(arrived) << (seen.empty()
                                 ? std::string("no motion seen")
                                 : "last seen " + std::to_string(seen.back().x) + ", " + std::to_string(seen.back().y));
    EXPECT_EQ(NSEvent::mouseLocation(), NSMakePoint(400, 500));
}

TEST_F(X11BackendTest, TheKeyWindowGetsTheFocusAndKeysByPosition)
{
    auto w = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(200, 200, 200, 100), NSTitledWindowMask,
                                                              NSBackingStoreBuffered, false);
    auto view = NSObject::alloc<ClickView>();
    view->initWithFrame(NSMakeRect(0, 0, 200, 100));
    w->setContentView(view);
    w->makeKeyAndOrderFront(nullptr);
    w->makeFirstResponder(view);
    const xcb_window_t xid = server().xWindow(w->windowNumber());
    // With no window manager the backend gives the focus itself.
    ASSERT_TRUE(waitFor([&] {
        auto* r = xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr);
        const bool focused = r && r->focus == xid;
        std::free(r);
        return focused;
    }));
    ASSERT_TRUE(runTool({"xdotool", "key", "a", "shift+b", "Left", "super+q"}));
    ASSERT_TRUE(waitFor([&] { return view->keys.size() == 4; }));
    EXPECT_EQ(view->keys[0].code, kVK_ANSI_A);
    EXPECT_EQ(view->keys[0].characters, u"a");
    EXPECT_EQ(view->keys[1].code, kVK_ANSI_B);
    EXPECT_EQ(view->keys[1].characters, u"B");
    EXPECT_EQ(view->keys[1].flags, NSUInteger(NSShiftKeyMask));
    EXPECT_EQ(view->keys[2].code, kVK_LeftArrow);
    EXPECT_EQ(view->keys[2].characters, std::u16string(1, NSLeftArrowFunctionKey));
    EXPECT_TRUE(view->keys[2].flags & NSFunctionKeyMask);
    EXPECT_EQ(view->keys[3].code, kVK_ANSI_Q);
    EXPECT_EQ(view->keys[3].ignoring, u"q");
    EXPECT_EQ(view->keys[3].flags, NSUInteger(NSCommandKeyMask));
}

TEST_F(X11BackendTest, AnOverlayStaysAboveAWindowMappedLater)
{
    auto overlay = makeWindow(NSMakeRect(100, 200, 100, 100), NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    overlay->setLevel(NSStatusWindowLevel);
    ASSERT_TRUE(waitFor([&] { return rootPixel(150, 550) == 0xFF0000; }));
    // Another client maps a white window over the same place.
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data;
    const xcb_window_t other = xcb_generate_id(m_conn);
    const uint32_t values[] = {screen->white_pixel};
    xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, other, screen->root, 0, 0, 400, 700, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, values);
    xcb_map_window(m_conn, other);
    xcb_flush(m_conn);
    ASSERT_TRUE(waitFor([&] { return rootPixel(300, 600) == 0xFFFFFF; }));
    EXPECT_TRUE(waitFor([&] { return rootPixel(150, 550) == 0xFF0000; }));
    // Raised later, it is covered again no longer than a turn.
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(m_conn, other, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(m_conn);
    std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    EXPECT_TRUE(waitFor([&] { return rootPixel(150, 550) == 0xFF0000; }));
}

TEST_F(X11BackendTest, SuspendingShortcutsHoldsTheKeyboardUntilTheModeEnds)
{
    void* token = PushSymbolicHotKeyMode(kHIHotKeyModeAllDisabled);
    EXPECT_EQ(tryGrabKeyboard(), XCB_GRAB_STATUS_ALREADY_GRABBED);
    PopSymbolicHotKeyMode(token);
    // The release comes over the program's own connection: allow it to arrive.
    EXPECT_TRUE(waitFor([&] { return tryGrabKeyboard() == XCB_GRAB_STATUS_SUCCESS; }));
}

// Recording happens in one window; an alert shown over it (a refused
// combination) takes the key status and closes again while recording goes
// on: the keyboard stays held. The recording window hiding lets it go.
TEST_F(X11BackendTest, TheRecordingWindowNotAnAlertOverItEndsTheKeyboardGrab)
{
    auto titled = [](const NSRect& frame) {
        auto w =
            NSObject::alloc<NSWindow>()->initWithContentRect(frame, NSTitledWindowMask, NSBackingStoreBuffered, false);
        w->makeKeyAndOrderFront(nullptr);
        return w;
    };
    auto recording = titled(NSMakeRect(200, 200, 300, 200));
    void* token = PushSymbolicHotKeyMode(kHIHotKeyModeAllDisabled);
    EXPECT_EQ(tryGrabKeyboard(), XCB_GRAB_STATUS_ALREADY_GRABBED);

    auto alert = titled(NSMakeRect(250, 250, 200, 100));
    EXPECT_EQ(server().keyWindow(), alert->windowNumber());
    alert->orderOut(nullptr);
    EXPECT_EQ(server().keyWindow(), recording->windowNumber());
    // A release would come over the program's connection while it handles
    // what the alert's going caused.
    ASSERT_TRUE(waitForEventsSoFar(server().xWindow(recording->windowNumber())));
    EXPECT_EQ(tryGrabKeyboard(), XCB_GRAB_STATUS_ALREADY_GRABBED);

    recording->orderOut(nullptr);
    EXPECT_TRUE(waitFor([&] { return tryGrabKeyboard() == XCB_GRAB_STATUS_SUCCESS; }));
    PopSymbolicHotKeyMode(token);
}

// While a menu tracks, a press over another client's window comes to the
// menu's window (outside its bounds, so the menu can close) and not to that
// client; once tracking ends the pointer is free again.
TEST_F(X11BackendTest, MenuTrackingTakesPressesOverOtherClientsWindows)
{
    auto menu = makeWindow(NSMakeRect(100, 400, 200, 100), NSColor::colorWithCalibratedRed(0, 1, 0, 1));
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data;
    const xcb_window_t other = xcb_generate_id(m_conn);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, other, screen->root, 600, 300, 200, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    xcb_map_window(m_conn, other);
    xcb_flush(m_conn);
    ASSERT_TRUE(waitFor([&] { return rootPixel(700, 400) == 0xFFFFFF && rootPixel(150, 350) == 0x00FF00; }));
    auto pointerGrab = [&] {
        auto* r = xcb_grab_pointer_reply(m_conn,
                                         xcb_grab_pointer(m_conn, 0, screen->root, 0, XCB_GRAB_MODE_ASYNC,
                                                          XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                                         nullptr);
        const uint8_t status = r ? r->status : 0xFF;
        std::free(r);
        if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_pointer(m_conn, XCB_CURRENT_TIME);
        xcb_flush(m_conn);
        return status;
    };
    auto otherPresses = [&] {
        int presses = 0;
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
            if ((e->response_type & 0x7F) == XCB_BUTTON_PRESS) ++presses;
            std::free(e);
        }
        return presses;
    };

    // The presses as a tracking loop sees them: the event's window and its
    // place in it (a view would not take one outside its window).
    std::vector<std::pair<NSInteger, NSPoint>> downs;
    auto waitForDowns = [&](size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (downs.size() < count && std::chrono::steady_clock::now() < deadline)
            if (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, NSDate::dateWithTimeIntervalSinceNow(0.01),
                                                      NSDefaultRunLoopMode, true);
                e && e->type() == NSEventTypeLeftMouseDown)
                downs.emplace_back(e->windowNumber(), e->locationInWindow());
        return downs.size() == count;
    };

    server().beginMenuTracking(menu->windowNumber());
    EXPECT_EQ(pointerGrab(), XCB_GRAB_STATUS_ALREADY_GRABBED);
    // Root (700, 400) is global (700, 400), 600 right of the menu's corner.
    ASSERT_TRUE(runTool({"xdotool", "mousemove", "700", "400", "click", "1"}));
    ASSERT_TRUE(waitForDowns(1));
    EXPECT_EQ(downs[0].first, menu->windowNumber());
    EXPECT_EQ(downs[0].second, NSMakePoint(600, 0));
    // The menu's own window still gets its presses as usual.
    ASSERT_TRUE(runTool({"xdotool", "mousemove", "150", "350", "click", "1"}));
    ASSERT_TRUE(waitForDowns(2));
    EXPECT_EQ(downs[1].second, NSMakePoint(50, 50));
    std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    EXPECT_EQ(otherPresses(), 0);

    server().endMenuTracking();
    EXPECT_TRUE(waitFor([&] { return pointerGrab() == XCB_GRAB_STATUS_SUCCESS; }));
    ASSERT_TRUE(runTool({"xdotool", "mousemove", "700", "400", "click", "1"}));
    std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    EXPECT_EQ(otherPresses(), 1);
    // A press on the menu's window must come; the one before it must not
    // have come first.
    ASSERT_TRUE(runTool({"xdotool", "mousemove", "150", "350", "click", "1"}));
    ASSERT_TRUE(waitForDowns(3));
    EXPECT_EQ(downs[2].first, menu->windowNumber());
    EXPECT_EQ(downs[2].second, NSMakePoint(50, 50));
    xcb_destroy_window(m_conn, other);
    xcb_flush(m_conn);
}

// The root shrinks through RandR (Xvfb then reports no monitor: the screen
// is the root): the screens follow, observers hear of it, the menu bar
// spans the new top with its strip reserved, and a window keeps its global
// place.
TEST_F(X11BackendTest, ARandRChangeMovesTheScreensTheMenuBarAndTheWindows)
{
    if (!test_support::onPath("xrandr")) GTEST_SKIP() << "xrandr is not installed";
    auto mainMenu = NSMenu::menuWithTitle("Main"_ns);
    auto file = NSMenu::menuWithTitle("File"_ns);
    file->addItemWithTitle("Open"_ns, "open:", ""_ns);
    mainMenu->addItemWithTitle("File"_ns, {}, ""_ns)->setSubmenu(file);
    NSApp->setMainMenu(mainMenu);
    auto bar = MenuBarWindow::shared();
    ASSERT_TRUE(bar);
    auto w = makeWindow(NSMakeRect(100, 200, 50, 50), NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    int posted = 0;
    auto center = NSNotificationCenter::defaultCenter();
    Id observer =
        center->addObserverForName(NSString::stringWithUTF8String(NSApplicationDidChangeScreenParametersNotification),
                                   nullptr, nullptr, [&](const Ref<NSNotification>&) { ++posted; });
    auto xPlace = [&](xcb_window_t xid) {
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        auto* t = xcb_translate_coordinates_reply(m_conn, xcb_translate_coordinates(m_conn, xid, root, 0, 0), nullptr);
        auto* g = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, xid), nullptr);
        std::vector<int> place{t ? t->dst_x : -1, t ? t->dst_y : -1, g ? g->width : -1, g ? g->height : -1};
        std::free(t);
        std::free(g);
        return place;
    };
    const xcb_window_t barX = server().xWindow(bar->windowNumber());
    ASSERT_TRUE(waitFor([&] { return xPlace(barX) == std::vector<int>{0, 0, 1280, 24}; }));

    // xrandr reports an error for the output it had to turn off; the size changes.
    runTool({"sh", "-c", "xrandr --fb 1024x768 2>/dev/null"});
    EXPECT_TRUE(waitFor([&] { return posted > 0 && bar->frame() == NSMakeRect(0, 744, 1024, 24); }));
    ASSERT_FALSE(server().screens().empty());
    EXPECT_EQ(server().screens()[0].frame, NSMakeRect(0, 0, 1024, 768));
    EXPECT_TRUE(waitFor([&] { return xPlace(barX) == std::vector<int>{0, 0, 1024, 24}; }));
    auto* strutAtom = xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, 21, "_NET_WM_STRUT_PARTIAL"), nullptr);
    ASSERT_NE(strutAtom, nullptr);
    const std::string strut = property(barX, strutAtom->atom);
    std::free(strutAtom);
    ASSERT_EQ(strut.size(), 48u);
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(strut.data())[9], 1023u);
    EXPECT_EQ(w->frame(), NSMakeRect(100, 200, 50, 50));
    // 200 above the bottom of 768 rows: its top is row 518.
    const xcb_window_t windowX = server().xWindow(w->windowNumber());
    EXPECT_TRUE(waitFor([&] { return xPlace(windowX) == std::vector<int>{100, 518, 50, 50}; }));

    runTool({"xrandr", "--fb", "1280x800", "--output", "screen", "--mode", "1280x800"});
    EXPECT_TRUE(waitFor([&] { return bar->frame() == NSMakeRect(0, 776, 1280, 24); }));
    center->removeObserver(observer);
    NSApp->setMainMenu(nullptr);
}

TEST_F(X11BackendTest, ALayoutChangeRebuildsTheKeyNamesAndTellsObservers)
{
    if (!test_support::onPath("setxkbmap")) GTEST_SKIP() << "setxkbmap is not installed";
    int notices = 0;
    Id token = NSDistributedNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(kTISNotifySelectedKeyboardInputSourceChanged), nullptr, nullptr,
        [&](const Ref<NSNotification>&) { ++notices; });
    EXPECT_EQ(KeyboardLayout::current()->key(kVK_ANSI_A).unshifted, u'a');
    ASSERT_TRUE(runTool({"setxkbmap", "fr"}));
    EXPECT_TRUE(waitFor([&] { return KeyboardLayout::current()->key(kVK_ANSI_A).unshifted == u'q'; }));
    EXPECT_GE(notices, 1);
    // Dead keys show what they add.
    const auto circumflex = KeyboardLayout::current()->key(kVK_ANSI_LeftBracket);
    EXPECT_TRUE(circumflex.dead);
    EXPECT_EQ(circumflex.unshifted, u'^');
    NSDistributedNotificationCenter::defaultCenter()->removeObserver(token);
    runTool({"setxkbmap", "us"});
}

TEST_F(X11BackendTest, LosingTheDisplayTerminatesTheApplication)
{
    // Ends the program's connection for good: only in a process of its own.
    if (testing::UnitTest::GetInstance()->test_to_run_count() != 1)
        GTEST_SKIP() << "run alone (as CTest does): it ends the connection the other tests use";
    NSApplication::setExitsOnTerminate(false);
    shutdown(xcb_get_file_descriptor(server().connection()), SHUT_RDWR);
    EXPECT_TRUE(waitFor([] { return NSApp->hasTerminated(); }));
    // The lost server answers calls without touching the connection.
    server().beep();
    EXPECT_EQ(server().registerHotKey(kVK_ANSI_K, cmdKey, [] {}), 0);
}

TEST_F(X11BackendTest, OnlyTheRedrawnAreaIsUploaded)
{
    auto w = makeWindow(NSMakeRect(100, 200, 400, 300), NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    auto spot = NSObject::alloc<ClickView>();
    spot->initWithFrame(NSMakeRect(50, 50, 10, 10));
    spot->fill = NSColor::colorWithCalibratedRed(0, 1, 0, 1);
    w->contentView()->addSubview(spot);
    // Global (55, 55) in the window is root (155, 800 - 255).
    ASSERT_TRUE(waitFor([&] { return rootPixel(155, 545) == 0x00FF00 && rootPixel(300, 400) == 0xFF0000; }));

    uint64_t before = server().uploadedPixels();
    spot->fill = NSColor::colorWithCalibratedRed(0, 0, 1, 1);
    spot->setNeedsDisplay(true);
    ASSERT_TRUE(waitFor([&] { return rootPixel(155, 545) == 0x0000FF; }));
    EXPECT_EQ(server().uploadedPixels() - before, 100u) << "the 10 x 10 view, nothing more";

    // Drawn again without a change: nothing goes up.
    before = server().uploadedPixels();
    w->display();
    EXPECT_EQ(server().uploadedPixels() - before, 0u);

    // Two spots apart on the same rows, redrawn in one turn: each goes up on
    // its own, not the stretch between them.
    auto other = NSObject::alloc<ClickView>();
    other->initWithFrame(NSMakeRect(300, 50, 10, 10));
    other->fill = NSColor::colorWithCalibratedRed(0, 1, 0, 1);
    w->contentView()->addSubview(other);
    ASSERT_TRUE(waitFor([&] { return rootPixel(405, 545) == 0x00FF00; }));
    before = server().uploadedPixels();
    spot->fill = other->fill = NSColor::colorWithCalibratedRed(1, 1, 0, 1);
    spot->setNeedsDisplay(true);
    other->setNeedsDisplay(true);
    ASSERT_TRUE(waitFor([&] { return rootPixel(155, 545) == 0xFFFF00 && rootPixel(405, 545) == 0xFFFF00; }));
    EXPECT_EQ(server().uploadedPixels() - before, 200u);
}

// Without shared memory (a remote display) pixels go up from the copy the
// program holds. Another client enlarges a window: the whole of it is
// exposed, more than that copy, and only what the copy holds goes up.
class X11WithoutSharedMemoryTest : public X11BackendTest {
protected:
    void SetUp() override
    {
        // Read when the server connects, in this test's own process.
        setenv("PLUMBLINE_X11_NO_SHM", "1", 1);
        X11BackendTest::SetUp();
    }
    void TearDown() override
    {
        X11BackendTest::TearDown();
        unsetenv("PLUMBLINE_X11_NO_SHM");
    }
};

TEST_F(X11WithoutSharedMemoryTest, ExposuresBeyondTheHeldPixelsUploadOnlyThose)
{
    auto w = makeWindow(NSMakeRect(100, 200, 100, 100), NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    const xcb_window_t xid = server().xWindow(w->windowNumber());
    ASSERT_TRUE(waitFor([&] { return rootPixel(150, 550) == 0xFF0000; }));
    const uint64_t before = server().uploadedPixels();
    const uint32_t size[] = {300, 300};
    xcb_configure_window(m_conn, xid, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(m_conn);
    EXPECT_TRUE(waitFor([&] { return server().uploadedPixels() - before >= 100 * 100; }));
    // Nothing more than the held pixels went up, besides the one pixel that
    // shows the program came past the resize's exposures.
    ASSERT_TRUE(waitForEventsSoFar(xid));
    EXPECT_EQ(server().uploadedPixels() - before, 100u * 100u + 1u);
    EXPECT_EQ(rootPixel(150, 550), 0xFF0000u);
}

// A stand-in for an EWMH window manager: the root names a check window that
// names itself. Nothing is managed, but the program believes one runs.
class FakeWindowManager {
public:
    explicit FakeWindowManager(xcb_connection_t* conn)
        : m_conn(conn)
    {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
        m_root = screen->root;
        m_check = xcb_generate_id(conn);
        xcb_create_window(conn, XCB_COPY_FROM_PARENT, m_check, m_root, -10, -10, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, m_check, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 32,
                            1, &m_check);
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 32,
                            1, &m_check);
        xcb_flush(conn);
    }
    ~FakeWindowManager()
    {
        xcb_delete_property(m_conn, m_root, atom("_NET_SUPPORTING_WM_CHECK"));
        xcb_destroy_window(m_conn, m_check);
        xcb_flush(m_conn);
    }
    xcb_atom_t atom(const char* name)
    {
        auto* r = xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return a;
    }

private:
    xcb_connection_t* m_conn;
    xcb_window_t m_root = 0, m_check = 0;
};

TEST_F(X11BackendTest, TitledWindowsLeaveTheirTitleBarToAWindowManager)
{
    const NSRect content = NSMakeRect(300, 300, 200, 100);
    const NSUInteger style = NSTitledWindowMask | NSClosableWindowMask;
    auto titled = [&] {
        auto w = NSObject::alloc<NSWindow>()->initWithContentRect(content, style, NSBackingStoreBuffered, false);
        w->setTitle("Titled"_ns);
        w->makeKeyAndOrderFront(nullptr);
        return w;
    };
    auto height = [&](xcb_window_t xid) {
        auto* g = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, xid), nullptr);
        const int h = g ? g->height : -1;
        std::free(g);
        return h;
    };
    // Content row 0 is root row 800 - 400 = 400; the layer's bar is above it.
    constexpr uint32_t kBar = 0xD9D9D9;
    {
        ASSERT_FALSE(server().hasWindowManager());
        auto w = titled();
        EXPECT_EQ(w->frame(), NSMakeRect(300, 300, 200, 122));
        EXPECT_EQ(w->contentRectForFrameRect(w->frame()), content);
        const xcb_window_t xid = server().xWindow(w->windowNumber());
        EXPECT_EQ(height(xid), 122);
        ASSERT_TRUE(waitFor([&] { return rootPixel(400, 379) == kBar; }));
        EXPECT_TRUE(isCloseBoxRed(rootPixel(314, 389))) << std::hex << rootPixel(314, 389);
        w->close();
    }

    // A window shown before the manager starts gives its bar's strip to the
    // content.
    auto early = titled();
    auto manager = std::make_unique<FakeWindowManager>(m_conn);
    ASSERT_TRUE(waitFor([&] { return server().hasWindowManager(); }));
    EXPECT_EQ(early->contentView()->frame(), NSMakeRect(0, 0, 200, 122));
    early->close();
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    // Requests to the manager go to the root: listen there.
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_conn, root, XCB_CW_EVENT_MASK, &events);
    xcb_flush(m_conn);

    auto w = titled();
    // The frame is the content both ways; the content view fills the window.
    EXPECT_EQ(w->frame(), content);
    EXPECT_EQ(NSWindow::frameRectForContentRect(content, style), content);
    EXPECT_EQ(w->contentRectForFrameRect(w->frame()), content);
    EXPECT_EQ(w->contentView()->frame(), NSMakeRect(0, 0, 200, 100));
    const xcb_window_t xid = server().xWindow(w->windowNumber());
    EXPECT_EQ(height(xid), 100);
    // The top row is background: no bar, no close box.
    ASSERT_TRUE(waitFor([&] { return rootPixel(400, 450) != 0; }));
    const uint32_t background = rootPixel(400, 450);
    EXPECT_NE(background, kBar);
    EXPECT_EQ(rootPixel(400, 400), background);
    EXPECT_EQ(rootPixel(314, 411), background);
    // A window that can close offers the manager's close function.
    const std::string motif = property(xid, manager->atom("_MOTIF_WM_HINTS"));
    ASSERT_EQ(motif.size(), 20u);
    EXPECT_TRUE(reinterpret_cast<const uint32_t*>(motif.data())[1] & 32u);

    // The key window is asked of the manager.
    bool activated = false;
    ASSERT_TRUE(waitFor([&] {
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
            if ((e->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
                const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
                if (m->type == manager->atom("_NET_ACTIVE_WINDOW") && m->window == xid) activated = true;
            }
            std::free(e);
        }
        return activated;
    }));

    // The manager's close button: WM_DELETE_WINDOW closes it as the layer's
    // close box would.
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = xid;
    m.type = manager->atom("WM_PROTOCOLS");
    m.data.data32[0] = manager->atom("WM_DELETE_WINDOW");
    xcb_send_event(m_conn, 0, xid, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&m));
    xcb_flush(m_conn);
    EXPECT_TRUE(waitFor([&] { return !w->isVisible(); }));

    // The manager gone, the layer draws title bars again.
    manager.reset();
    EXPECT_TRUE(waitFor([&] { return !server().hasWindowManager(); }));
}

// Under a window manager AppKit follows the places the manager gives its
// windows, but a notice sent before the manager handled the program's last
// request must not undo that request.
TEST_F(X11BackendTest, WindowManagerNoticesMoveWindowsButStaleOnesAreIgnored)
{
    auto manager = std::make_unique<FakeWindowManager>(m_conn);
    ASSERT_TRUE(waitFor([&] { return server().hasWindowManager(); }));
    auto w = makeWindow(NSMakeRect(100, 200, 300, 150), NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    const xcb_window_t xid = server().xWindow(w->windowNumber());
    // A manager's notice: synthetic, in root coordinates (y down).
    auto notice = [&](int x, int y, int width, int height) {
        xcb_configure_notify_event_t e{};
        e.response_type = XCB_CONFIGURE_NOTIFY;
        e.event = xid;
        e.window = xid;
        e.x = int16_t(x);
        e.y = int16_t(y);
        e.width = uint16_t(width);
        e.height = uint16_t(height);
        xcb_send_event(m_conn, 0, xid, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&e));
        xcb_flush(m_conn);
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    };

    // The program turns the window on its side; the manager still tells of
    // the old shape (handled within a few turns), then of the new one.
    w->setFrame(NSMakeRect(100, 200, 150, 300), true);
    notice(100, 450, 300, 150);
    ASSERT_TRUE(waitForEventsSoFar(xid));
    EXPECT_EQ(w->frame(), NSMakeRect(100, 200, 150, 300));
    notice(100, 300, 150, 300);

    // The user drags it with the manager: AppKit hears of the new place.
    notice(400, 100, 150, 300);
    EXPECT_TRUE(waitFor([&] { return w->frame() == NSMakeRect(400, 400, 150, 300); }))
        << w->frame().origin.x << ", " << w->frame().origin.y;

    manager.reset();
    EXPECT_TRUE(waitFor([&] { return !server().hasWindowManager(); }));
}
