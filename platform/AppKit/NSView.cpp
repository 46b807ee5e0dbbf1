#include "AppKit/NSView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSViewAnimator.h"
#include "AppKit/NSViewLayer.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSNotificationCenter.h"

NS_CLASS_DEFINE(NSView)

namespace {

NSInteger g_nextTrackingTag = 1;

NSRect intersect(const NSRect& a, const NSRect& b) { return NSIntersectionRect(a, b); }

}

void NSView::describeClass(NSClassMembers<NSView>& m)
{
    m.property("frame", &NSView::frame, &NSView::setFrame);
    m.property("bounds", &NSView::bounds, &NSView::setBounds);
    m.property("hidden", &NSView::isHidden, &NSView::setHidden);
}

NSView::~NSView()
{
    for (auto& v : m_subviews) {
        v->m_superview = nullptr;
        v->setNextResponder(nullptr);
    }
}

Ref<NSView> NSView::initWithFrame(const NSRect& frame)
{
    m_frame = frame;
    m_bounds = NSMakeRect(0, 0, frame.size.width, frame.size.height);
    return this;
}

Ref<NSWindow> NSView::window() const { return m_window.get(); }

// --- Hierarchy ---

void NSView::addSubview(const Ref<NSView>& view) { addSubview(view, NSWindowAbove, nullptr); }

void NSView::addSubview(const Ref<NSView>& view, NSWindowOrderingMode place, const Ref<NSView>& relativeTo)
{
    if (!view || view.get() == this) return;
    Ref<NSView> keep = view;
    if (view->superview()) view->removeFromSuperviewWithoutNeedingDisplay();
    view->viewWillMoveToSuperview(this);
    auto at = m_subviews.end();
    if (relativeTo) {
        auto it = std::find(m_subviews.begin(), m_subviews.end(), relativeTo);
        if (it != m_subviews.end()) at = place == NSWindowBelow ? it : it + 1;
    } else if (place == NSWindowBelow) {
        at = m_subviews.begin();
    }
    m_subviews.insert(at, view);
    view->m_superview = this;
    view->setNextResponder(this);
    view->setWindowRecursively(m_window.get().get());
    didAddSubview(view);
    view->viewDidMoveToSuperview();
    view->setNeedsDisplay(true);
}

void NSView::removeFromSuperview()
{
    auto sup = superview();
    if (!sup) return;
    sup->setNeedsDisplayInRect(m_frame);
    removeFromSuperviewWithoutNeedingDisplay();
}

void NSView::removeFromSuperviewWithoutNeedingDisplay()
{
    auto sup = superview();
    if (!sup) return;
    Ref<NSView> self(this);
    sup->willRemoveSubview(self);
    viewWillMoveToSuperview(nullptr);
    if (auto w = window()) {
        auto first = w->firstResponder();
        auto firstView = dynamic_ref_cast<NSView>(first);
        if (firstView && (firstView.get() == this || firstView->isDescendantOf(self))) w->makeFirstResponder(nullptr);
    }
    std::erase(sup->m_subviews, self);
    m_superview = nullptr;
    setNextResponder(nullptr);
    setWindowRecursively(nullptr);
    viewDidMoveToSuperview();
    NSAutoreleasePool::keepAlive(self);
}

void NSView::replaceSubview(const Ref<NSView>& oldView, const Ref<NSView>& newView)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), oldView);
    if (it == m_subviews.end() || !newView) return;
    Ref<NSView> below = it + 1 != m_subviews.end() ? *(it + 1) : nullptr;
    oldView->removeFromSuperview();
    if (below) addSubview(newView, NSWindowBelow, below);
    else addSubview(newView);
}

void NSView::setSubviews(const std::vector<Ref<NSView>>& views)
{
    auto old = m_subviews;
    for (auto& v : old)
        if (std::find(views.begin(), views.end(), v) == views.end()) v->removeFromSuperview();
    for (auto& v : views) addSubview(v);
}

