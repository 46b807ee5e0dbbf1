#include "AppKit/NSSplitView.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSSplitView)

namespace {

Ref<NSString> key(const char* name) { return NSString::stringWithUTF8String(name); }

}

void NSSplitView::describeClass(NSClassMembers<NSSplitView>& m)
{
    m.property("vertical", &NSSplitView::isVertical, &NSSplitView::setVertical);
}

Ref<NSView> NSSplitView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_vertical = false;
    m_dividerStyle = NSSplitViewDividerStyleThick;
    return this;
}

void NSSplitView::setVertical(bool flag)
{
    if (m_vertical == flag) return;
    m_vertical = flag;
    adjustSubviews();
}

void NSSplitView::setDividerStyle(NSSplitViewDividerStyle style)
{
    m_dividerStyle = style;
    adjustSubviews();
}

CGFloat NSSplitView::dividerThickness() const
{
    switch (m_dividerStyle) {
    case NSSplitViewDividerStyleThin: return 1;
    case NSSplitViewDividerStylePaneSplitter: return 10;
    case NSSplitViewDividerStyleThick: break;
    }
    return 9;
}

Ref<NSColor> NSSplitView::dividerColor() const
{
    return m_dividerStyle == NSSplitViewDividerStyleThin ? NSColor::colorWithCalibratedWhite(0.6, 1)
                                                         : NSColor::colorWithCalibratedWhite(0.9, 1);
}

void NSSplitView::setDelegate(const Id& delegate)
{
    m_delegate = delegate;
    if (auto w = window()) w->invalidateCursorRectsForView(this);
}

NSSplitViewDelegate* NSSplitView::delegateProtocol() const
{
    return dynamic_cast<NSSplitViewDelegate*>(m_delegate.get().get());
}

// --- Geometry along the split axis ---

CGFloat NSSplitView::length() const { return m_vertical ? bounds().size.width : bounds().size.height; }

CGFloat NSSplitView::extentOf(const Ref<NSView>& pane) const
{
    return m_vertical ? pane->frame().size.width : pane->frame().size.height;
}

bool NSSplitView::takesRoom(const Ref<NSView>& pane) const { return !pane->isHidden() && !isSubviewCollapsed(pane); }

bool NSSplitView::isSubviewCollapsed(const Ref<NSView>& subview) const
{
    return subview && m_collapsed.count(subview.get()) > 0;
}

bool NSSplitView::canCollapse(const Ref<NSView>& pane) const
{
    auto* delegate = delegateProtocol();
    auto answer =
        delegate ? delegate->splitViewCanCollapseSubview(const_cast<NSSplitView*>(this), pane.get()) : std::nullopt;
    return answer.value_or(false);
}

void NSSplitView::setCollapsed(const Ref<NSView>& pane, bool collapsed)
{
    if (collapsed) {
        m_collapsed.insert(pane.get());
        pane->setHidden(true);
    } else if (m_collapsed.erase(pane.get())) {
        pane->setHidden(false);
    }
}

bool NSSplitView::isDividerHidden(NSInteger dividerIndex) const
{
    const auto& views = subviews();
    if (dividerIndex < 0 || size_t(dividerIndex) + 1 >= views.size()) return true;
    if (!isSubviewCollapsed(views[dividerIndex]) && !isSubviewCollapsed(views[dividerIndex + 1])) return false;
    auto* delegate = delegateProtocol();
    auto answer = delegate ? delegate->splitViewShouldHideDividerAtIndex(const_cast<NSSplitView*>(this), dividerIndex)
                           : std::nullopt;
    return answer.value_or(false);
}

NSSplitView::Spans NSSplitView::spans() const
{
    Spans s;
    const auto& views = subviews();
    CGFloat cursor = 0;
    for (size_t k = 0; k < views.size(); ++k) {
        const CGFloat extent = takesRoom(views[k]) ? extentOf(views[k]) : 0;
        s.panes.push_back({cursor, extent});
        cursor += extent;
        if (k + 1 == views.size()) break;
        const CGFloat thickness = isDividerHidden(NSInteger(k)) ? 0 : dividerThickness();
        s.dividers.push_back({cursor, thickness});
        cursor += thickness;
    }
    return s;
}

