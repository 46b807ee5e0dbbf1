#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbar.h"

#include <cmath>

#include "AppKit/NSGradient.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSNotificationCenter.h"
#include "ZAKAppKit/ZAKSplitView/NSView+ZAKSplitViewExtensions.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarButton.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarDraggingHandle.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarLook.h"

NS_CLASS_DEFINE(ZAKSplitViewToolbar)

namespace {

constexpr double kItemMargin = 10;
constexpr double kGripRoomVertical = 17;
constexpr double kGripRoomHorizontal = 20;
constexpr double kGripWidth = 20;

}

void ZAKSplitViewToolbar::describeClass(NSClassMembers<ZAKSplitViewToolbar>& m)
{
    m.action("windowStatusChanged", &ZAKSplitViewToolbar::windowStatusChanged);
    m.action("injectEnclosingSplitView:", &ZAKSplitViewToolbar::injectEnclosingSplitView);
    m.property("drawDraggingButton", &ZAKSplitViewToolbar::drawDraggingButton,
               &ZAKSplitViewToolbar::setDrawDraggingButton);
    m.property("drawDraggingButtonOnRight", &ZAKSplitViewToolbar::drawDraggingButtonOnRight,
               &ZAKSplitViewToolbar::setDrawDraggingButtonOnRight);
    m.property("height", &ZAKSplitViewToolbar::height, &ZAKSplitViewToolbar::setHeight);
    m.property("anchoredEdge", &ZAKSplitViewToolbar::anchoredEdge, &ZAKSplitViewToolbar::setAnchoredEdge);
    m.property("itemDelimiterEnabled", &ZAKSplitViewToolbar::isItemDelimiterEnabled,
               &ZAKSplitViewToolbar::setItemDelimiterEnabled);
    m.property("contentAlign", &ZAKSplitViewToolbar::contentAlign, &ZAKSplitViewToolbar::setContentAlign);
}

Id ZAKSplitViewToolbar::init()
{
    NSView::initWithFrame(NSZeroRect);
    commonConfiguration();
    return this;
}

void ZAKSplitViewToolbar::awakeFromNib() { commonConfiguration(); }

void ZAKSplitViewToolbar::commonConfiguration()
{
    m_shouldDrawDraggingButton = false;
    m_drawDraggingButtonOnRight = true;
    m_height = 24.0;
    m_itemDelimiterEnabled = true;
    m_contentAlign = 0;
    m_previousToolbarRect = NSZeroRect;
    m_buttons.clear();
    m_delimiterOffsets.clear();
    m_anchoredEdge = 0;
    setAnchoredEdge(1);
    auto center = NSNotificationCenter::defaultCenter();
    center->addObserver(this, "windowStatusChanged", NSString::stringWithUTF8String(NSWindowDidBecomeKeyNotification),
                        nullptr);
    center->addObserver(this, "windowStatusChanged", NSString::stringWithUTF8String(NSWindowDidResignKeyNotification),
                        nullptr);
}

// --- Items ---

void ZAKSplitViewToolbar::addItem(const Ref<ZAKSplitViewToolbarButton>& item)
{
    if (!item) return;
    const auto image = item->image();
    const auto title = item->attributedTitle();
    const double iw = image ? image->size().width : 0;
    const double tw = title && title->length() > 0 ? NSAttributedStringExt::size(title).width : 0;
    const double minimum = item->toolbarButtonWidth();
    double width = minimum;
    if (iw > 0 && tw > 0) width = iw + kItemMargin + kItemMargin + tw + kItemMargin;
    else if (iw > 0) width = iw + 2 * kItemMargin;
    else if (tw > 0) width = tw + 2 * kItemMargin;
    width = std::max(width, minimum);
    item->setFrame(NSMakeRect(0, 0, width, m_height - 1));
    if (item->toolbarButtonAlign() == 0) item->setAutoresizingMask(NSViewMaxXMargin);
    else if (item->toolbarButtonAlign() == 1) item->setAutoresizingMask(NSViewMinXMargin);
    m_buttons.push_back(item);
    addSubview(item);
}

void ZAKSplitViewToolbar::removeItem(const Ref<ZAKSplitViewToolbarButton>& item)
{
    std::erase_if(m_buttons, [&](const Ref<NSView>& v) { return v.get() == item.get(); });
    if (item) item->removeFromSuperview();
}

