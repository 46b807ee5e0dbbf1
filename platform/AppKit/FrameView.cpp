#include "AppKit/FrameView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(FrameView)

CGFloat FrameView::titleBarHeightFor(NSUInteger styleMask)
{
    if (!(styleMask & NSTitledWindowMask)) return 0;
    return WindowServer::shared().decoratesTitledWindows() ? 0 : kNSWindowTitleBarHeight;
}

CGFloat FrameView::titleBarHeight() const
{
    auto w = window();
    return w ? titleBarHeightFor(w->styleMask()) : 0;
}

NSRect FrameView::titleBarRect() const
{
    const CGFloat height = titleBarHeight();
    return NSMakeRect(0, bounds().size.height - height, bounds().size.width, height);
}

NSRect FrameView::closeBoxRect() const
{
    const NSRect bar = titleBarRect();
    return NSMakeRect(8, bar.origin.y + (kNSWindowTitleBarHeight - 12) / 2, 12, 12);
}

bool FrameView::hasCloseBox() const
{
    auto w = window();
    return w && titleBarHeight() > 0 && (w->styleMask() & NSClosableWindowMask);
}

NSRect FrameView::zoomBoxRect() const
{
    NSRect box = closeBoxRect();
    if (hasCloseBox()) box.origin.x = NSMaxX(box) + 8;
    return box;
}

bool FrameView::hasZoomBox() const { return window() && titleBarHeight() > 0; }

namespace {

bool zoomEnabled(const Ref<NSWindow>& w)
{
    auto button = w ? w->standardWindowButton(NSWindowZoomButton) : nullptr;
    return button && button->isEnabled();
}

}  // namespace

void FrameView::drawRect(const NSRect& dirtyRect)
{
    auto w = window();
    if (!w) return;
    auto colour = w->backgroundColor();
    if (colour) colour->setFill();
    else NSColor::clearColor()->setFill();
    NSRectFillUsingOperation(dirtyRect, NSCompositingOperationCopy);
    if (titleBarHeight() > 0) drawTitleBar(w);
}

void FrameView::mouseDown(const Ref<NSEvent>& event)
{
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    if (hasCloseBox() && mouse(p, closeBoxRect())) {
        m_closePressed = true;
        setNeedsDisplayInRect(closeBoxRect());
        return;
    }
    if (hasZoomBox() && mouse(p, zoomBoxRect())) {
        m_zoomPressed = zoomEnabled(window());
        setNeedsDisplayInRect(zoomBoxRect());
        return;
    }
    // The rest of the bar moves the window, as a window manager's does.
    auto w = window();
    if (!w || titleBarHeight() <= 0 || !mouse(p, titleBarRect())) return NSView::mouseDown(event);
    m_dragging = true;
    m_dragStartPointer = event->screenLocation();
    m_dragStartOrigin = w->frame().origin;
}

void FrameView::mouseDragged(const Ref<NSEvent>& event)
{
    if (m_dragging) {
        // Screen positions: the window moves under the pointer.
        const NSPoint now = event->screenLocation();
        if (auto w = window())
            w->setFrameOrigin(NSMakePoint(m_dragStartOrigin.x + now.x - m_dragStartPointer.x,
                                          m_dragStartOrigin.y + now.y - m_dragStartPointer.y));
        return;
    }
    if (!m_closePressed && !m_zoomPressed) return NSView::mouseDragged(event);
}

void FrameView::mouseUp(const Ref<NSEvent>& event)
{
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    if (m_zoomPressed) {
        m_zoomPressed = false;
        setNeedsDisplayInRect(zoomBoxRect());
        const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
        if (auto w = window(); w && zoomEnabled(w) && mouse(p, zoomBoxRect())) w->zoom(Ref<FrameView>(this));
        return;
    }
    if (!m_closePressed) return NSView::mouseUp(event);
    m_closePressed = false;
    setNeedsDisplayInRect(closeBoxRect());
    const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    if (auto w = window(); w && hasCloseBox() && mouse(p, closeBoxRect())) w->performClose(Ref<FrameView>(this));
}

void FrameView::drawTitleBar(const Ref<NSWindow>& w)
{
    const NSRect bar = titleBarRect();
    NSColor::colorWithCalibratedWhite(0.85, 1)->setFill();
    NSRectFill(bar);
    NSColor::colorWithCalibratedWhite(0.7, 1)->setFill();
    NSRectFill(NSMakeRect(0, bar.origin.y, bar.size.width, 1));

    CGFloat left = 8;
    if (hasCloseBox()) {
        const NSRect box = closeBoxRect();
        (m_closePressed ? NSColor::colorWithCalibratedRed(0.75, 0.25, 0.22, 1)
                        : NSColor::colorWithCalibratedRed(1.0, 0.37, 0.34, 1))
            ->setFill();
        NSBezierPath::bezierPathWithOvalInRect(box)->fill();
        left = NSMaxX(box) + 8;
    }
    if (hasZoomBox()) {
        const NSRect box = zoomBoxRect();
        if (!zoomEnabled(w)) NSColor::colorWithCalibratedWhite(0.78, 1)->setFill();
        else if (m_zoomPressed) NSColor::colorWithCalibratedRed(0.16, 0.6, 0.2, 1)->setFill();
        else NSColor::colorWithCalibratedRed(0.2, 0.8, 0.25, 1)->setFill();
        NSBezierPath::bezierPathWithOvalInRect(box)->fill();
        left = NSMaxX(box) + 8;
    }

    auto title = w->title();
    if (!title || title->length() == 0) return;
    auto attributes = NSDictionary::dictionaryWithObjectsAndKeys(
        {NSFont::systemFontOfSize(NSFont::systemFontSize()), NSFontAttributeName,
         NSColor::colorWithCalibratedWhite(0.2, 1), NSForegroundColorAttributeName});
    const NSSize size = NSStringExt::sizeWithAttributes(title, attributes);
    // Centred in the bar, but never over the close box; a long title is
    // clipped at the right edge.
    const CGFloat x = std::max(left, std::floor((bar.size.width - size.width) / 2));
    const CGFloat y = bar.origin.y + std::floor((kNSWindowTitleBarHeight - size.height) / 2);
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(NSMakeRect(left, bar.origin.y, std::max<CGFloat>(0, bar.size.width - left - 8), bar.size.height));
    NSStringExt::drawAtPoint(title, NSMakePoint(x, y), attributes);
    NSGraphicsContext::restoreGraphicsState();
}
