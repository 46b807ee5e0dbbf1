#include "backend/x11/X11Window.h"

#include <algorithm>
#include <cstdlib>

#include "WindowServer/WindowStacking.h"

// The order of windows: stacked by level, ours above the rest, or placed by a
// window manager; the key window.

void X11WindowServer::placeInOrder(WSWindowID id, int place, WSWindowID relativeTo)
{
    auto* w = find(id);
    if (!w) return;
    WindowStacking::placeInOrder(m_order, id, w->info.level, place, relativeTo,
                                 [&](WSWindowID other) { return find(other)->info.level; });
}

void X11WindowServer::orderWindow(WSWindowID window, int place, WSWindowID relativeTo)
{
    auto* w = find(window);
    if (!w) return;
    w->realize();
    w->info.visible = true;
    placeInOrder(window, place, relativeTo);
    if (!w->mapped) {
        xcb_map_window(m_conn, w->xid);
        w->mapped = true;
        // What was drawn while hidden.
        w->upload(0, 0, int(w->shownWidth), int(w->shownHeight));
        w->updateShape();
        // Made key before it was shown: the focus can go to it only now.
        if (window == m_key) w->giveFocus();
    }
    applyStacking(window);
}

void X11WindowServer::applyStacking(WSWindowID moved)
{
    if (m_wmRunning) {
        // The window manager stacks by its own rules (layers from
        // _NET_WM_STATE_ABOVE); the window that moved goes to its place among
        // ours.
        if (const X11Window* w = find(moved); w && w->mapped) w->restackUnderManager();
        return;
    }
    // Back to front, each raised to the top: ours end in order, above the rest.
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        const uint32_t mode = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_conn, find(*it)->xid, XCB_CONFIG_WINDOW_STACK_MODE, &mode);
    }
}

void X11WindowServer::raiseOverlays()
{
    // A window manager keeps the overlays it manages above; those made
    // before it started are ours to raise.
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        const X11Window* w = find(*it);
        if (w->info.level <= 0 || !w->xid || (m_wmRunning && !w->overrideRedirect)) continue;
        const uint32_t mode = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_conn, w->xid, XCB_CONFIG_WINDOW_STACK_MODE, &mode);
    }
}

void X11WindowServer::noteForeignRestack(xcb_window_t window)
{
    if (m_overlaysNeedRaise || asksToStayAbove(window)) return;
    m_overlaysNeedRaise = true;
}

bool X11WindowServer::asksToStayAbove(xcb_window_t window)
{
    auto* reply = xcb_get_property_reply(
        m_conn, xcb_get_property(m_conn, 0, window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 32), nullptr);
    if (!reply) return false;
    const auto* states = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
    const xcb_atom_t above = atom("_NET_WM_STATE_ABOVE");
    const bool found = reply->format == 32 && std::find(states, states + count, above) != states + count;
    std::free(reply);
    return found;
}

void X11WindowServer::raiseOverlaysIfNoted()
{
    if (!m_overlaysNeedRaise) return;
    m_overlaysNeedRaise = false;
    raiseOverlays();
}

void X11WindowServer::orderOut(WSWindowID window)
{
    auto* w = find(window);
    if (!w) return;
    w->info.visible = false;
    std::erase(m_order, window);
    if (m_hover == window) m_hover = 0;
    if (!w->mapped) return;
    // The recording window going away never leaves the keyboard grabbed.
    if (window == m_suspendingWindow) setSuspended(false);
    xcb_unmap_window(m_conn, w->xid);
    w->mapped = false;
    if (m_wmRunning) {
        // ICCCM withdrawal: the window manager also hears a synthetic unmap.
        xcb_unmap_notify_event_t e{};
        e.response_type = XCB_UNMAP_NOTIFY;
        e.event = m_root;
        e.window = w->xid;
        xcb_send_event(m_conn, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&e));
    }
}

void X11WindowServer::setKeyWindow(WSWindowID window)
{
    if (window == m_key) return;
    m_key = window;
    if (auto* w = find(window)) w->giveFocus();
    if (window) keepSuspensionWith(window);
}
