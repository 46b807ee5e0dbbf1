#include "AppKit/NSScrollView.h"

#include <algorithm>

#include "AppKit/NSGraphics.h"
#include "AppKit/NSRulerView.h"
#include "AppKit/NSTableView.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSScrollView)

namespace {

constexpr CGFloat kScroller = NSScroller::kWidth;

CGFloat insetFor(NSBorderType type) { return type == NSNoBorder ? 0 : 1; }

// The scroller's value for a visible span inside a document span.
double valueFor(CGFloat offset, CGFloat documentLength, CGFloat visibleLength)
{
    const CGFloat range = documentLength - visibleLength;
    return range > 0 ? std::clamp(double(offset / range), 0.0, 1.0) : 0.0;
}

}

void NSScrollView::describeClass(NSClassMembers<NSScrollView>& m)
{
    m.action("_doScroller:", &NSScrollView::doScroller);
    m.outlet("documentView", &NSScrollView::setDocumentView);
}

Ref<NSView> NSScrollView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    setUpParts();
    setContentView(static_ref_cast<NSClipView>(alloc<NSClipView>()->initWithFrame(bounds())));
    return this;
}

void NSScrollView::setUpParts()
{
    if (!m_verticalScroller) {
        auto v = alloc<NSScroller>();
        v->initWithFrame(NSMakeRect(0, 0, kScroller, 100));
        setVerticalScroller(v);
    }
    if (!m_horizontalScroller) {
        auto h = alloc<NSScroller>();
        h->initWithFrame(NSMakeRect(0, 0, 100, kScroller));
        setHorizontalScroller(h);
    }
}

NSSize NSScrollView::contentSizeForFrameSize(NSSize size, bool hasHorizontal, bool hasVertical, NSBorderType type)
{
    const CGFloat inset = 2 * insetFor(type);
    return {std::max(0.0, size.width - inset - (hasVertical ? kScroller : 0)),
            std::max(0.0, size.height - inset - (hasHorizontal ? kScroller : 0))};
}

NSSize NSScrollView::frameSizeForContentSize(NSSize size, bool hasHorizontal, bool hasVertical, NSBorderType type)
{
    const CGFloat inset = 2 * insetFor(type);
    return {size.width + inset + (hasVertical ? kScroller : 0), size.height + inset + (hasHorizontal ? kScroller : 0)};
}

void NSScrollView::setContentView(const Ref<NSClipView>& clipView)
{
    if (!clipView || clipView == m_contentView) return;
    Ref<NSView> document = m_contentView ? m_contentView->documentView() : nullptr;
    if (m_contentView) m_contentView->removeFromSuperview();
    m_contentView = clipView;
    addSubview(clipView);
    if (document && !clipView->documentView()) clipView->setDocumentView(document);
    tile();
}

Ref<NSView> NSScrollView::documentView() const { return m_contentView ? m_contentView->documentView() : nullptr; }

void NSScrollView::setDocumentView(const Ref<NSView>& view)
{
    if (!m_contentView) return;
    m_contentView->setDocumentView(view);
    tile();
}

NSRect NSScrollView::documentVisibleRect() const
{
    return m_contentView ? m_contentView->documentVisibleRect() : NSZeroRect;
}

NSSize NSScrollView::contentSize() const { return m_contentView ? m_contentView->frame().size : NSZeroSize; }

void NSScrollView::setHasVerticalScroller(bool flag)
{
    if (flag == m_hasVerticalScroller) return;
    m_hasVerticalScroller = flag;
    tile();
}

void NSScrollView::setHasHorizontalScroller(bool flag)
{
    if (flag == m_hasHorizontalScroller) return;
    m_hasHorizontalScroller = flag;
    tile();
}

void NSScrollView::setVerticalScroller(const Ref<NSScroller>& scroller)
{
    if (m_verticalScroller && m_verticalScroller->superview().get() == this) m_verticalScroller->removeFromSuperview();
    m_verticalScroller = scroller;
    if (scroller) {
        scroller->setTarget(Ref<NSScrollView>(this));
        scroller->setAction("_doScroller:");
    }
    tile();
}