CGFloat NSSplitView::minPossiblePositionOfDividerAtIndex(NSInteger dividerIndex) const
{
    const Spans s = spans();
    if (dividerIndex < 0 || size_t(dividerIndex) >= s.dividers.size()) return 0;
    return s.panes[dividerIndex].start;
}

CGFloat NSSplitView::maxPossiblePositionOfDividerAtIndex(NSInteger dividerIndex) const
{
    const Spans s = spans();
    if (dividerIndex < 0 || size_t(dividerIndex) >= s.dividers.size()) return 0;
    const Span& next = s.panes[dividerIndex + 1];
    return next.start + next.extent - s.dividers[dividerIndex].extent;
}

NSRect NSSplitView::dividerRectAtIndex(NSInteger dividerIndex) const
{
    const Spans s = spans();
    if (dividerIndex < 0 || size_t(dividerIndex) >= s.dividers.size()) return NSZeroRect;
    const Span& d = s.dividers[dividerIndex];
    const NSRect b = bounds();
    return m_vertical ? NSMakeRect(d.start, b.origin.y, d.extent, b.size.height)
                      : NSMakeRect(b.origin.x, d.start, b.size.width, d.extent);
}

NSRect NSSplitView::effectiveRectOfDividerAtIndex(NSInteger dividerIndex) const
{
    const NSRect drawn = dividerRectAtIndex(dividerIndex);
    if (isDividerHidden(dividerIndex)) return NSZeroRect;
    // Thin dividers are hard to hit: the grab area is at least 5 points.
    constexpr CGFloat kMinimumGrab = 5;
    NSRect grab = drawn;
    CGFloat& along = m_vertical ? grab.size.width : grab.size.height;
    CGFloat& origin = m_vertical ? grab.origin.x : grab.origin.y;
    if (along < kMinimumGrab) {
        origin -= (kMinimumGrab - along) / 2;
        along = kMinimumGrab;
    }
    auto* delegate = delegateProtocol();
    auto answer = delegate ? delegate->splitViewEffectiveRectForDrawnRectOfDividerAtIndex(
                                 const_cast<NSSplitView*>(this), grab, drawn, dividerIndex)
                           : std::nullopt;
    return answer.value_or(grab);
}

// --- Layout ---

std::vector<CGFloat> NSSplitView::fitted(std::vector<CGFloat> extents, NSInteger absorber) const
{
    const auto& views = subviews();
    const Spans s = spans();
    CGFloat available = length();
    for (const Span& d : s.dividers) available -= d.extent;
    CGFloat sum = 0;
    for (size_t k = 0; k < views.size(); ++k)
        if (takesRoom(views[k])) sum += extents[k];
    CGFloat delta = available - sum;
    if (delta == 0) return extents;
    if (absorber >= 0 && size_t(absorber) < views.size() && takesRoom(views[absorber]) &&
        extents[absorber] + delta >= 0) {
        extents[absorber] += delta;
        return extents;
    }
    auto* delegate = delegateProtocol();
    std::vector<size_t> adjustable;
    for (size_t k = 0; k < views.size(); ++k) {
        if (!takesRoom(views[k])) continue;
        auto answer = delegate
                          ? delegate->splitViewShouldAdjustSizeOfSubview(const_cast<NSSplitView*>(this), views[k].get())
                          : std::nullopt;
        if (answer.value_or(true)) adjustable.push_back(k);
    }
    if (adjustable.empty())
        for (size_t k = 0; k < views.size(); ++k)
            if (takesRoom(views[k])) adjustable.push_back(k);
    // Shares in whole points, the last pane taking the rest; panes that
    // would go below zero stop at zero and pass the rest on, to the other
    // panes once no adjustable one is left.
    while (delta != 0 && !adjustable.empty()) {
        CGFloat base = 0;
        for (size_t k : adjustable) base += extents[k];
        CGFloat given = 0;
        CGFloat leftover = 0;
        std::vector<size_t> next;
        for (size_t n = 0; n < adjustable.size(); ++n) {
            const size_t k = adjustable[n];
            CGFloat share = n + 1 == adjustable.size()
                                ? delta - given
                                : std::round(base > 0 ? delta * extents[k] / base : delta / CGFloat(adjustable.size()));
            given += share;
            CGFloat now = extents[k] + share;
            if (now < 0) {
                leftover += now;
                now = 0;
            } else if (now > 0) {
                next.push_back(k);
            }
            extents[k] = now;
        }
        delta = leftover;
        adjustable = std::move(next);
        // Adjustable panes used up: the others give the rest.
        if (delta != 0 && adjustable.empty())
            for (size_t k = 0; k < views.size(); ++k)
                if (takesRoom(views[k]) && extents[k] > 0) adjustable.push_back(k);
    }
    return extents;
}

