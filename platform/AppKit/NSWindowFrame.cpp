// NSWindow's frame: content and frame rectangles, moves and resizes, screen
// conversions and the frame saved in the user defaults.
#include "AppKit/NSWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "AppKit/FrameView.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSWindowInternals.h"
#include "Foundation/NSUserDefaults.h"

namespace {

Ref<NSString> frameKey(const Ref<NSString>& name) { return NSString::stringWithFormat("NSWindow Frame %@", name); }

}

// --- Frame ---

NSRect NSWindow::frameRectForContentRect(const NSRect& contentRect, NSUInteger styleMask)
{
    NSRect f = contentRect;
    f.size.height += FrameView::titleBarHeightFor(styleMask);
    return f;
}

NSRect NSWindow::contentRectForFrameRect(const NSRect& frameRect, NSUInteger styleMask)
{
    NSRect c = frameRect;
    if (const CGFloat bar = FrameView::titleBarHeightFor(styleMask))
        c.size.height = std::max<CGFloat>(0, c.size.height - bar);
    return c;
}

NSRect NSWindow::frameRectForContentRect(const NSRect& contentRect) const
{
    NSRect f = frameRectForContentRect(contentRect, m_styleMask);
    if (m_toolbar && m_toolbar->isVisible()) f.size.height += m_toolbar->stripHeight();
    return f;
}

NSRect NSWindow::contentRectForFrameRect(const NSRect& frameRect) const
{
    NSRect c = contentRectForFrameRect(frameRect, m_styleMask);
    if (m_toolbar && m_toolbar->isVisible())
        c.size.height = std::max<CGFloat>(0, c.size.height - m_toolbar->stripHeight());
    return c;
}

void NSWindow::setToolbar(const Ref<NSToolbar>& toolbar)
{
    if (toolbar == m_toolbar) return;
    const NSRect content = contentRectForFrameRect(m_frame);
    if (m_toolbar) {
        m_toolbar->stripView()->removeFromSuperview();
        m_toolbar->setWindow(nullptr);
    }
    m_toolbar = toolbar;
    if (m_toolbar) m_toolbar->setWindow(this);
    keepContentSize(content);
}

void NSWindow::toolbarDidChangeHeight() { keepContentSize(NSZeroRect); }

void NSWindow::keepContentSize(NSRect content)
{
    // The strip's height before the change is gone from the window already
    // when asked for after it: the caller passes the content rectangle.
    if (NSIsEmptyRect(content)) {
        content = m_contentView ? m_contentView->frame() : contentRectForFrameRect(m_frame);
        content.origin = m_frame.origin;
    }
    NSRect f = frameRectForContentRect(content);
    f.origin.y = NSMaxY(m_frame) - f.size.height;
    f.origin.x = m_frame.origin.x;
    applyFrame(f, true);
    placeToolbarStrip();
}

void NSWindow::placeToolbarStrip()
{
    const NSRect inner = contentRectForFrameRect(NSMakeRect(0, 0, m_frame.size.width, m_frame.size.height));
    if (m_contentView) m_contentView->setFrame(inner);
    if (!m_toolbar) return;
    auto strip = m_toolbar->stripView();
    if (!m_toolbar->isVisible()) {
        strip->removeFromSuperview();
        return;
    }
    if (strip->superview() != m_frameView) m_frameView->addSubview(strip);
    strip->setAutoresizingMask(NSViewWidthSizable | NSViewMinYMargin);
    strip->setFrame(NSMakeRect(0, NSMaxY(inner), m_frame.size.width, m_toolbar->stripHeight()));
    m_toolbar->itemsDidChange();
}

void NSWindow::setFrame(const NSRect& frame, bool display)
{
    stopFrameAnimation();
    applyFrame(frame, display);
}

void NSWindow::setFrameOrigin(NSPoint origin)
{
    if (shiftFrameAnimation(NSMakePoint(origin.x - m_frame.origin.x, origin.y - m_frame.origin.y))) return;
    applyFrame({origin, m_frame.size}, false);
}

void NSWindow::setFrameTopLeftPoint(NSPoint point)
{
    setFrameOrigin(NSMakePoint(point.x, point.y - m_frame.size.height));
}

void NSWindow::setContentSize(NSSize size)
{
    NSRect f = frameRectForContentRect(NSMakeRect(m_frame.origin.x, m_frame.origin.y, size.width, size.height));
    f.origin.y = NSMaxY(m_frame) - f.size.height;
    setFrame(f, true);
}