void NSScrollView::setHorizontalScroller(const Ref<NSScroller>& scroller)
{
    if (m_horizontalScroller && m_horizontalScroller->superview().get() == this)
        m_horizontalScroller->removeFromSuperview();
    m_horizontalScroller = scroller;
    if (scroller) {
        scroller->setTarget(Ref<NSScrollView>(this));
        scroller->setAction("_doScroller:");
    }
    tile();
}

void NSScrollView::setAutohidesScrollers(bool flag)
{
    if (flag == m_autohidesScrollers) return;
    m_autohidesScrollers = flag;
    tile();
}

void NSScrollView::setBorderType(NSBorderType type)
{
    if (type == m_borderType) return;
    m_borderType = type;
    tile();
    setNeedsDisplay(true);
}

void NSScrollView::setDrawsBackground(bool flag)
{
    if (m_contentView) m_contentView->setDrawsBackground(flag);
}

void NSScrollView::setBackgroundColor(const Ref<NSColor>& color)
{
    if (m_contentView) m_contentView->setBackgroundColor(color);
}

void NSScrollView::setHasVerticalRuler(bool flag)
{
    if (flag == m_hasVerticalRuler) return;
    m_hasVerticalRuler = flag;
    tile();
}

void NSScrollView::setHasHorizontalRuler(bool flag)
{
    if (flag == m_hasHorizontalRuler) return;
    m_hasHorizontalRuler = flag;
    tile();
}

void NSScrollView::setRulersVisible(bool flag)
{
    if (flag == m_rulersVisible) return;
    m_rulersVisible = flag;
    tile();
}

void NSScrollView::setVerticalRulerView(const Ref<NSView>& ruler)
{
    if (ruler == m_verticalRuler) return;
    if (m_verticalRuler && m_verticalRuler->superview().get() == this) m_verticalRuler->removeFromSuperview();
    m_verticalRuler = ruler;
    adoptRuler(ruler);
    tile();
}

void NSScrollView::setHorizontalRulerView(const Ref<NSView>& ruler)
{
    if (ruler == m_horizontalRuler) return;
    if (m_horizontalRuler && m_horizontalRuler->superview().get() == this) m_horizontalRuler->removeFromSuperview();
    m_horizontalRuler = ruler;
    adoptRuler(ruler);
    tile();
}

void NSScrollView::adoptRuler(const Ref<NSView>& ruler)
{
    if (auto rulerView = dynamic_ref_cast<NSRulerView>(ruler)) rulerView->setScrollView(this);
}

void NSScrollView::placeSubview(const Ref<NSView>& view, bool shown, const NSRect& frame)
{
    if (!view) return;
    const bool inside = view->superview().get() == this;
    if (!shown) {
        if (inside) view->removeFromSuperview();
        return;
    }
    if (!inside) addSubview(view);
    view->setFrame(frame);
}