void NSSplitView::placePanes(std::vector<CGFloat> extents, NSInteger absorber)
{
    const auto views = subviews();
    extents = fitted(std::move(extents), absorber);
    const Spans s = spans();
    const NSRect b = bounds();
    CGFloat cursor = 0;
    for (size_t k = 0; k < views.size(); ++k) {
        if (takesRoom(views[k])) {
            const CGFloat extent = std::max<CGFloat>(0, extents[k]);
            views[k]->setFrame(m_vertical ? NSMakeRect(cursor, b.origin.y, extent, b.size.height)
                                          : NSMakeRect(b.origin.x, cursor, b.size.width, extent));
            cursor += extent;
        }
        if (k < s.dividers.size()) cursor += s.dividers[k].extent;
    }
    setNeedsDisplay(true);
    if (auto w = window()) w->invalidateCursorRectsForView(this);
}

void NSSplitView::adjustSubviews()
{
    std::vector<CGFloat> extents;
    for (const auto& v : subviews()) extents.push_back(extentOf(v));
    placePanes(std::move(extents), -1);
}

void NSSplitView::resizeSubviewsWithOldSize(NSSize oldSize)
{
    if (auto* delegate = delegateProtocol())
        if (delegate->splitViewResizeSubviewsWithOldSize(this, oldSize)) return;
    adjustSubviews();
}

