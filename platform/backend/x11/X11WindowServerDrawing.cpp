#include "backend/x11/X11Window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

// Drawing: the surfaces AppKit draws into and what goes up when it flushes.

Ref<CGImage> X11WindowServer::surface(WSWindowID window)
{
    auto* w = find(window);
    return w ? w->surface : nullptr;
}

void X11WindowServer::flushWindow(WSWindowID window)
{
    auto* w = find(window);
    if (!w || !w->surface) return;
    flushWindowRect(window, NSMakeRect(0, 0, CGFloat(w->surface->width()), CGFloat(w->surface->height())));
}

void X11WindowServer::flushWindowRect(WSWindowID window, const NSRect& changed) { flushWindowRects(window, {changed}); }

void X11WindowServer::flushWindowRects(WSWindowID window, const std::vector<NSRect>& changed)
{
    auto* w = find(window);
    if (!w || !w->surface) return;
    w->everFlushed = true;
    if (!w->xid) w->realize();
    if (!w->shown) return;
    if (w->uploadPending) {
        // The server may still read the segment: wait until it has, unless a
        // reply since (the pointer's, mostly) shows it has.
        if (!handledRequest(w->uploadSequence)) roundTrip();
        w->uploadPending = false;
    }
    const auto width = double(std::min(w->shownWidth, w->surface->width()));
    const auto height = double(std::min(w->shownHeight, w->surface->height()));
    const double surfaceHeight = double(w->surface->height());
    for (const NSRect& r : changed) {
        // The rectangle (y up) in surface pixels (y down), widened to whole
        // pixels: antialiased edges touch the pixels they overlap.
        const double left = std::clamp(std::floor(r.origin.x), 0.0, width);
        const double right = std::clamp(std::ceil(NSMaxX(r)), 0.0, width);
        const double top = std::clamp(std::floor(surfaceHeight - NSMaxY(r)), 0.0, height);
        const double bottom = std::clamp(std::ceil(surfaceHeight - r.origin.y), 0.0, height);
        if (left < right && top < bottom) w->updateShown(size_t(left), size_t(top), size_t(right), size_t(bottom));
    }
    if (w->mapped && w->shapeDirty) w->updateShape();
}

bool X11WindowServer::hasCompositor()
{
    const std::string name = "_NET_WM_CM_S" + std::to_string(m_screenNumber);
    auto* r = xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, atom(name.c_str())), nullptr);
    const bool owned = r && r->owner != XCB_NONE;
    std::free(r);
    return owned;
}
