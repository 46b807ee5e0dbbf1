#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"

#include <atomic>
#include <cmath>

#include "AppKitExtensions/NSColor+ZAKExtension.h"
#include "AppKitExtensions/ZAKMultiGradient.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButton.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"
#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

NS_CLASS_DEFINE(ZAKAnchoredButtonBar)

namespace {

std::atomic<bool>& borderedFlag()
{
    static std::atomic<bool> flag{false};
    return flag;
}

struct BarLook {
    Ref<NSColor> bottomBarTopLine = NSColor::colorWithCalibratedWhite(202.0 / 255, 1);
    Ref<NSColor> topBarTopLine = NSColor::colorWithCalibratedWhite(190.0 / 255, 1);
    Ref<NSColor> topBarBorder = NSColor::colorWithCalibratedWhite(170.0 / 255, 1);
    Ref<NSColor> lastButtonInset = NSColor::colorWithCalibratedWhite(1, 0.5);
    Ref<NSColor> handleGroove = NSColor::colorWithCalibratedWhite(0, 0.598);
    Ref<NSColor> handleHighlight = NSColor::colorWithCalibratedWhite(1, 0.55);
    Ref<ZAKMultiGradient> background = ZAKMultiGradient::aquaNormalGradient();
};

const BarLook& look()
{
    static const BarLook* shared = new BarLook;
    return *shared;
}

bool isAnchoredButton(const Ref<NSView>& view)
{
    return view->isMemberOfClass(ZAKAnchoredButton::staticClass()) ||
           view->isMemberOfClass(ZAKAnchoredPopUpButton::staticClass());
}

void setEdges(const Ref<NSView>& view, bool left, bool right)
{
    if (auto button = dynamic_ref_cast<ZAKAnchoredButton>(view)) {
        button->setAtLeftEdgeOfBar(left);
        button->setAtRightEdgeOfBar(right);
    } else if (auto popUp = dynamic_ref_cast<ZAKAnchoredPopUpButton>(view)) {
        popUp->setAtLeftEdgeOfBar(left);
        popUp->setAtRightEdgeOfBar(right);
    }
}

}

Ref<NSView> ZAKAnchoredButtonBar::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_isResizable = true;
    m_isAtBottom = true;
    m_handleIsRightAligned = false;
    m_selectedIndex = 0;
    return this;
}

void ZAKAnchoredButtonBar::encodeWithCoder(NSCoder* coder) const
{
    encodeViewKeys(coder);
    coder->encodeBool(m_isResizable, "ZAKABBIsResizable"_ns);
    coder->encodeBool(m_isAtBottom, "ZAKABBIsAtBottom"_ns);
    coder->encodeBool(m_handleIsRightAligned, "ZAKABBHandleIsRightAligned"_ns);
    coder->encodeInt32(m_selectedIndex, "ZAKABBSelectedIndex"_ns);
}

Id ZAKAnchoredButtonBar::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder);
    setResizable(coder->decodeBoolForKey("ZAKABBIsResizable"_ns));
    setAtBottom(coder->decodeBoolForKey("ZAKABBIsAtBottom"_ns));
    setHandleIsRightAligned(coder->decodeBoolForKey("ZAKABBHandleIsRightAligned"_ns));
    setSelectedIndex(coder->decodeInt32ForKey("ZAKABBSelectedIndex"_ns));
    return this;
}

void ZAKAnchoredButtonBar::awakeFromNib()
{
    NSView::awakeFromNib();
    if (auto split = splitView(); split && split->isVertical() && m_isResizable) split->setDelegate(Id(this));
    NSViewExt::zakBringToFront(this);
}

void ZAKAnchoredButtonBar::viewDidMoveToSuperview()
{
    NSView::viewDidMoveToSuperview();
    if (splitView()) m_handleIsRightAligned = isInLastSubview();
}

Ref<NSSplitView> ZAKAnchoredButtonBar::splitView() const
{
    for (auto view = superview(); view; view = view->superview())
        if (auto split = dynamic_ref_cast<NSSplitView>(view)) return split;
    return nullptr;
}

bool ZAKAnchoredButtonBar::isInLastSubview() const
{
    auto split = splitView();
    if (!split) return false;
    const auto& panes = split->subviews();
    return !panes.empty() && panes.back() == superview();
}

void ZAKAnchoredButtonBar::setSelectedIndex(int32_t index)
{
    m_selectedIndex = index;
    switch (index) {
    case 0:
        setAtBottom(true);
        setResizable(true);
        break;
    case 1:
        setAtBottom(true);
        setResizable(false);
        break;
    case 2:
        setAtBottom(false);
        setResizable(false);
        break;
    default: break;
    }
    setNeedsDisplay(true);
}

void ZAKAnchoredButtonBar::setIsAtBottom(bool flag)
{
    m_isAtBottom = flag;
    NSRect f = frame();
    f.size.height = flag ? 23 : 24;
    setFrame(f);
    borderedFlag() = !flag;
    setNeedsDisplay(true);
}

bool ZAKAnchoredButtonBar::wasBorderedBar() { return borderedFlag(); }