void NSScrollView::tile()
{
    if (!m_contentView || m_tiling) return;
    m_tiling = true;
    const NSRect inner = NSInsetRect(bounds(), borderInset(), borderInset());
    const CGFloat rulerWidth = verticalRulerShown() ? m_verticalRuler->frame().size.width : 0;
    const CGFloat rulerHeight = horizontalRulerShown() ? m_horizontalRuler->frame().size.height : 0;

    const auto doc = documentView();
    const NSSize docSize = doc ? doc->frame().size : NSZeroSize;
    bool showV = m_hasVerticalScroller, showH = m_hasHorizontalScroller;
    if (m_autohidesScrollers) {
        // Twice: a horizontal scroller can make a vertical one necessary.
        showV = showH = false;
        for (int pass = 0; pass < 2; ++pass) {
            showV = m_hasVerticalScroller && docSize.height > inner.size.height - rulerHeight - (showH ? kScroller : 0);
            showH = m_hasHorizontalScroller && docSize.width > inner.size.width - rulerWidth - (showV ? kScroller : 0);
        }
    }
    m_showVertical = showV;
    m_showHorizontal = showH;
    const CGFloat vs = showV ? kScroller : 0;
    const CGFloat hs = showH ? kScroller : 0;
    // The scroll view is flipped: the top comes first.
    const NSRect area = NSMakeRect(inner.origin.x, inner.origin.y, std::max(0.0, inner.size.width - vs),
                                   std::max(0.0, inner.size.height - hs));

    placeSubview(m_horizontalScroller, showH, NSMakeRect(inner.origin.x, NSMaxY(area), area.size.width, kScroller));
    placeSubview(m_verticalScroller, showV,
                 NSMakeRect(NSMaxX(inner) - kScroller, area.origin.y, kScroller, area.size.height));
    placeSubview(m_verticalRuler, rulerWidth > 0 || verticalRulerShown(),
                 NSMakeRect(area.origin.x, area.origin.y + rulerHeight, rulerWidth,
                            std::max(0.0, area.size.height - rulerHeight)));
    placeSubview(m_horizontalRuler, rulerHeight > 0 || horizontalRulerShown(),
                 NSMakeRect(area.origin.x + rulerWidth, area.origin.y, std::max(0.0, area.size.width - rulerWidth),
                            rulerHeight));
    NSRect clipFrame =
        NSMakeRect(area.origin.x + rulerWidth, area.origin.y + rulerHeight, std::max(0.0, area.size.width - rulerWidth),
                   std::max(0.0, area.size.height - rulerHeight));
    auto table = dynamic_ref_cast<NSTableView>(doc);
    Ref<NSView> header = table ? table->headerView() : nullptr;
    if (header) {
        if (!m_headerClipView) {
            m_headerClipView = alloc<NSClipView>();
            m_headerClipView->initWithFrame(NSZeroRect);
        }
        if (m_headerClipView->documentView() != header) m_headerClipView->setDocumentView(header);
        const CGFloat h = std::min(header->frame().size.height, clipFrame.size.height);
        placeSubview(m_headerClipView, true,
                     NSMakeRect(clipFrame.origin.x, clipFrame.origin.y, clipFrame.size.width, h));
        clipFrame.origin.y += h;
        clipFrame.size.height -= h;
    } else if (m_headerClipView) {
        placeSubview(m_headerClipView, false, NSZeroRect);
        m_headerClipView->setDocumentView(nullptr);
    }
    m_contentView->setFrame(clipFrame);
    m_tiling = false;
    reflectScrolledClipView(m_contentView);
}

void NSScrollView::reflectScrolledClipView(const Ref<NSClipView>& clipView)
{
    if (!clipView || clipView != m_contentView || m_tiling) return;
    // Rulers follow the document under them.
    if (verticalRulerShown()) m_verticalRuler->setNeedsDisplay(true);
    if (horizontalRulerShown()) m_horizontalRuler->setNeedsDisplay(true);
    const auto doc = documentView();
    const NSRect docFrame = doc ? doc->frame() : NSZeroRect;
    if (m_autohidesScrollers) {
        const bool wantV = m_hasVerticalScroller && docFrame.size.height > clipView->bounds().size.height;
        const bool wantH = m_hasHorizontalScroller && docFrame.size.width > clipView->bounds().size.width;
        // Tiling ends by reflecting again, with the scrollers settled.
        if ((wantV && !m_showVertical) || (wantH && !m_showHorizontal) || (!wantV && m_showVertical) ||
            (!wantH && m_showHorizontal)) {
            const bool before[2] = {m_showVertical, m_showHorizontal};
            tile();
            if (before[0] != m_showVertical || before[1] != m_showHorizontal) return;
        }
    }
    const NSRect visible = clipView->bounds();
    if (m_headerClipView && m_headerClipView->superview().get() == this)
        m_headerClipView->scrollToPoint(NSMakePoint(visible.origin.x, 0));
    if (m_verticalScroller) {
        const CGFloat h = docFrame.size.height;
        const CGFloat offset =
            clipView->isFlipped() ? NSMinY(visible) - NSMinY(docFrame) : NSMaxY(docFrame) - NSMaxY(visible);
        m_verticalScroller->setKnobProportion(h > 0 ? std::min(1.0, visible.size.height / h) : 1.0);
        m_verticalScroller->setDoubleValue(valueFor(offset, h, visible.size.height));
        m_verticalScroller->setEnabled(h > visible.size.height);
    }
    if (m_horizontalScroller) {
        const CGFloat w = docFrame.size.width;
        m_horizontalScroller->setKnobProportion(w > 0 ? std::min(1.0, visible.size.width / w) : 1.0);
        m_horizontalScroller->setDoubleValue(valueFor(NSMinX(visible) - NSMinX(docFrame), w, visible.size.width));
        m_horizontalScroller->setEnabled(w > visible.size.width);
    }
}

