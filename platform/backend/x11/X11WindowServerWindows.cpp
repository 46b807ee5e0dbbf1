#include "backend/x11/X11Window.h"

#include <algorithm>
#include <chrono>
#include <cmath>

// Windows: made and destroyed, their frames and attributes, and the places a
// window manager gives them.

X11Window* X11WindowServer::find(WSWindowID id)
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second.get();
}

const X11Window* X11WindowServer::find(WSWindowID id) const
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second.get();
}

X11Window* X11WindowServer::findX(xcb_window_t xid)
{
    for (auto& [id, w] : m_windows)
        if (w->xid == xid) return w.get();
    return nullptr;
}

xcb_window_t X11WindowServer::xWindow(WSWindowID window) const
{
    auto* w = find(window);
    return w ? w->xid : 0;
}

WSWindowID X11WindowServer::createWindow(const NSRect& frame, NSInteger level, bool opaque)
{
    const WSWindowID id = m_nextID++;
    auto w = std::make_unique<X11Window>(*this);
    w->info.windowID = id;
    w->info.frame = frame;
    w->info.level = level;
    w->info.opaque = opaque;
    const XRect x = rectToX(frame);
    w->surface = CGImage::create(x.width, x.height);
    m_windows[id] = std::move(w);
    return id;
}

void X11WindowServer::destroyWindow(WSWindowID window)
{
    auto* w = find(window);
    if (!w) return;
    std::erase(m_order, window);
    if (window == m_suspendingWindow) setSuspended(false);
    w->unrealize();
    w->releaseBuffer();
    m_windows.erase(window);
    if (m_key == window) m_key = 0;
    if (m_hover == window) m_hover = 0;
}

void X11WindowServer::setFrame(WSWindowID window, const NSRect& frame)
{
    auto* w = find(window);
    if (!w) return;
    const XRect old = rectToX(w->info.frame);
    const XRect r = rectToX(frame);
    w->info.frame = frame;
    const bool resized = r.width != old.width || r.height != old.height;
    // The old surface stays alive for whoever still draws into it.
    if (resized) w->surface = CGImage::create(r.width, r.height);
    if (!w->xid) return;
    // A place the window manager chose is already the window's.
    if (!w->configuredByServer) {
        if (resized) w->applySizeHints();
        w->applyStrut();
        w->requestPending = true;
        w->requested = r;
        w->requestedAt = std::chrono::steady_clock::now();
        const uint32_t values[] = {uint32_t(r.x), uint32_t(r.y), r.width, r.height};
        xcb_configure_window(
            m_conn, w->xid,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    }
    if (resized) {
        w->releaseBuffer();
        w->allocateBuffer();
        w->shapeDirty = true;
    }
}

void X11WindowServer::setLevel(WSWindowID window, NSInteger level)
{
    auto* w = find(window);
    if (!w || w->info.level == level) return;
    const bool wasAbove = w->info.level > 0;
    w->info.level = level;
    if (w->xid && m_wmRunning && wasAbove != (level > 0)) w->sendWMState(level > 0, atom("_NET_WM_STATE_ABOVE"));
    if (std::find(m_order.begin(), m_order.end(), window) != m_order.end()) {
        placeInOrder(window, 1, 0);
        applyStacking(window);
    }
}

void X11WindowServer::setAlpha(WSWindowID window, CGFloat alpha)
{
    auto* w = find(window);
    if (!w || w->info.alpha == alpha) return;
    w->info.alpha = std::clamp<CGFloat>(alpha, 0, 1);
    w->remakeIfVisualChanged();
    // The alpha is in the uploaded pixels: show them again.
    if (w->xid) flushWindow(window);
}

void X11WindowServer::setOpaque(WSWindowID window, bool opaque)
{
    auto* w = find(window);
    if (!w || w->info.opaque == opaque) return;
    w->info.opaque = opaque;
    w->shapeDirty = true;
    w->remakeIfVisualChanged();
    if (w->mapped) w->updateShape();
}

void X11WindowServer::setHasShadow(WSWindowID window, bool shadow)
{
    if (auto* w = find(window)) w->info.hasShadow = shadow;
}

void X11WindowServer::setIgnoresMouse(WSWindowID window, bool ignores)
{
    auto* w = find(window);
    if (!w || w->info.ignoresMouse == ignores) return;
    w->info.ignoresMouse = ignores;
    w->shapeDirty = true;
    if (w->xid) w->updateShape();
}

void X11WindowServer::setTitle(WSWindowID window, const std::string& title)
{
    auto* w = find(window);
    if (!w) return;
    w->info.title = title;
    w->applyNames();
}

void X11WindowServer::setRole(WSWindowID window, const std::string& role, WSWindowType type)
{
    auto* w = find(window);
    if (!w) return;
    w->info.role = role;
    w->info.type = type;
    w->applyNames();
    if (w->xid) w->applyHints();
}

std::optional<WSWindowInfo> X11WindowServer::windowInfo(WSWindowID window) const
{
    auto* w = find(window);
    if (!w) return std::nullopt;
    WSWindowInfo info = w->info;
    info.key = window == m_key;
    return info;
}

WSWindowID X11WindowServer::windowAtPoint(NSPoint p) const
{
    // Our own windows only: what other programs show is not ours to name.
    for (auto id : m_order) {
        const X11Window* w = find(id);
        const NSRect f = w->info.frame;
        if (w->info.ignoresMouse || !NSMouseInRect(p, f, false)) continue;
        if (w->info.opaque || !w->shown) return id;
        const auto col = size_t(std::floor(p.x - f.origin.x));
        const auto row = size_t(std::floor(NSMaxY(f) - p.y));
        if (col < w->shownWidth && row < w->shownHeight && (w->shown[row * w->shownWidth + col] >> 24)) return id;
    }
    return 0;
}

void X11WindowServer::noteConfigure(const xcb_configure_notify_event_t& e)
{
    // Only a window manager moves our windows; its synthetic notices carry
    // root coordinates. AppKit hears of the new place.
    if (!m_wmRunning || !(e.response_type & 0x80)) return;
    X11Window* w = findX(e.window);
    if (!w) return;
    auto same = [&](const XRect& r) { return r.x == e.x && r.y == e.y && r.width == e.width && r.height == e.height; };
    if (w->requestPending) {
        // A notice of an older place (the manager had not yet handled our
        // last request) would undo what AppKit asked for since. One that
        // differs long after the request is the manager's own choice.
        constexpr auto kSettle = std::chrono::seconds(1);
        if (same(w->requested)) w->requestPending = false;
        if (same(w->requested) || std::chrono::steady_clock::now() - w->requestedAt < kSettle) return;
        w->requestPending = false;
    }
    const NSRect frame = rectFromX(e.x, e.y, e.width, e.height);
    if (same(rectToX(w->info.frame))) return;
    w->configuredByServer = true;
    client().windowFrameChanged(w->info.windowID, frame);
    // The window may be gone: closed in answer to its new place.
    if (X11Window* still = findX(e.window)) still->configuredByServer = false;
}