void NSWindow::applyFrame(const NSRect& requested, bool display)
{
    const NSRect frame = clampWindowSize(requested);
    if (frame == m_frame) return;
    Ref<NSWindow> self(this);
    const NSRect old = m_frame;
    m_frame = frame;
    if (m_windowID) WindowServer::shared().setFrame(m_windowID, frame);
    const bool resized = old.size != frame.size;
    if (resized) {
        // The server made a new, clear surface: everything is drawn again.
        m_frameView->setFrameSize(frame.size);
        m_dirty = {NSMakeRect(0, 0, frame.size.width, frame.size.height)};
    }
    if (old.origin != frame.origin) postWindowNotification(NSWindowDidMoveNotification);
    if (resized) postWindowNotification(NSWindowDidResizeNotification);
    if (m_autosaveName) saveFrameUsingName(m_autosaveName);
    if (display && !m_displaying) displayIfNeeded();
}

void NSWindow::center()
{
    auto main = NSScreen::mainScreen();
    if (!main) return;
    const NSRect v = main->visibleFrame();
    const CGFloat x = v.origin.x + std::floor((v.size.width - m_frame.size.width) / 2);
    const CGFloat y = v.origin.y + std::floor((v.size.height - m_frame.size.height) * 2 / 3);
    setFrameOrigin(NSMakePoint(x, y));
}

Ref<NSScreen> NSWindow::screen() const
{
    Ref<NSScreen> best;
    CGFloat bestArea = 0;
    auto screens = NSScreen::screens();
    for (NSUInteger i = 0; i < screens->count(); ++i) {
        auto s = static_ref_cast<NSScreen>(screens->objectAtIndex(i));
        const NSRect overlap = NSIntersectionRect(s->frame(), m_frame);
        const CGFloat area = overlap.size.width * overlap.size.height;
        if (area > bestArea) best = s, bestArea = area;
    }
    return best;
}

NSPoint NSWindow::convertBaseToScreen(NSPoint p) const
{
    return NSMakePoint(p.x + m_frame.origin.x, p.y + m_frame.origin.y);
}

NSPoint NSWindow::convertScreenToBase(NSPoint p) const
{
    return NSMakePoint(p.x - m_frame.origin.x, p.y - m_frame.origin.y);
}

NSRect NSWindow::convertRectToScreen(const NSRect& r) const { return {convertBaseToScreen(r.origin), r.size}; }

NSRect NSWindow::convertRectFromScreen(const NSRect& r) const { return {convertScreenToBase(r.origin), r.size}; }

NSPoint NSWindow::mouseLocationOutsideOfEventStream() const
{
    return convertScreenToBase(WindowServer::shared().pointerLocation());
}

// --- Frame autosave ---

Ref<NSString> NSWindow::stringWithSavedFrame() const
{
    NSRect s = NSZeroRect;
    if (auto sc = screen()) s = sc->visibleFrame();
    else if (auto main = NSScreen::mainScreen()) s = main->visibleFrame();
    auto i = [](CGFloat v) { return static_cast<int>(std::lround(v)); };
    return NSString::stringWithFormat("%d %d %d %d %d %d %d %d ", i(m_frame.origin.x), i(m_frame.origin.y),
                                      i(m_frame.size.width), i(m_frame.size.height), i(s.origin.x), i(s.origin.y),
                                      i(s.size.width), i(s.size.height));
}

void NSWindow::setFrameFromString(const Ref<NSString>& string)
{
    if (!string) return;
    double v[4];
    if (std::sscanf(string->UTF8String().c_str(), "%lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3]) != 4) return;
    setFrame(NSMakeRect(v[0], v[1], v[2], v[3]), true);
}

bool NSWindow::setFrameAutosaveName(const Ref<NSString>& name)
{
    m_autosaveName = nullptr;
    if (name && name->length()) {
        setFrameUsingName(name);
        m_autosaveName = name;
        saveFrameUsingName(name);
    }
    return true;
}

void NSWindow::saveFrameUsingName(const Ref<NSString>& name)
{
    if (!name || !name->length()) return;
    NSUserDefaults::standardUserDefaults()->setObject(stringWithSavedFrame(), frameKey(name));
}

bool NSWindow::setFrameUsingName(const Ref<NSString>& name)
{
    if (!name || !name->length()) return false;
    auto saved = NSUserDefaults::standardUserDefaults()->stringForKey(frameKey(name));
    if (!saved) return false;
    setFrameFromString(saved);
    return true;
}