void NSScrollView::scrollClipBy(CGFloat right, CGFloat up)
{
    if (!m_contentView) return;
    NSPoint origin = m_contentView->bounds().origin;
    origin.x += right;
    origin.y += m_contentView->isFlipped() ? -up : up;
    m_contentView->scrollToPoint(origin);
}

void NSScrollView::doScroller(const Id& sender)
{
    auto scroller = dynamic_ref_cast<NSScroller>(sender);
    if (!scroller || !m_contentView) return;
    const bool vertical = scroller == m_verticalScroller;
    const NSRect visible = m_contentView->bounds();
    const auto doc = documentView();
    const NSRect docFrame = doc ? doc->frame() : NSZeroRect;
    const CGFloat page =
        vertical ? visible.size.height - m_verticalPageScroll : visible.size.width - m_horizontalPageScroll;
    const CGFloat line = vertical ? m_verticalLineScroll : m_horizontalLineScroll;
    CGFloat step = 0;  // towards the top or the left
    switch (scroller->hitPart()) {
    case NSScrollerDecrementPage: step = std::max(page, line); break;
    case NSScrollerIncrementPage: step = -std::max(page, line); break;
    case NSScrollerDecrementLine: step = line; break;
    case NSScrollerIncrementLine: step = -line; break;
    case NSScrollerKnob: {
        NSPoint origin = visible.origin;
        const double value = scroller->doubleValue();
        if (!vertical) origin.x = NSMinX(docFrame) + value * (docFrame.size.width - visible.size.width);
        else if (m_contentView->isFlipped())
            origin.y = NSMinY(docFrame) + value * (docFrame.size.height - visible.size.height);
        else origin.y = NSMaxY(docFrame) - visible.size.height - value * (docFrame.size.height - visible.size.height);
        m_contentView->scrollToPoint(origin);
        reflectScrolledClipView(m_contentView);
        return;
    }
    default: return;
    }
    if (vertical) scrollClipBy(0, step);
    else scrollClipBy(-step, 0);
    reflectScrolledClipView(m_contentView);
}

void NSScrollView::scrollWheel(const Ref<NSEvent>& event)
{
    if (!m_contentView || !event) return;
    const NSPoint before = m_contentView->bounds().origin;
    const CGFloat right = m_hasHorizontalScroller ? -event->deltaX() * m_horizontalLineScroll : 0;
    const CGFloat up = m_hasVerticalScroller ? event->deltaY() * m_verticalLineScroll : 0;
    scrollClipBy(right, up);
    // Nothing to scroll here: an enclosing scroll view may.
    if (m_contentView->bounds().origin == before) NSView::scrollWheel(event);
}

void NSScrollView::setFrame(const NSRect& frame)
{
    NSView::setFrame(frame);
    tile();
}

void NSScrollView::setFrameSize(NSSize size) { setFrame({frame().origin, size}); }

void NSScrollView::resizeSubviewsWithOldSize(NSSize) { tile(); }

void NSScrollView::drawRect(const NSRect&)
{
    if (m_borderType == NSNoBorder) return;
    const NSRect b = bounds();
    (m_borderType == NSLineBorder ? NSColor::colorWithCalibratedWhite(0.25, 1)
                                  : NSColor::colorWithCalibratedWhite(0.6, 1))
        ->setFill();
    NSFrameRect(b);
    if (m_showVertical && m_showHorizontal) {
        // The corner between the two scrollers.
        NSColor::colorWithCalibratedWhite(0.96, 1)->setFill();
        NSRectFill(NSMakeRect(NSMaxX(b) - 1 - kScroller, NSMinY(b) + 1, kScroller, kScroller));
    }
}