bool NSView::isDescendantOf(const Ref<NSView>& view) const
{
    for (auto v = Ref<NSView>(const_cast<NSView*>(this)); v; v = v->superview())
        if (v == view) return true;
    return false;
}

void NSView::sortSubviewsUsingFunction(NSComparisonResult (*compare)(NSView*, NSView*, void*), void* context)
{
    std::stable_sort(m_subviews.begin(), m_subviews.end(), [&](const Ref<NSView>& a, const Ref<NSView>& b) {
        return compare(a.get(), b.get(), context) == NSOrderedAscending;
    });
    setNeedsDisplay(true);
}

Ref<NSView> NSView::viewWithTag(NSInteger tag)
{
    if (this->tag() == tag) return this;
    for (auto& v : m_subviews)
        if (auto found = v->viewWithTag(tag)) return found;
    return nullptr;
}

void NSView::setWindowRecursively(NSWindow* window)
{
    if (m_window.get().get() == window) return;
    Ref<NSWindow> w(window);
    viewWillMoveToWindow(w);
    m_window = w;
    for (auto& v : std::vector<Ref<NSView>>(m_subviews)) v->setWindowRecursively(window);
    viewDidMoveToWindow();
    if (window) {
        updateTrackingAreas();
        window->m_cursorRectsValid = false;
    }
}

// --- Geometry ---

void NSView::setFrame(const NSRect& frame)
{
    if (frame == m_frame) return;
    const NSRect old = m_frame;
    if (auto sup = superview()) sup->setNeedsDisplayInRect(old);
    const bool scaled = m_bounds.size != old.size;
    m_frame = frame;
    const bool sizeChanged = old.size != frame.size;
    if (sizeChanged && !scaled) m_bounds.size = frame.size;
    didChangeFrame(old.size, sizeChanged);
}

void NSView::setFrameOrigin(NSPoint origin) { setFrame({origin, m_frame.size}); }

void NSView::setFrameSize(NSSize size) { setFrame({m_frame.origin, size}); }

void NSView::didChangeFrame(NSSize oldSize, bool sizeChanged)
{
    if (sizeChanged && autoresizesSubviews()) resizeSubviewsWithOldSize(oldSize);
    setNeedsDisplay(true);
    // Cursor rectangles follow the view: the window asks for them again.
    if (auto w = window()) w->m_cursorRectsValid = false;
    if (m_postsFrameChanged)
        NSNotificationCenter::defaultCenter()->postNotificationName(
            NSString::stringWithUTF8String(NSViewFrameDidChangeNotification), Ref<NSView>(this));
}

void NSView::setBounds(const NSRect& bounds)
{
    if (bounds == m_bounds) return;
    m_bounds = bounds;
    setNeedsDisplay(true);
    if (m_postsBoundsChanged)
        NSNotificationCenter::defaultCenter()->postNotificationName(
            NSString::stringWithUTF8String(NSViewBoundsDidChangeNotification), Ref<NSView>(this));
}

void NSView::setBoundsOrigin(NSPoint origin) { setBounds({origin, m_bounds.size}); }

void NSView::setBoundsSize(NSSize size) { setBounds({m_bounds.origin, size}); }

void NSView::scaleUnitSquareToSize(NSSize size)
{
    if (size.width <= 0 || size.height <= 0) return;
    setBounds({{m_bounds.origin.x / size.width, m_bounds.origin.y / size.height},
               {m_bounds.size.width / size.width, m_bounds.size.height / size.height}});
}