void ZAKAnchoredButtonBar::drawRect(const NSRect&)
{
    using NSColorExt::zakDrawPixelThickLineAtPosition;
    const NSRect b = bounds();
    const NSRect background =
        m_isAtBottom ? NSMakeRect(b.origin.x, b.origin.y, b.size.width, b.size.height - 1) : NSInsetRect(b, 0, 1);
    look().background->fillRect(background, 270);
    zakDrawPixelThickLineAtPosition(m_isAtBottom ? look().bottomBarTopLine : look().topBarTopLine, 0, 0, b, this, true,
                                    true);
    if (m_isResizable) {
        const NSRect handle =
            m_handleIsRightAligned ? NSMakeRect(4, 6, 6, 10) : NSMakeRect(b.origin.x + b.size.width - 11, 6, 6, 10);
        drawResizeHandleInRect(handle, look().handleGroove);
        drawResizeHandleInRect(NSOffsetRect(handle, 1, -1), look().handleHighlight);
    }
    drawLastButtonInsetInRect(b);
    if (!m_isAtBottom) {
        zakDrawPixelThickLineAtPosition(look().topBarBorder, 0, 0, b, this, true, false);
        zakDrawPixelThickLineAtPosition(look().topBarBorder, 0, 1, b, this, false, false);
        zakDrawPixelThickLineAtPosition(look().topBarBorder, 0, 1, b, this, false, true);
    }
}

void ZAKAnchoredButtonBar::drawResizeHandleInRect(const NSRect& rect, const Ref<NSColor>& color)
{
    for (NSInteger position : {0, 3, 6})
        NSColorExt::zakDrawPixelThickLineAtPosition(color, position, 0, rect, this, false, false);
}

void ZAKAnchoredButtonBar::drawLastButtonInsetInRect(const NSRect& rect)
{
    const auto views = subviews();
    if (views.empty()) return;
    auto last = views.front();
    const NSRect b = bounds();
    for (const auto& view : views) {
        if (!isAnchoredButton(view)) continue;
        const NSRect f = view->frame();
        if (NSMaxX(f) > NSMaxX(last->frame())) last = view;
        setEdges(view, f.origin.x == 0, NSMaxX(f) == b.origin.x + b.size.width);
    }
    if (!isAnchoredButton(last)) return;
    NSColorExt::zakDrawPixelThickLineAtPosition(look().lastButtonInset, NSInteger(std::trunc(NSMaxX(last->frame()))), 0,
                                                NSOffsetRect(rect, 0, -1), this, false, false);
}

NSSplitViewDelegate* ZAKAnchoredButtonBar::forwardee() const
{
    return dynamic_cast<NSSplitViewDelegate*>(m_splitViewDelegate.get().get());
}

std::optional<NSRect> ZAKAnchoredButtonBar::splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView* split,
                                                                                             NSInteger index)
{
    if (auto* d = forwardee())
        if (auto answer = d->splitViewAdditionalEffectiveRectOfDividerAtIndex(split, index)) return answer;
    const NSRect s = split->frame();
    const NSRect f = frame();
    const NSRect b = bounds();
    const CGFloat y = s.size.height - f.origin.y - b.size.height;
    const CGFloat x =
        m_handleIsRightAligned ? s.size.width - b.size.width : b.origin.x + b.size.width - kHandleStripWidth;
    return NSMakeRect(x, y, kHandleStripWidth, b.size.height);
}

std::optional<CGFloat> ZAKAnchoredButtonBar::splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView* split,
                                                                                        CGFloat proposed,
                                                                                        NSInteger index)
{
    if (auto* d = forwardee())
        if (auto answer = d->splitViewConstrainMinCoordinateOfSubviewAt(split, proposed, index)) return answer;
    return proposed;
}

std::optional<CGFloat> ZAKAnchoredButtonBar::splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView* split,
                                                                                        CGFloat proposed,
                                                                                        NSInteger index)
{
    if (auto* d = forwardee())
        if (auto answer = d->splitViewConstrainMaxCoordinateOfSubviewAt(split, proposed, index)) return answer;
    return proposed;
}

std::optional<CGFloat> ZAKAnchoredButtonBar::splitViewConstrainSplitPositionOfSubviewAt(NSSplitView* split,
                                                                                        CGFloat proposed,
                                                                                        NSInteger index)
{
    if (auto* d = forwardee())
        if (auto answer = d->splitViewConstrainSplitPositionOfSubviewAt(split, proposed, index)) return answer;
    return proposed;
}

bool ZAKAnchoredButtonBar::splitViewResizeSubviewsWithOldSize(NSSplitView* split, NSSize oldSize)
{
    if (auto* d = forwardee())
        if (d->splitViewResizeSubviewsWithOldSize(split, oldSize)) return true;
    split->adjustSubviews();
    return true;
}

std::optional<bool> ZAKAnchoredButtonBar::splitViewCanCollapseSubview(NSSplitView* split, NSView* subview)
{
    if (auto* d = forwardee())
        if (auto answer = d->splitViewCanCollapseSubview(split, subview)) return answer;
    return false;
}

std::optional<bool> ZAKAnchoredButtonBar::splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(
    NSSplitView* split, NSView* subview, NSInteger index)
{
    if (auto* d = forwardee())
        if (auto answer = d->splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(split, subview, index))
            return answer;
    return false;
}

std::optional<bool> ZAKAnchoredButtonBar::splitViewShouldHideDividerAtIndex(NSSplitView* split, NSInteger index)
{
    if (auto* d = forwardee())
        if (auto answer = d->splitViewShouldHideDividerAtIndex(split, index)) return answer;
    return false;
}

std::optional<NSRect> ZAKAnchoredButtonBar::splitViewEffectiveRectForDrawnRectOfDividerAtIndex(
    NSSplitView* split, const NSRect& proposedEffectiveRect, const NSRect& drawnRect, NSInteger index)
{
    if (auto* d = forwardee())
        if (auto answer =
                d->splitViewEffectiveRectForDrawnRectOfDividerAtIndex(split, proposedEffectiveRect, drawnRect, index))
            return answer;
    return proposedEffectiveRect;
}
