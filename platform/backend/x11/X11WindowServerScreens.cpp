#include "backend/x11/X11Reply.h"

#include <xcb/randr.h>

#include <cstring>

#include "Foundation/NSRunLoop.h"
#include "backend/x11/X11Window.h"

// Screens from RandR and the work area, and whether a window manager runs.

namespace {

// The strip at the top of the main screen the menu-bar window takes (the
// headless server keeps the same).
constexpr int kMenuBarHeight = 24;

}

void X11WindowServer::detectWindowManager()
{
    // _NET_SUPPORTING_WM_CHECK names a window that names itself while an
    // EWMH window manager runs.
    auto windowProperty = [&](xcb_window_t w) -> xcb_window_t {
        auto r = reply(xcb_get_property_reply(
            m_conn, xcb_get_property(m_conn, 0, w, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1), nullptr));
        if (!r || r->type != XCB_ATOM_WINDOW || xcb_get_property_value_length(r.get()) < 4) return 0;
        return *static_cast<xcb_window_t*>(xcb_get_property_value(r.get()));
    };
    const xcb_window_t check = windowProperty(m_root);
    const bool was = m_wmRunning;
    m_wmRunning = check && windowProperty(check) == check;
    if (m_wmRunning != was) windowManagerChanged();
}

void X11WindowServer::reloadScreens()
{
    const int originX = m_originX, top = m_top;
    if (!loadScreens()) return;
    // Windows keep their global frames; with nobody else placing them, their
    // X places follow the main screen.
    if (!m_wmRunning && (originX != m_originX || top != m_top)) {
        for (auto& [id, w] : m_windows) {
            if (!w->xid) continue;
            const XRect r = rectToX(w->info.frame);
            const uint32_t values[] = {uint32_t(r.x), uint32_t(r.y)};
            xcb_configure_window(m_conn, w->xid, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
        }
    }
    // From the run loop, not from inside the event handler: observers move
    // windows, which talks to the server again.
    NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [this] { client().screensChanged(); });
}

bool X11WindowServer::loadScreens()
{
    struct Monitor {
        int x, y, w, h, mmW, mmH;
        bool primary;
    };
    std::vector<Monitor> monitors;
    if (m_randrEvent) {
        auto r = reply(xcb_randr_get_monitors_reply(m_conn, xcb_randr_get_monitors(m_conn, m_root, 1), nullptr));
        if (r) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem; xcb_randr_monitor_info_next(&it))
                monitors.push_back({it.data->x, it.data->y, it.data->width, it.data->height,
                                    int(it.data->width_in_millimeters), int(it.data->height_in_millimeters),
                                    bool(it.data->primary)});
        }
    }
    if (monitors.empty())
        monitors.push_back({0, 0, m_screen->width_in_pixels, m_screen->height_in_pixels, m_screen->width_in_millimeters,
                            m_screen->height_in_millimeters, true});
    // The primary monitor first; without one, the monitor at the X origin.
    std::stable_sort(monitors.begin(), monitors.end(), [](const Monitor& a, const Monitor& b) {
        if (a.primary != b.primary) return a.primary;
        return (a.x == 0 && a.y == 0) && !(b.x == 0 && b.y == 0);
    });
    m_originX = monitors[0].x;
    m_top = monitors[0].y + monitors[0].h;

    // The work area the window manager publishes (first desktop), in X pixels.
    std::optional<NSRect> workArea;
    auto wa = reply(xcb_get_property_reply(
        m_conn, xcb_get_property(m_conn, 0, m_root, atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (wa && wa->format == 32 && xcb_get_property_value_length(wa.get()) >= 16) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(wa.get()));
        // Any client may set it: values beyond X's coordinates are ignored.
        if (std::all_of(v, v + 4, [](uint32_t c) { return c <= 0xFFFF; }))
            workArea = rectFromX(int(v[0]), int(v[1]), int(v[2]), int(v[3]));
    }

    std::vector<WSScreen> screens;
    uint32_t id = 1;
    for (const auto& m : monitors) {
        WSScreen s;
        s.displayID = id++;
        s.frame = rectFromX(m.x, m.y, m.w, m.h);
        s.physicalSizeMM = NSMakeSize(m.mmW, m.mmH);
        NSRect visible = s.frame;
        if (workArea) {
            const NSRect cut = NSIntersectionRect(visible, *workArea);
            if (!NSIsEmptyRect(cut)) visible = cut;
        }
        if (screens.empty()) {
            // The menu bar's strip, when the work area does not leave it out already.
            const CGFloat top = NSMaxY(s.frame) - kMenuBarHeight;
            if (NSMaxY(visible) > top) visible.size.height = std::max<CGFloat>(0, top - visible.origin.y);
        }
        s.visibleFrame = visible;
        screens.push_back(s);
    }
    auto same = [](const WSScreen& a, const WSScreen& b) {
        return NSEqualRects(a.frame, b.frame) && NSEqualRects(a.visibleFrame, b.visibleFrame) &&
               NSEqualSizes(a.physicalSizeMM, b.physicalSizeMM);
    };
    const bool changed = !std::equal(screens.begin(), screens.end(), m_screens.begin(), m_screens.end(), same);
    m_screens = std::move(screens);
    return changed;
}

void X11WindowServer::windowManagerChanged()
{
    // Titled windows' title bars change hands.
    client().windowDecorationsChanged();
}
