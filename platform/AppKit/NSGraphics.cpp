#include "AppKit/NSGraphics.h"

#include <atomic>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSWindow.h"

namespace {
CGContext* port()
{
    auto context = NSGraphicsContext::currentContext();
    return context ? context->graphicsPort() : nullptr;
}

void fillWithOperation(CGContext* c, const CGPathElements& path, CGPathFillRule rule, NSCompositingOperation op)
{
    c->saveGState();
    c->setCompositingOperation(op);
    c->fillPath(path, rule);
    c->restoreGState();
}

std::atomic<NSInteger> g_screenUpdatesDisabled{0};
}

void NSRectFill(const NSRect& rect) { NSRectFillUsingOperation(rect, NSCompositingOperationCopy); }

void NSRectFillUsingOperation(const NSRect& rect, NSCompositingOperation op)
{
    CGContext* c = port();
    if (!c || NSIsEmptyRect(rect)) return;
    if (c->gstate().focusRingOnly) {
        DrawFocusRingForPath(*NSBezierPath::bezierPathWithRect(rect));
        return;
    }
    fillWithOperation(c, NSBezierPath::bezierPathWithRect(rect)->elements(), CGPathFillRule::NonZero, op);
}

void NSRectFillList(const NSRect* rects, NSInteger count)
{
    for (NSInteger i = 0; rects && i < count; ++i) NSRectFill(rects[i]);
}

void NSFrameRect(const NSRect& rect) { NSFrameRectWithWidth(rect, 1); }

void NSFrameRectWithWidth(const NSRect& rect, CGFloat width)
{
    NSFrameRectWithWidthUsingOperation(rect, width, NSCompositingOperationSourceOver);
}

void NSFrameRectWithWidthUsingOperation(const NSRect& rect, CGFloat width, NSCompositingOperation op)
{
    CGContext* c = port();
    if (!c || NSIsEmptyRect(rect)) return;
    // The rectangle less its inset, as one even-odd shape.
    auto frame = NSBezierPath::bezierPathWithRect(rect);
    NSRect inner = NSInsetRect(rect, width, width);
    if (!NSIsEmptyRect(inner)) frame->appendBezierPathWithRect(inner);
    fillWithOperation(c, frame->elements(), CGPathFillRule::EvenOdd, op);
}

void NSEraseRect(const NSRect& rect)
{
    CGContext* c = port();
    if (!c) return;
    c->saveGState();
    c->setFillColor({1, 1, 1, 1});
    NSRectFillUsingOperation(rect, NSCompositingOperationCopy);
    c->restoreGState();
}

void NSRectClip(const NSRect& rect)
{
    if (CGContext* c = port()) c->clipToRect(rect);
}

void NSRectClipList(const NSRect* rects, NSInteger count)
{
    CGContext* c = port();
    if (!c || !rects) return;
    CGPathElements all;
    for (NSInteger i = 0; i < count; ++i) all.append(NSBezierPath::bezierPathWithRect(rects[i])->elements());
    c->clipToPath(all, CGPathFillRule::NonZero);
}

void NSDrawWindowBackground(const NSRect& rect)
{
    CGContext* c = port();
    if (!c) return;
    c->saveGState();
    c->setFillColor(NSColor::windowBackgroundColor()->rgba());
    NSRectFillUsingOperation(rect, NSCompositingOperationCopy);
    c->restoreGState();
}

void NSSetFocusRingStyle(NSFocusRingPlacement placement)
{
    CGContext* c = port();
    if (!c) return;
    CGRGBA color = NSColor::keyboardFocusIndicatorColor()->rgba();
    color.a *= 0.5;
    if (placement == NSFocusRingOnly) {
        c->setFocusRingOnly(true, color);
        return;
    }
    // Below and above: the ring as a glow around everything drawn.
    c->setShadow({0, 0}, 3, {color.r, color.g, color.b, 1});
}

void DrawFocusRingForPath(const NSBezierPath& path)
{
    CGContext* c = port();
    if (!c) return;
    CGRGBA color =
        c->gstate().focusRingOnly ? c->gstate().focusRingColor : NSColor::keyboardFocusIndicatorColor()->rgba();
    c->saveGState();
    c->setFocusRingOnly(false, {});
    c->clearShadow();
    // Only the outside of the shape: a huge rectangle with the path cut out.
    CGPathElements outside = NSBezierPath::bezierPathWithRect(NSMakeRect(-1e6, -1e6, 2e6, 2e6))->elements();
    outside.append(path.elements());
    c->clipToPath(outside, CGPathFillRule::EvenOdd);
    c->setStrokeColor(color);
    CGStrokeStyle ring;
    ring.lineWidth = 6;
    ring.join = kCGLineJoinRound;
    c->strokePath(path.elements(), ring);
    c->restoreGState();
}

void NSDisableScreenUpdates() { ++g_screenUpdatesDisabled; }

void NSEnableScreenUpdates()
{
    NSInteger current = g_screenUpdatesDisabled.load();
    while (current > 0 && !g_screenUpdatesDisabled.compare_exchange_weak(current, current - 1)) { }
    if (current == 1) NSWindow::flushWindowsHeldForScreenUpdates();
}

NSInteger ScreenUpdatesDisabledCount() { return g_screenUpdatesDisabled.load(); }