namespace {

// One level of the way to the window: the view's coordinates to its
// superview's (or the window's, for the top view).
CGAffineTransform stepToSuperview(const NSView& v, const NSView* sup)
{
    const NSRect f = v.frame();
    const NSRect b = v.bounds();
    const CGFloat sx = b.size.width != 0 ? f.size.width / b.size.width : 1;
    const CGFloat sy = b.size.height != 0 ? f.size.height / b.size.height : 1;
    const bool superFlipped = sup && sup->isFlipped();
    const bool inverted = v.isFlipped() != superFlipped;
    return {sx,
            0,
            0,
            inverted ? -sy : sy,
            f.origin.x - b.origin.x * sx,
            inverted ? f.origin.y + f.size.height + b.origin.y * sy : f.origin.y - b.origin.y * sy};
}

// The view's transform to the window and, when asked, the part of the window
// that it and every ancestor's bounds cover, built from the top down in one
// walk: the display pass asks this of every view, so no ancestor's transform
// is worked out twice.
CGAffineTransform toWindow(const NSView& v, NSRect* visible)
{
    Ref<NSView> sup = v.superview();
    const CGAffineTransform step = stepToSuperview(v, sup.get());
    if (!sup) {
        if (visible) *visible = CGRectApplyAffineTransform(v.bounds(), step);
        return step;
    }
    const CGAffineTransform t = CGAffineTransformConcat(step, toWindow(*sup, visible));
    if (visible) *visible = intersect(*visible, CGRectApplyAffineTransform(v.bounds(), t));
    return t;
}

}

CGAffineTransform NSView::transformToWindow() const { return toWindow(*this, nullptr); }

namespace {

CGAffineTransform between(const NSView* from, const NSView* to)
{
    CGAffineTransform up = from ? from->transformToWindow() : CGAffineTransformIdentity;
    CGAffineTransform down = to ? CGAffineTransformInvert(to->transformToWindow()) : CGAffineTransformIdentity;
    return CGAffineTransformConcat(up, down);
}

CGSize absSize(CGSize s) { return {std::fabs(s.width), std::fabs(s.height)}; }

// A rectangle through a transform that may flip y keeps a positive height.
NSRect applyRect(const NSRect& r, const CGAffineTransform& t) { return CGRectApplyAffineTransform(r, t); }

}

NSPoint NSView::convertPointFromView(NSPoint point, const Ref<NSView>& view) const
{
    return CGPointApplyAffineTransform(point, between(view.get(), this));
}

NSPoint NSView::convertPointToView(NSPoint point, const Ref<NSView>& view) const
{
    return CGPointApplyAffineTransform(point, between(this, view.get()));
}

NSRect NSView::convertRectFromView(const NSRect& rect, const Ref<NSView>& view) const
{
    return applyRect(rect, between(view.get(), this));
}

NSRect NSView::convertRectToView(const NSRect& rect, const Ref<NSView>& view) const
{
    return applyRect(rect, between(this, view.get()));
}

NSSize NSView::convertSizeFromView(NSSize size, const Ref<NSView>& view) const
{
    return absSize(CGSizeApplyAffineTransform(size, between(view.get(), this)));
}

NSSize NSView::convertSizeToView(NSSize size, const Ref<NSView>& view) const
{
    return absSize(CGSizeApplyAffineTransform(size, between(this, view.get())));
}

NSRect NSView::visibleRectInWindow() const
{
    NSRect r;
    toWindow(*this, &r);
    return r;
}

NSRect NSView::visibleRect() const
{
    if (isHiddenOrHasHiddenAncestor()) return NSZeroRect;
    NSRect r = visibleRectInWindow();
    if (NSIsEmptyRect(r)) return NSZeroRect;
    return intersect(convertRectFromView(r, nullptr), bounds());
}

// --- Autoresizing ---

void NSView::resizeSubviewsWithOldSize(NSSize oldSize)
{
    for (auto& v : std::vector<Ref<NSView>>(m_subviews)) v->resizeWithOldSuperviewSize(oldSize);
}