void NSScrollView::encodeWithCoder(NSCoder* coder) const
{
    using ViewCoding::key;
    ViewCoding::encodeView(*this, coder);
    ViewCoding::encodeIfCodable(coder, m_contentView, "NSContentView");
    ViewCoding::encodeIfCodable(coder, m_verticalScroller, "NSVScroller");
    ViewCoding::encodeIfCodable(coder, m_horizontalScroller, "NSHScroller");
    coder->encodeBool(m_hasVerticalScroller, key("NSHasVerticalScroller"));
    coder->encodeBool(m_hasHorizontalScroller, key("NSHasHorizontalScroller"));
    coder->encodeBool(m_autohidesScrollers, key("NSAutohidesScrollers"));
    coder->encodeInteger(NSInteger(m_borderType), key("NSBorderType"));
    coder->encodeBool(m_hasVerticalRuler, key("NSHasVerticalRuler"));
    coder->encodeBool(m_hasHorizontalRuler, key("NSHasHorizontalRuler"));
    coder->encodeBool(m_rulersVisible, key("NSRulersVisible"));
    coder->encodeDouble(m_verticalLineScroll, key("NSVerticalLineScroll"));
    coder->encodeDouble(m_horizontalLineScroll, key("NSHorizontalLineScroll"));
    ViewCoding::encodeIfCodable(coder, m_verticalRuler, "NSVRuler");
    ViewCoding::encodeIfCodable(coder, m_horizontalRuler, "NSHRuler");
}

Id NSScrollView::initWithCoder(NSCoder* coder)
{
    using ViewCoding::key;
    ViewCoding::decodeView(*this, coder);
    m_tiling = true;
    m_hasVerticalScroller = coder->decodeBoolForKey(key("NSHasVerticalScroller"));
    m_hasHorizontalScroller = coder->decodeBoolForKey(key("NSHasHorizontalScroller"));
    m_autohidesScrollers = coder->decodeBoolForKey(key("NSAutohidesScrollers"));
    const NSInteger border = coder->decodeIntegerForKey(key("NSBorderType"));
    m_borderType = border >= 0 && border <= NSInteger(NSGrooveBorder) ? NSBorderType(border) : NSNoBorder;
    m_hasVerticalRuler = coder->decodeBoolForKey(key("NSHasVerticalRuler"));
    m_hasHorizontalRuler = coder->decodeBoolForKey(key("NSHasHorizontalRuler"));
    m_rulersVisible = coder->decodeBoolForKey(key("NSRulersVisible"));
    if (coder->containsValueForKey(key("NSVerticalLineScroll")))
        m_verticalLineScroll = coder->decodeDoubleForKey(key("NSVerticalLineScroll"));
    if (coder->containsValueForKey(key("NSHorizontalLineScroll")))
        m_horizontalLineScroll = coder->decodeDoubleForKey(key("NSHorizontalLineScroll"));
    m_verticalPageScroll = m_horizontalPageScroll = 10;
    auto v = dynamic_ref_cast<NSScroller>(coder->decodeObjectForKey(key("NSVScroller")));
    auto h = dynamic_ref_cast<NSScroller>(coder->decodeObjectForKey(key("NSHScroller")));
    auto clip = dynamic_ref_cast<NSClipView>(coder->decodeObjectForKey(key("NSContentView")));
    if (v) setVerticalScroller(v);
    if (h) setHorizontalScroller(h);
    m_tiling = false;
    setUpParts();
    setContentView(clip ? clip : static_ref_cast<NSClipView>(alloc<NSClipView>()->initWithFrame(bounds())));
    if (auto ruler = dynamic_ref_cast<NSView>(coder->decodeObjectForKey(key("NSVRuler")))) setVerticalRulerView(ruler);
    if (auto ruler = dynamic_ref_cast<NSView>(coder->decodeObjectForKey(key("NSHRuler"))))
        setHorizontalRulerView(ruler);
    return this;
}
