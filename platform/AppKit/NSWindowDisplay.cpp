#include "AppKit/NSWindow.h"

#include <cmath>

#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "CoreGraphics/CGCairoContext.h"

// Display: the dirty region, drawn once per turn into the server's surface.

void NSWindow::setViewsNeedDisplay(bool flag)
{
    if (flag) invalidateRectInBase(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
}

void NSWindow::invalidateRectInBase(const NSRect& rect)
{
    if (NSIsEmptyRect(rect)) return;
    for (const auto& r : m_dirty)
        if (NSContainsRect(r, rect)) return;
    m_dirty.push_back(rect);
    // Keep the list short: many small rectangles become their union.
    if (m_dirty.size() > 16) {
        NSRect u = NSZeroRect;
        for (const auto& r : m_dirty) u = NSUnionRect(u, r);
        m_dirty = {u};
    }
}

namespace {

std::vector<NSRect> separateParts(const std::vector<NSRect>& dirty, const NSRect& bounds, const NSRect& area)
{
    // A few rectangles covering well under half their union; otherwise the
    // union is drawn whole (cheaper than many clips and uploads).
    constexpr size_t kMostParts = 4;
    if (dirty.size() < 2 || dirty.size() > kMostParts) return {area};
    std::vector<NSRect> parts;
    CGFloat covered = 0;
    for (const NSRect& r : dirty) {
        const NSRect part = NSIntersectionRect(r, bounds);
        if (NSIsEmptyRect(part)) continue;
        parts.push_back(part);
        covered += part.size.width * part.size.height;
    }
    if (parts.size() < 2 || covered > area.size.width * area.size.height / 2) return {area};
    return parts;
}

}

CGAffineTransform NSWindow::baseToSurfaceTransform() const { return {1, 0, 0, -1, 0, std::round(m_frame.size.height)}; }

Ref<NSGraphicsContext> NSWindow::makeSurfaceContext(Ref<CGImage>& surface)
{
    ensureServerWindow();
    surface = WindowServer::shared().surface(m_windowID);
    if (!surface) return nullptr;
    auto port = CGCairoContext::createForImage(surface);
    if (!port) return nullptr;
    auto context = NSGraphicsContext::graphicsContextWithGraphicsPort(port, false);
    context->setDrawingToScreen(true);
    return context;
}

void NSWindow::display()
{
    setViewsNeedDisplay(true);
    displayIfNeeded();
}

void NSWindow::displayIfNeeded()
{
    if (m_displaying || m_dirty.empty()) return;
    Ref<NSWindow> self(this);
    m_displaying = true;
    // A resize from inside drawRect: gives a new surface and a full dirty
    // region; draw again a bounded number of times, then leave the rest for
    // the next turn.
    for (int round = 0; round < 3 && !m_dirty.empty(); ++round) {
        // Views that lay out lazily do it now; what they move adds to the
        // dirty region drawn below.
        NSRect marked = NSZeroRect;
        for (const auto& r : m_dirty) marked = NSUnionRect(marked, r);
        try {
            m_frameView->prepareForDisplay(marked);
        } catch (...) {
            m_displaying = false;
            throw;
        }
        std::vector<NSRect> dirty;
        dirty.swap(m_dirty);
        Ref<CGImage> surface;  // kept alive while drawing, whatever happens to the window
        auto context = makeSurfaceContext(surface);
        if (!context) break;
        NSGraphicsContext::saveGraphicsState();
        NSGraphicsContext::setCurrentContext(context);
        // One pass over the union, so that each view draws once per display.
        const NSRect bounds = NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height);
        NSRect area = NSZeroRect;
        for (const auto& r : dirty) area = NSUnionRect(area, r);
        area = NSIntersectionRect(area, bounds);
        // Rectangles well apart (a marker's old and new place) clip the
        // drawing and go up on their own: the space between them is neither
        // painted nor compared.
        std::vector<NSRect> parts = separateParts(dirty, bounds, area);
        if (parts.size() > 1) {
            std::vector<CGRect> device;
            for (const NSRect& r : parts) device.push_back(CGRectApplyAffineTransform(r, baseToSurfaceTransform()));
            context->graphicsPort()->clipToRects(device);
        }
        try {
            m_frameView->drawInWindow(area);
        } catch (...) {
            NSGraphicsContext::restoreGraphicsState();
            m_displaying = false;
            throw;
        }
        context->flushGraphics();
        NSGraphicsContext::restoreGraphicsState();
        // Only the drawn area can have changed: the server need look no further.
        if (surface == WindowServer::shared().surface(m_windowID) && !m_flushDisabled)
            flushToServer(parts.size() > 1 ? parts : std::vector<NSRect>{area});
    }
    m_displaying = false;
}

void NSWindow::flushWindow()
{
    if (m_flushDisabled || !m_windowID) return;
    flushToServer({});
}

void NSWindow::flushToServer(const std::vector<NSRect>& changed)
{
    // With screen updates disabled the screen keeps what it shows; the
    // window goes out whole once they are enabled again.
    if (ScreenUpdatesDisabledCount() > 0) {
        m_flushHeld = true;
        return;
    }
    if (changed.empty()) WindowServer::shared().flushWindow(m_windowID);
    else if (changed.size() == 1) WindowServer::shared().flushWindowRect(m_windowID, changed.front());
    else WindowServer::shared().flushWindowRects(m_windowID, changed);
}

void NSWindow::flushWindowsHeldForScreenUpdates()
{
    for (auto& window : allWindows()) {
        if (!window->m_flushHeld) continue;
        window->m_flushHeld = false;
        if (window->m_windowID && !window->m_flushDisabled) window->flushToServer({});
    }
}