namespace {

// Shares the change among the flexible parts of one axis in proportion to
// their sizes (equally when they are all zero).
void distribute(CGFloat delta, bool flexMin, bool flexSize, bool flexMax, CGFloat& origin, CGFloat& size,
                CGFloat maxMargin)
{
    const int count = flexMin + flexSize + flexMax;
    if (count == 0 || delta == 0) return;
    const CGFloat parts[3] = {flexMin ? origin : 0, flexSize ? size : 0, flexMax ? maxMargin : 0};
    const CGFloat total = parts[0] + parts[1] + parts[2];
    auto share = [&](int i, bool flexible) {
        if (!flexible) return 0.0;
        return total > 0 ? delta * parts[i] / total : delta / count;
    };
    const CGFloat dMin = share(0, flexMin);
    const CGFloat dSize = share(1, flexSize);
    origin += dMin;
    size += dSize;
}

}

void NSView::resizeWithOldSuperviewSize(NSSize oldSize)
{
    auto sup = superview();
    if (!sup || m_autoresizingMask == NSViewNotSizable) return;
    const NSSize newSize = sup->bounds().size;
    NSRect f = m_frame;
    const NSUInteger m = m_autoresizingMask;
    distribute(newSize.width - oldSize.width, m & NSViewMinXMargin, m & NSViewWidthSizable, m & NSViewMaxXMargin,
               f.origin.x, f.size.width, oldSize.width - NSMaxX(m_frame));
    distribute(newSize.height - oldSize.height, m & NSViewMinYMargin, m & NSViewHeightSizable, m & NSViewMaxYMargin,
               f.origin.y, f.size.height, oldSize.height - NSMaxY(m_frame));
    f.size.width = std::max(0.0, f.size.width);
    f.size.height = std::max(0.0, f.size.height);
    setFrame(f);
}

// --- Display ---

void NSView::setNeedsDisplay(bool flag)
{
    if (flag) setNeedsDisplayInRect(bounds());
}

void NSView::setNeedsDisplayInRect(const NSRect& rect)
{
    auto w = window();
    if (!w || isHiddenOrHasHiddenAncestor()) return;
    NSRect r = intersect(convertRectToView(rect, nullptr), visibleRectInWindow());
    if (NSIsEmptyRect(r)) return;
    w->invalidateRectInBase(r);
}

bool NSView::needsDisplay() const
{
    auto w = window();
    if (!w) return false;
    const NSRect visible = visibleRectInWindow();
    for (const auto& r : w->m_dirty)
        if (NSIntersectsRect(r, visible)) return true;
    return false;
}

void NSView::display() { displayRect(bounds()); }

void NSView::displayIfNeeded()
{
    if (auto w = window()) w->displayIfNeeded();
}

void NSView::displayRect(const NSRect& rect)
{
    auto w = window();
    if (!w) return;
    setNeedsDisplayInRect(rect);
    w->displayIfNeeded();
}

void NSView::drawRect(const NSRect&) { }

bool NSView::needsToDrawRect(const NSRect& rect) const
{
    for (const auto& r : m_rectsBeingDrawn)
        if (NSIntersectsRect(r, rect)) return true;
    return false;
}

void NSView::getRectsBeingDrawn(std::vector<NSRect>* rects) const
{
    if (rects) *rects = m_rectsBeingDrawn;
}

bool NSView::canDraw() const
{
    auto w = window();
    return w && !isHiddenOrHasHiddenAncestor();
}

bool NSView::lockFocusIfCanDraw()
{
    if (!canDraw()) return false;
    lockFocus();
    return true;
}

void NSView::lockFocus()
{
    auto w = window();
    NSGraphicsContext::saveGraphicsState();
    ++m_focusDepth;
    if (!w) return;
    Ref<CGImage> surface;
    auto context = w->makeSurfaceContext(surface);
    if (!context) return;
    CGContext* port = context->graphicsPort();
    port->setCTM(w->baseToSurfaceTransform());
    port->clipToRect(visibleRectInWindow());
    port->setCTM(CGAffineTransformConcat(transformToWindow(), w->baseToSurfaceTransform()));
    context->setFlipped(isFlipped());
    NSGraphicsContext::setCurrentContext(context);
}