void NSSplitView::setPosition(CGFloat position, NSInteger dividerIndex)
{
    const auto views = subviews();
    if (dividerIndex < 0 || size_t(dividerIndex) + 1 >= views.size()) return;
    const Ref<NSView> leading = views[dividerIndex];
    const Ref<NSView> trailing = views[dividerIndex + 1];
    auto* delegate = delegateProtocol();
    if (delegate)
        position =
            delegate->splitViewConstrainSplitPositionOfSubviewAt(this, position, dividerIndex).value_or(position);
    if (std::isnan(position)) return;
    const CGFloat minPossible = minPossiblePositionOfDividerAtIndex(dividerIndex);
    const CGFloat maxPossible = maxPossiblePositionOfDividerAtIndex(dividerIndex);
    CGFloat minLimit = minPossible;
    CGFloat maxLimit = maxPossible;
    if (delegate) {
        minLimit =
            delegate->splitViewConstrainMinCoordinateOfSubviewAt(this, minPossible, dividerIndex).value_or(minPossible);
        maxLimit =
            delegate->splitViewConstrainMaxCoordinateOfSubviewAt(this, maxPossible, dividerIndex).value_or(maxPossible);
    }
    bool collapseLeading = false;
    bool collapseTrailing = false;
    if (position <= minLimit) {
        if ((position <= minPossible || position < minPossible + (minLimit - minPossible) / 2) &&
            canCollapse(leading)) {
            collapseLeading = true;
            position = minPossible;
        } else {
            position = minLimit;
        }
    } else if (position >= maxLimit) {
        if ((position >= maxPossible || position > maxLimit + (maxPossible - maxLimit) / 2) && canCollapse(trailing)) {
            collapseTrailing = true;
            position = maxPossible;
        } else {
            position = maxLimit;
        }
    }
    position = std::clamp(position, minPossible, std::max(minPossible, maxPossible));

    const Spans before = spans();
    const Span& a = before.panes[dividerIndex];
    const Span& b = before.panes[dividerIndex + 1];
    const CGFloat trailingEnd = b.start + b.extent;
    std::vector<CGFloat> extents;
    for (const auto& v : views) extents.push_back(extentOf(v));
    const CGFloat leadingExtent = position - a.start;
    if (collapseLeading) {
        setCollapsed(leading, true);
    } else {
        if (leadingExtent > 0) setCollapsed(leading, false);
        extents[dividerIndex] = leadingExtent;
    }
    if (collapseTrailing) {
        setCollapsed(trailing, true);
    } else {
        const CGFloat thickness = isDividerHidden(dividerIndex) ? 0 : dividerThickness();
        const CGFloat trailingExtent = trailingEnd - position - thickness;
        if (trailingExtent > 0) setCollapsed(trailing, false);
        extents[dividerIndex + 1] = std::max<CGFloat>(0, trailingExtent);
    }
    placePanes(std::move(extents), takesRoom(trailing) ? dividerIndex + 1 : dividerIndex);
}

void NSSplitView::willRemoveSubview(const Ref<NSView>& subview)
{
    if (m_collapsed.erase(subview.get())) subview->setHidden(false);
    NSView::willRemoveSubview(subview);
}

// --- Drawing ---

void NSSplitView::drawRect(const NSRect& dirtyRect)
{
    const NSInteger count = NSInteger(subviews().size()) - 1;
    for (NSInteger i = 0; i < count; ++i) {
        if (isDividerHidden(i)) continue;
        const NSRect r = dividerRectAtIndex(i);
        if (NSIntersectsRect(r, dirtyRect)) drawDividerInRect(r);
    }
}

void NSSplitView::drawDividerInRect(const NSRect& rect)
{
    dividerColor()->set();
    NSRectFill(rect);
    if (m_dividerStyle == NSSplitViewDividerStyleThin) return;
    // A dimple in the middle shows the thick divider can be grabbed.
    constexpr CGFloat kDimple = 6;
    const NSRect dimple = NSMakeRect(NSMidX(rect) - kDimple / 2, NSMidY(rect) - kDimple / 2, kDimple, kDimple);
    NSColor::colorWithCalibratedWhite(0.55, 1)->set();
    NSBezierPath::bezierPathWithOvalInRect(dimple)->fill();
}

// --- Coding ---

void NSSplitView::encodeWithCoder(NSCoder* coder) const
{
    encodeViewKeys(coder);
    if (!coder->allowsKeyedCoding()) {
        coder->encodeChar(m_vertical ? 1 : 0);
        coder->encodeInt64(m_dividerStyle);
        return;
    }
    coder->encodeBool(m_vertical, key("NSIsVertical"));
    coder->encodeInteger(m_dividerStyle, key("NSDividerStyle"));
}

Id NSSplitView::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder);
    NSInteger style = 0;
    if (!coder->allowsKeyedCoding()) {
        m_vertical = coder->decodeChar() != 0;
        style = NSInteger(coder->decodeInt64());
    } else {
        m_vertical = coder->decodeBoolForKey(key("NSIsVertical"));
        style = coder->decodeIntegerForKey(key("NSDividerStyle"));
    }
    m_dividerStyle = style >= NSSplitViewDividerStyleThick && style <= NSSplitViewDividerStylePaneSplitter
                         ? NSSplitViewDividerStyle(style)
                         : NSSplitViewDividerStyleThick;
    return this;
}
