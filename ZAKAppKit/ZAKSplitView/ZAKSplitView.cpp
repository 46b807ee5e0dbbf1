#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"

#include <limits>

#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitSubview.h"

NS_CLASS_DEFINE(ZAKSplitView)

void ZAKSplitView::describeClass(NSClassMembers<ZAKSplitView>& m)
{
    m.property("hideDividersOfCollapsedSubviews", &ZAKSplitView::hideDividersOfCollapsedSubviews,
               &ZAKSplitView::setHideDividersOfCollapsedSubviews);
}

Ref<NSView> ZAKSplitView::initWithFrame(const NSRect& frame)
{
    NSSplitView::initWithFrame(frame);
    m_hideDividersOfCollapsedSubviews = true;
    return this;
}

Id ZAKSplitView::initWithCoder(NSCoder* coder)
{
    // The platform's decoding runs initWithFrame, which would set the flag.
    NSSplitView::initWithCoder(coder);
    m_hideDividersOfCollapsedSubviews = false;
    return this;
}

bool ZAKSplitView::vetoed(const Ref<ZAKSplitSubview>& subview)
{
    auto* delegate = delegateProtocol();
    return delegate && !delegate->splitViewCanCollapseSubview(this, subview.get()).value_or(true);
}

std::pair<NSInteger, NSInteger> ZAKSplitView::indexes(const Ref<ZAKSplitSubview>& subview) const
{
    const auto& views = subviews();
    auto indexOf = [&](const NSView* v) {
        for (size_t k = 0; k < views.size(); ++k)
            if (views[k].get() == v) return NSInteger(k);
        return std::numeric_limits<NSInteger>::max();
    };
    auto sibling = subview->splitSubviewToExpand();
    return {indexOf(subview.get()), sibling ? indexOf(sibling.get()) : std::numeric_limits<NSInteger>::max()};
}

void ZAKSplitView::collapseSubview(const Ref<ZAKSplitSubview>& subview)
{
    if (!subview || vetoed(subview)) return;
    const auto [i, j] = indexes(subview);
    if (i == std::numeric_limits<NSInteger>::max()) return;
    if (i < j) setPosition(minPossiblePositionOfDividerAtIndex(i), i);
    else setPosition(maxPossiblePositionOfDividerAtIndex(i - 1), i - 1);
}

void ZAKSplitView::expandSubview(const Ref<ZAKSplitSubview>& subview)
{
    if (!subview || vetoed(subview)) return;
    const auto [i, j] = indexes(subview);
    if (i == std::numeric_limits<NSInteger>::max()) return;
    const NSRect f = subview->frame();
    if (i < j) setPosition(isVertical() ? NSMaxX(f) : NSMaxY(f), i);
    else setPosition((isVertical() ? f.origin.x : f.origin.y) - dividerThickness(), i - 1);
}
