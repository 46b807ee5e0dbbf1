#include "ZAKAppKit/ZAKScrollView/ZAKScrollView.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(ZAKScrollView)

Ref<NSView> ZAKScrollView::initWithFrame(const NSRect& frame)
{
    NSScrollView::initWithFrame(frame);
    setHasHorizontalScroller(true);
    setHasVerticalScroller(true);
    setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    setup();
    return this;
}

Id ZAKScrollView::initWithCoder(NSCoder* coder)
{
    NSScrollView::initWithCoder(coder);
    setup();
    return this;
}

void ZAKScrollView::setup()
{
    m_horLeftSlots = NSMutableArray::array();
    m_horRightSlots = NSMutableArray::array();
    m_verTopSlots = NSMutableArray::array();
    m_verBottomSlots = NSMutableArray::array();
    m_headerView = nullptr;
    m_bottomRightCornerView = nullptr;
    setScrollerStyle(NSScrollerStyleLegacy);
}

void ZAKScrollView::checkPosition(NSUInteger position)
{
    if (position > ZAKScrollViewVerticalBottom)
        NSException::raise("not an allowed position", "Scroll view does not support specified slot position");
}

Ref<NSMutableArray> ZAKScrollView::slots(NSUInteger position) const
{
    switch (position) {
    case ZAKScrollViewHorizontalLeft: return m_horLeftSlots;
    case ZAKScrollViewHorizontalRight: return m_horRightSlots;
    case ZAKScrollViewVerticalTop: return m_verTopSlots;
    case ZAKScrollViewVerticalBottom: return m_verBottomSlots;
    default: return nullptr;
    }
}

void ZAKScrollView::addView(const Ref<NSView>& view, NSUInteger position)
{
    checkPosition(position);
    slots(position)->addObject(view);
    addSubview(view);
    tile();
    view->setNeedsDisplay(true);
}

void ZAKScrollView::removeView(const Ref<NSView>& view, NSUInteger position)
{
    checkPosition(position);
    Ref<NSView> keep = view;
    slots(position)->removeObjectIdenticalTo(view);
    view->removeFromSuperview();
    tile();
    setNeedsDisplay(true);
}

void ZAKScrollView::setHeaderView(const Ref<NSView>& view)
{
    if (m_headerView) m_headerView->removeFromSuperview();
    m_headerView = view;
    if (view) addSubview(view, NSWindowBelow, nullptr);
    tile();
    setNeedsDisplay(true);
}

void ZAKScrollView::setBottomRightCornerView(const Ref<NSView>& view)
{
    if (m_bottomRightCornerView) m_bottomRightCornerView->removeFromSuperview();
    m_bottomRightCornerView = view;
    if (view) addSubview(view);
    tile();
    setNeedsDisplay(true);
}

void ZAKScrollView::tile()
{
    auto clip = contentView();
    if (!clip || !documentView() || !m_horLeftSlots) return;
    const NSPoint scrolled = clip->bounds().origin;
    NSScrollView::tile();
    NSRect c = clip->frame();

    if (m_headerView) {
        const CGFloat h = m_headerView->frame().size.height;
        m_headerView->setFrame(NSMakeRect(0, 0, frame().size.width, h));
        if (h != 0) {
            c.origin.y += h;
            c.size.height -= h;
            clip->setFrame(c);
            clip->setBoundsOrigin(scrolled);
            clip->setFrame(clip->frame());
            if (hasHorizontalRuler() && horizontalRulerView())
                horizontalRulerView()->setFrame(NSOffsetRect(horizontalRulerView()->frame(), 0, h));
            if (hasVerticalRuler() && verticalRulerView()) {
                NSRect r = NSOffsetRect(verticalRulerView()->frame(), 0, h);
                r.size.height -= h;
                verticalRulerView()->setFrame(r);
            }
        }
    }

    if (m_bottomRightCornerView) {
        const CGFloat w = hasVerticalScroller() && verticalScroller() ? verticalScroller()->frame().size.width : 0;
        const CGFloat hs =
            hasHorizontalScroller() && horizontalScroller() ? horizontalScroller()->frame().size.height : 0;
        // The scroll view's own space: its bounds, wherever it sits.
        NSRect f = bounds();
        if (borderType() != NSNoBorder) f = NSInsetRect(f, 1, 1);
        m_bottomRightCornerView->setFrame(NSMakeRect(NSMaxX(f) - w, NSMaxY(f) - hs, w, hs));
    }

    if (hasVerticalScroller() && verticalScroller()) verTileWithContentRect(c);
    if (hasHorizontalScroller() && horizontalScroller()) horTileWithContentRect(c);
}

void ZAKScrollView::horTileWithContentRect(const NSRect& c)
{
    const CGFloat l = m_horLeftSlots->count() ? tileSlotsFor(ZAKScrollViewHorizontalLeft, c).size.width : 0;
    const CGFloat r = m_horRightSlots->count() ? tileSlotsFor(ZAKScrollViewHorizontalRight, c).size.width : 0;
    auto scroller = horizontalScroller();
    scroller->setFrame(NSMakeRect(c.origin.x + l, NSMaxY(c), c.size.width - l - r, scroller->frame().size.height));
}

void ZAKScrollView::verTileWithContentRect(const NSRect& c)
{
    const CGFloat t = m_verTopSlots->count() ? tileSlotsFor(ZAKScrollViewVerticalTop, c).size.height : 0;
    const CGFloat b = m_verBottomSlots->count() ? tileSlotsFor(ZAKScrollViewVerticalBottom, c).size.height : 0;
    auto scroller = verticalScroller();
    scroller->setFrame(NSMakeRect(NSMaxX(c), c.origin.y + t, scroller->frame().size.width, c.size.height - t - b));
}

NSRect ZAKScrollView::tileSlotsFor(NSUInteger position, const NSRect& c)
{
    auto views = slots(position);
    if (!views) return NSZeroRect;
    const bool horizontal = position <= ZAKScrollViewHorizontalRight;
    const CGFloat scrollerHeight =
        hasHorizontalScroller() && horizontalScroller() ? horizontalScroller()->frame().size.height : 0;
    NSRect all = NSZeroRect;
    NSRect previous = NSZeroRect;
    for (NSUInteger i = 0; i < views->count(); ++i) {
        auto view = dynamic_ref_cast<NSView>(views->objectAtIndex(i));
        if (!view) continue;
        NSSize size = view->frame().size;
        if (horizontal) size.height = scrollerHeight;
        const bool atStart = horizontal ? all.size.width == 0 : all.size.height == 0;
        NSRect f = NSMakeRect(0, 0, size.width, size.height);
        switch (position) {
        case ZAKScrollViewHorizontalLeft:
            f.origin = NSMakePoint(atStart ? c.origin.x : NSMaxX(previous), NSMaxY(c));
            break;
        case ZAKScrollViewHorizontalRight:
            f.origin = NSMakePoint((atStart ? NSMaxX(c) : previous.origin.x) - size.width, NSMaxY(c));
            break;
        case ZAKScrollViewVerticalTop:
            f.origin = NSMakePoint(NSMaxX(c), atStart ? c.origin.y : NSMaxY(previous));
            break;
        default: f.origin = NSMakePoint(NSMaxX(c), (atStart ? NSMaxY(c) : previous.origin.y) - size.height); break;
        }
        view->setFrame(f);
        all = atStart ? f : NSUnionRect(all, f);
        previous = f;
    }
    return all;
}