void ZAKSplitViewToolbar::removeAllItems()
{
    const auto views = subviews();
    for (const auto& v : views) v->removeFromSuperview();
    m_buttons.clear();
    m_draggingHandler = nullptr;
    setNeedsDisplay(true);
}

void ZAKSplitViewToolbar::enable()
{
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(ZAKToolbarItemsEnableNotification), nullptr);
}

void ZAKSplitViewToolbar::disable()
{
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(ZAKToolbarItemsDisableNotification), nullptr);
}

bool ZAKSplitViewToolbar::containsSubView(const Ref<NSView>& view) const
{
    for (const auto& v : subviews())
        if (v->isEqual(view.get())) return true;
    return false;
}

// --- Settings ---

void ZAKSplitViewToolbar::setAnchoredEdge(int edge)
{
    const bool changed = edge != m_anchoredEdge;
    m_anchoredEdge = edge;
    setAutoresizingMask(NSViewWidthSizable | (edge == 1 ? NSViewMinYMargin : NSViewMaxYMargin));
    // Items stand one point up under a border along the bottom; moved once.
    if (edge != 2 || !changed) return;
    for (const auto& v : subviews()) {
        NSPoint origin = v->frame().origin;
        origin.y += 1;
        v->setFrameOrigin(origin);
    }
}

void ZAKSplitViewToolbar::setItemDelimiterEnabled(bool flag)
{
    m_itemDelimiterEnabled = flag;
    m_previousToolbarRect = NSZeroRect;
    setNeedsDisplay(true);
}

void ZAKSplitViewToolbar::setContentAlign(int align)
{
    m_contentAlign = align;
    m_previousToolbarRect = NSZeroRect;
    setNeedsDisplay(true);
}

void ZAKSplitViewToolbar::injectEnclosingSplitView(const Ref<NSNotification>& notification)
{
    m_enclosingSplitView = notification ? dynamic_ref_cast<ZAKSplitView>(notification->object()) : nullptr;
}

void ZAKSplitViewToolbar::windowStatusChanged() { setNeedsDisplay(true); }

bool ZAKSplitViewToolbar::windowIsKey() const
{
    auto w = window();
    return w && w->isKeyWindow();
}

// --- The grip ---

NSRect ZAKSplitViewToolbar::gripFrame() const
{
    auto pane = superview();
    const double paneWidth = pane ? pane->frame().size.width : frame().size.width;
    // The grip is the bar's subview: it stands on the bar's own bottom,
    // wherever the pane lies.
    return NSMakeRect(m_drawDraggingButtonOnRight ? paneWidth - kGripWidth : 0, bounds().origin.y, kGripWidth,
                      bounds().size.height);
}

void ZAKSplitViewToolbar::setDrawDraggingButton(bool flag)
{
    if (flag == m_shouldDrawDraggingButton) return;
    m_shouldDrawDraggingButton = flag;
    if (m_draggingHandler) {
        m_draggingHandler->removeFromSuperview();
        m_draggingHandler = nullptr;
    }
    auto sv = NSViewExt::enclosingZAKSplitView(this);
    if (flag && sv && (sv->isVertical() || m_anchoredEdge == 1)) {
        m_draggingHandler = static_ref_cast<ZAKSplitViewToolbarDraggingHandle>(
            NSObject::alloc<ZAKSplitViewToolbarDraggingHandle>()->init());
        m_draggingHandler->setVertical(sv->isVertical());
        m_draggingHandler->setAutoresizingMask(m_drawDraggingButtonOnRight ? NSViewMinXMargin : NSViewMaxYMargin);
        m_draggingHandler->setFrame(gripFrame());
        addSubview(m_draggingHandler);
    }
    recalculateItemPositions();
    setNeedsDisplay(true);
}

void ZAKSplitViewToolbar::setDrawDraggingButtonOnRight(bool flag)
{
    m_drawDraggingButtonOnRight = flag;
    if (!m_draggingHandler) return;
    m_draggingHandler->setFrame(gripFrame());
    recalculateItemPositions();
    setNeedsDisplay(true);
}

// --- Place in the split view ---

bool ZAKSplitViewToolbar::isInLastSubview() const
{
    auto sv = NSViewExt::enclosingZAKSplitView(this);
    auto pane = superview();
    return sv && pane && !sv->subviews().empty() && sv->subviews().back().get() == pane.get();
}