void NSView::unlockFocus()
{
    if (m_focusDepth == 0) return;
    --m_focusDepth;
    if (auto c = NSGraphicsContext::currentContext()) c->flushGraphics();
    NSGraphicsContext::restoreGraphicsState();
    if (auto w = window()) w->flushWindow();
}

Ref<NSView> NSView::opaqueAncestor() const
{
    for (auto v = Ref<NSView>(const_cast<NSView*>(this)); v; v = v->superview())
        if (v->isOpaque()) return v;
    return nullptr;
}

void NSView::setHidden(bool hidden)
{
    if (hidden == m_hidden) return;
    if (hidden) setNeedsDisplay(true);
    m_hidden = hidden;
    if (!hidden) setNeedsDisplay(true);
    if (hidden) {
        if (auto w = window()) {
            auto first = dynamic_ref_cast<NSView>(w->firstResponder());
            if (first && first->isDescendantOf(this)) w->makeFirstResponder(nullptr);
        }
    }
}

bool NSView::isHiddenOrHasHiddenAncestor() const
{
    for (auto v = Ref<NSView>(const_cast<NSView*>(this)); v; v = v->superview())
        if (v->isHidden()) return true;
    return false;
}

void NSView::setKeyboardFocusRingNeedsDisplayInRect(const NSRect& rect)
{
    // The ring is drawn up to 3 points outside the rectangle.
    NSRect outer = NSInsetRect(rect, -4, -4);
    if (auto sup = superview()) sup->setNeedsDisplayInRect(convertRectToView(outer, sup));
    else setNeedsDisplayInRect(outer);
}

void NSView::setAlphaValue(CGFloat alpha)
{
    m_alphaValue = std::clamp<CGFloat>(alpha, 0, 1);
    setNeedsDisplay(true);
}

CGFloat NSView::effectiveAlpha() const
{
    CGFloat alpha = 1;
    for (const NSView* v = this; v; v = v->superview().get()) alpha *= v->m_alphaValue;
    return alpha;
}

Ref<NSViewAnimator> NSView::animator() { return NSViewAnimator::animatorForView(this); }

void NSView::drawInWindow(const NSRect& windowRect)
{
    if (isHidden()) return;
    auto w = window();
    if (!w) return;
    NSRect visible;
    const CGAffineTransform toWindowTransform = toWindow(*this, &visible);
    const NSRect area = intersect(windowRect, visible);
    if (NSIsEmptyRect(area)) return;
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    CGContext* port = context->graphicsPort();
    const CGAffineTransform base = w->baseToSurfaceTransform();
    port->saveGState();
    port->setCTM(base);
    port->clipToRect(area);
    port->setBaseClip(CGRectApplyAffineTransform(visible, base));
    port->setCTM(CGAffineTransformConcat(toWindowTransform, base));
    port->setAlpha(effectiveAlpha());
    const bool wasFlipped = context->isFlipped();
    context->setFlipped(isFlipped());
    const NSRect local =
        intersect(CGRectApplyAffineTransform(area, CGAffineTransformInvert(toWindowTransform)), bounds());
    m_rectsBeingDrawn = {local};
    Ref<NSView> self(this);
    drawRect(local);
    NSViewDrawLayerIfBacked(*this, port);
    m_rectsBeingDrawn.clear();
    context->setFlipped(wasFlipped);
    port->restoreGState();
    for (auto& v : std::vector<Ref<NSView>>(m_subviews)) v->drawInWindow(windowRect);
}

void NSView::prepareForDisplay(const NSRect& windowRect)
{
    if (isHidden() || !NSIntersectsRect(windowRect, visibleRectInWindow())) return;
    Ref<NSView> self(this);
    needsDisplay();
    for (auto& v : std::vector<Ref<NSView>>(m_subviews)) v->prepareForDisplay(windowRect);
}

