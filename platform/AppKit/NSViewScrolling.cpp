#include "AppKit/NSViewScrolling.h"

#include "AppKit/NSClipView.h"
#include "AppKit/NSScrollView.h"

namespace NSViewExt {

Ref<NSScrollView> enclosingScrollView(const Ref<NSView>& view)
{
    for (auto v = view ? view->superview() : nullptr; v; v = v->superview())
        if (auto scrollView = dynamic_ref_cast<NSScrollView>(v)) return scrollView;
    return nullptr;
}

Ref<NSClipView> enclosingClipView(const Ref<NSView>& view)
{
    for (auto v = view ? view->superview() : nullptr; v; v = v->superview())
        if (auto clip = dynamic_ref_cast<NSClipView>(v)) return clip;
    return nullptr;
}

void scrollPoint(const Ref<NSView>& view, NSPoint point)
{
    auto clip = enclosingClipView(view);
    if (!clip) return;
    clip->scrollToPoint(clip->convertPointFromView(point, view));
}

namespace {

// The smallest move of [start, start + length) that brings [lo, hi) into
// view, preferring the low end when the target is longer than the view.
CGFloat shiftToShow(CGFloat start, CGFloat length, CGFloat lo, CGFloat hi)
{
    if (hi - lo > length || lo < start) return lo - start;
    if (hi > start + length) return hi - (start + length);
    return 0;
}

}

bool scrollRectToVisible(const Ref<NSView>& view, const NSRect& rect)
{
    bool scrolled = false;
    Ref<NSView> inner = view;
    NSRect target = rect;
    while (auto clip = enclosingClipView(inner)) {
        const NSRect r = clip->convertRectFromView(target, inner);
        const NSRect b = clip->bounds();
        NSPoint origin = b.origin;
        origin.x += shiftToShow(b.origin.x, b.size.width, NSMinX(r), NSMaxX(r));
        // In a flipped clip view the rectangle's top is its minimum y.
        if (clip->isFlipped()) origin.y += shiftToShow(b.origin.y, b.size.height, NSMinY(r), NSMaxY(r));
        else origin.y -= shiftToShow(-NSMaxY(b), b.size.height, -NSMaxY(r), -NSMinY(r));
        if (origin != b.origin) {
            clip->scrollToPoint(origin);
            scrolled = scrolled || clip->bounds().origin != b.origin;
        }
        target = NSIntersectionRect(clip->convertRectFromView(target, inner), clip->bounds());
        if (NSIsEmptyRect(target)) target = clip->bounds();
        inner = clip;
    }
    return scrolled;
}

bool autoscroll(const Ref<NSView>& view, const Ref<NSEvent>& event)
{
    auto clip = enclosingClipView(view);
    return clip && clip->autoscroll(event);
}

}

Ref<NSScrollView> NSView::enclosingScrollView() const
{
    return NSViewExt::enclosingScrollView(Ref<NSView>(const_cast<NSView*>(this)));
}

void NSView::scrollPoint(NSPoint point) { NSViewExt::scrollPoint(Ref<NSView>(this), point); }

bool NSView::scrollRectToVisible(const NSRect& rect) { return NSViewExt::scrollRectToVisible(Ref<NSView>(this), rect); }

bool NSView::autoscroll(const Ref<NSEvent>& event) { return NSViewExt::autoscroll(Ref<NSView>(this), event); }