NSInteger ZAKSplitViewToolbar::dividerIndexNearestToHandle() const
{
    auto sv = NSViewExt::enclosingZAKSplitView(this);
    if (!sv) return NSNotFound;
    const auto& views = sv->subviews();
    if (isInLastSubview()) return NSInteger(views.size()) - 2;
    auto pane = superview();
    for (size_t k = 0; k < views.size(); ++k)
        if (views[k].get() == pane.get()) return NSInteger(k);
    return NSNotFound;
}

// --- Layout ---

void ZAKSplitViewToolbar::recalculateItemPositions()
{
    auto sv = NSViewExt::enclosingZAKSplitView(this);
    const double gripRoom = m_draggingHandler ? (sv && sv->isVertical() ? kGripRoomVertical : kGripRoomHorizontal) : 0;
    const double width = frame().size.width;
    double left = m_drawDraggingButtonOnRight ? 0 : gripRoom;
    double right = m_drawDraggingButtonOnRight ? width - gripRoom : width;
    m_delimiterOffsets.clear();
    const double d = m_itemDelimiterEnabled ? 1.0 : 0.0;
    const double y = m_anchoredEdge == 1 ? 0 : 1;
    std::vector<Ref<ZAKSplitViewToolbarButton>> items;
    for (const auto& v : m_buttons)
        if (auto item = dynamic_ref_cast<ZAKSplitViewToolbarButton>(v)) items.push_back(item);

    if (m_contentAlign == 0) {
        for (const auto& item : items) {
            const double w = item->frame().size.width;
            if (item->toolbarButtonAlign() != 0) {
                item->setAutoresizingMask(NSViewMinXMargin);
                item->setFrameOrigin(NSMakePoint(right - w, y));
                right -= w + d;
                m_delimiterOffsets.push_back(std::ceil(item->frame().origin.x) - 1);
            } else {
                item->setAutoresizingMask(NSViewMaxXMargin);
                item->setFrameOrigin(NSMakePoint(left, y));
                left += w + d;
                m_delimiterOffsets.push_back(std::ceil(item->frame().origin.x + w));
            }
        }
    } else if (m_contentAlign == 1) {
        double total = 0;
        for (const auto& item : items) total += item->frame().size.width + d;
        left = std::ceil((bounds().size.width - total) * 0.5);
        for (size_t i = 0; i < items.size(); ++i) {
            const auto& item = items[i];
            const double w = item->frame().size.width;
            item->setAutoresizingMask(NSViewNotSizable);
            item->setFrameOrigin(NSMakePoint(left, y));
            left += std::ceil(w) + d;
            if (i == 0) m_delimiterOffsets.push_back(std::ceil(item->frame().origin.x) - 1);
            m_delimiterOffsets.push_back(std::ceil(item->frame().origin.x + w));
        }
    }
    setNeedsDisplay(true);
}

// --- Drawing ---

void ZAKSplitViewToolbar::drawRect(const NSRect& dirtyRect)
{
    const bool key = windowIsKey();
    const NSRect b = bounds();
    // The gradient spans the whole bar; a partial redraw repaints its part.
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(dirtyRect);
    ZAKSplitViewToolbarLook::barGradient(key)->drawInRect(b, 90);
    NSGraphicsContext::restoreGraphicsState();
    ZAKSplitViewToolbarLook::lightened(NSColor::colorWithCalibratedRed(0.5, 0.5, 0.5, 1), key)->set();
    NSRectFill(NSMakeRect(b.origin.x, m_anchoredEdge != 2 ? b.size.height - 1 : 0, b.size.width, 1));
    if (!NSEqualRects(b, m_previousToolbarRect)) recalculateItemPositions();
    m_previousToolbarRect = b;
    drawItemDelimiter();
}

void ZAKSplitViewToolbar::drawItemDelimiter()
{
    if (!m_itemDelimiterEnabled) return;
    auto gradient = ZAKSplitViewToolbarLook::separatorGradient(windowIsKey());
    const double y0 = m_anchoredEdge == 1 ? 0 : 1;
    for (double x : m_delimiterOffsets) gradient->drawInRect(NSMakeRect(x, y0, 1.0, bounds().size.height - 1), 90);
}