// --- Events ---

bool NSView::mouse(NSPoint point, const NSRect& rect) const { return NSMouseInRect(point, rect, isFlipped()); }

Ref<NSView> NSView::hitTest(NSPoint pointInSuperview)
{
    if (isHidden()) return nullptr;
    auto sup = superview();
    if (!NSMouseInRect(pointInSuperview, frame(), sup && sup->isFlipped())) return nullptr;
    NSPoint local = sup ? convertPointFromView(pointInSuperview, sup)
                        : CGPointApplyAffineTransform(pointInSuperview, CGAffineTransformInvert(transformToWindow()));
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        Ref<NSView> sub = *it;
        if (auto hit = sub->hitTest(local)) return hit;
    }
    return this;
}

bool NSView::performKeyEquivalent(const Ref<NSEvent>& event)
{
    for (auto& v : std::vector<Ref<NSView>>(m_subviews))
        if (!v->isHidden() && v->performKeyEquivalent(event)) return true;
    return false;
}

Id NSView::menuForEvent(const Ref<NSEvent>&) { return menu(); }

void NSView::rightMouseDown(const Ref<NSEvent>& event)
{
    if (auto menu = dynamic_ref_cast<NSMenu>(menuForEvent(event))) {
        NSMenu::popUpContextMenu(menu, event, Ref<NSView>(this));
        return;
    }
    NSResponder::rightMouseDown(event);
}

void NSView::setNextKeyView(const Ref<NSView>& next)
{
    // The old next view no longer comes after this one.
    if (auto old = m_nextKeyView.get(); old && old->m_previousKeyView.get().get() == this)
        old->m_previousKeyView = nullptr;
    m_nextKeyView = next;
    if (next) next->m_previousKeyView = Ref<NSView>(this);
}

bool NSView::canBecomeKeyView() const { return acceptsFirstResponder() && !isHiddenOrHasHiddenAncestor() && window(); }

namespace {

// Follows the loop from the view's neighbour until a view that can become
// key, stopping when the loop comes round.
Ref<NSView> validKeyView(const NSView* start, bool forward)
{
    auto step = [forward](const NSView* v) { return forward ? v->nextKeyView() : v->previousKeyView(); };
    std::vector<const NSView*> seen{start};
    for (auto v = step(start); v; v = step(v.get())) {
        if (std::find(seen.begin(), seen.end(), v.get()) != seen.end()) return nullptr;
        if (v->canBecomeKeyView()) return v;
        seen.push_back(v.get());
    }
    return nullptr;
}

Ref<NSString> viewKey(const char* name) { return NSString::stringWithUTF8String(name); }

}

Ref<NSView> NSView::nextValidKeyView() const { return validKeyView(this, true); }

Ref<NSView> NSView::previousValidKeyView() const { return validKeyView(this, false); }

std::vector<Id> NSView::codableSubviews() const
{
    std::vector<Id> codable;
    for (auto& v : m_subviews)
        if (dynamic_cast<const NSCoding*>(v.get())) codable.push_back(v);
    return codable;
}

void NSView::encodeViewKeys(NSCoder* coder, const NSRect& archivedFrame, bool withSubviews) const
{
    if (!coder->allowsKeyedCoding()) {
        for (double v :
             {archivedFrame.origin.x, archivedFrame.origin.y, archivedFrame.size.width, archivedFrame.size.height})
            coder->encodeDouble(v);
        coder->encodeInt64(int64_t(autoresizingMask()));
        coder->encodeChar(isHidden() ? 1 : 0);
        if (withSubviews) coder->encodeObject(NSArray::arrayWithVector(codableSubviews()));
        return;
    }
    coder->encodeRect(archivedFrame, viewKey("NSFrame"));
    coder->encodeInteger(NSInteger(autoresizingMask()), viewKey("NSAutoresizingMask"));
    coder->encodeBool(isHidden(), viewKey("NSHidden"));
    if (!withSubviews) return;
    auto codable = codableSubviews();
    if (!codable.empty()) coder->encodeObject(NSArray::arrayWithVector(std::move(codable)), viewKey("NSSubviews"));
}

void NSView::decodeViewKeys(NSCoder* coder, bool withSubviews)
{
    Ref<NSArray> subviews;
    if (!coder->allowsKeyedCoding()) {
        NSRect f;
        f.origin.x = coder->decodeDouble();
        f.origin.y = coder->decodeDouble();
        f.size.width = coder->decodeDouble();
        f.size.height = coder->decodeDouble();
        initWithFrame(f);
        setAutoresizingMask(NSUInteger(coder->decodeInt64()));
        setHidden(coder->decodeChar() != 0);
        if (withSubviews) subviews = dynamic_ref_cast<NSArray>(coder->decodeObject());
    } else {
        initWithFrame(coder->decodeRectForKey(viewKey("NSFrame")));
        setAutoresizingMask(NSUInteger(coder->decodeIntegerForKey(viewKey("NSAutoresizingMask"))));
        setHidden(coder->decodeBoolForKey(viewKey("NSHidden")));
        if (withSubviews) subviews = dynamic_ref_cast<NSArray>(coder->decodeObjectForKey(viewKey("NSSubviews")));
    }
    if (!subviews) return;
    for (auto& object : subviews->snapshot())
        if (auto view = dynamic_ref_cast<NSView>(object)) addSubview(view);
}

NSTrackingRectTag NSView::addTrackingRect(const NSRect& rect, const Id& owner, void* userData, bool assumeInside)
{
    auto area =
        alloc<NSTrackingArea>()->initWithRect(rect,
                                              NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways |
                                                  (assumeInside ? NSUInteger(NSTrackingAssumeInside) : NSUInteger(0)),
                                              owner, nullptr);
    area->m_tag = g_nextTrackingTag++;
    area->m_userData = userData;
    addTrackingArea(area);
    return area->m_tag;
}

void NSView::removeTrackingRect(NSTrackingRectTag tag)
{
    std::erase_if(m_trackingAreas, [&](const Ref<NSTrackingArea>& a) { return a->m_tag == tag; });
}

void NSView::addTrackingArea(const Ref<NSTrackingArea>& area)
{
    if (!area) return;
    area->m_view = this;
    m_trackingAreas.push_back(area);
}

void NSView::removeTrackingArea(const Ref<NSTrackingArea>& area) { std::erase(m_trackingAreas, area); }

void NSView::addCursorRect(const NSRect& rect, const Id& cursor) { m_cursorRects.push_back({rect, cursor}); }

void NSView::removeCursorRect(const NSRect& rect, const Id& cursor)
{
    std::erase_if(m_cursorRects, [&](const CursorRect& c) { return c.rect == rect && c.cursor == cursor; });
}

void NSView::setViewController(const Ref<NSResponder>& controller)
{
    Ref<NSResponder> old = m_viewController.get();
    // Nil twice still mends the chain a dead controller left broken.
    if (controller && old == controller) return;
    // What follows the view when no controller sits in between; a
    // controller that is gone took that link with it.
    Ref<NSResponder> next = old ? old->nextResponder() : nextResponder();
    if (!next) next = superview();
    if (old) old->setNextResponder(nullptr);
    m_viewController = controller;
    NSResponder::setNextResponder(controller ? controller : next);
    if (controller) controller->setNextResponder(next);
}

void NSView::setNextResponder(const Ref<NSResponder>& responder)
{
    Ref<NSResponder> controller = m_viewController.get();
    if (controller && responder != controller) return controller->setNextResponder(responder);
    NSResponder::setNextResponder(responder);
}

void NSView::discardCursorRects() { m_cursorRects.clear(); }

void NSView::notifyTrackingAreasChanged() { updateTrackingAreas(); }
