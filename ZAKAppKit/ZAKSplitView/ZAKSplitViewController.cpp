#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewController.h"

#include "AppKit/NSSplitView.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitSubview.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitView.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbar.h"

NS_CLASS_DEFINE(ZAKSplitViewController)

ZAKSplitViewControllerDelegate* ZAKSplitViewController::delegateProtocol() const
{
    return dynamic_cast<ZAKSplitViewControllerDelegate*>(m_delegate.get().get());
}

double ZAKSplitViewController::minSizeAt(NSSplitView* splitView, NSInteger index)
{
    const auto& views = splitView->subviews();
    if (index < 0 || size_t(index) >= views.size()) return 0;
    auto pane = dynamic_ref_cast<ZAKSplitSubview>(views[size_t(index)]);
    return pane ? pane->minSize() : 0;
}

std::optional<bool> ZAKSplitViewController::splitViewCanCollapseSubview(NSSplitView* splitView, NSView* subview)
{
    if (auto* d = delegateProtocol())
        if (auto answer = d->splitViewCanCollapseSubview(splitView, subview)) return answer;
    auto* pane = dynamic_cast<ZAKSplitSubview*>(subview);
    return pane && pane->isCollapsible();
}

std::optional<bool> ZAKSplitViewController::splitViewShouldHideDividerAtIndex(NSSplitView* splitView,
                                                                              NSInteger dividerIndex)
{
    if (auto* d = delegateProtocol())
        if (auto answer = d->splitViewShouldHideDividerAtIndex(splitView, dividerIndex)) return answer;
    auto* sv = dynamic_cast<ZAKSplitView*>(splitView);
    return sv && sv->hideDividersOfCollapsedSubviews();
}

std::optional<CGFloat> ZAKSplitViewController::splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView* splitView,
                                                                                          CGFloat proposed,
                                                                                          NSInteger dividerIndex)
{
    if (auto* d = delegateProtocol())
        if (auto answer = d->splitViewConstrainMinCoordinateOfSubviewAt(splitView, proposed, dividerIndex))
            return answer;
    return proposed + minSizeAt(splitView, dividerIndex);
}

std::optional<CGFloat> ZAKSplitViewController::splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView* splitView,
                                                                                          CGFloat proposed,
                                                                                          NSInteger dividerIndex)
{
    if (auto* d = delegateProtocol())
        if (auto answer = d->splitViewConstrainMaxCoordinateOfSubviewAt(splitView, proposed, dividerIndex))
            return answer;
    const double after = minSizeAt(splitView, dividerIndex + 1);
    return proposed - (after != 0 ? after : minSizeAt(splitView, dividerIndex));
}

bool ZAKSplitViewController::splitViewResizeSubviewsWithOldSize(NSSplitView* splitView, NSSize oldSize)
{
    if (auto* d = delegateProtocol())
        if (d->splitViewResizeSubviewsWithOldSize(splitView, oldSize)) return true;
    splitView->adjustSubviews();
    return true;
}

std::optional<NSRect> ZAKSplitViewController::splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView* splitView,
                                                                                               NSInteger dividerIndex)
{
    if (auto* d = delegateProtocol())
        if (auto answer = d->splitViewAdditionalEffectiveRectOfDividerAtIndex(splitView, dividerIndex)) return answer;
    constexpr CGFloat kHandleWidth = 15;
    const auto& views = splitView->subviews();
    for (NSInteger k : {dividerIndex, dividerIndex + 1}) {
        if (k < 0 || size_t(k) >= views.size()) continue;
        auto pane = dynamic_ref_cast<ZAKSplitSubview>(views[size_t(k)]);
        auto bar = pane ? pane->toolbar() : nullptr;
        if (!bar || bar->dividerIndexNearestToHandle() != dividerIndex || !bar->drawDraggingButton()) continue;
        // The bar and its pane in the split view's own coordinates, wherever
        // the pane lies.
        const NSRect barRect = splitView->convertRectFromView(bar->bounds(), bar);
        const Ref<NSView> holder = bar->superview();
        const NSRect paneRect = holder ? splitView->convertRectFromView(holder->bounds(), holder) : barRect;
        const CGFloat x = bar->drawDraggingButtonOnRight() ? NSMaxX(paneRect) - kHandleWidth : paneRect.origin.x;
        return NSMakeRect(x, barRect.origin.y, kHandleWidth, barRect.size.height);
    }
    return NSZeroRect;
}

std::optional<bool> ZAKSplitViewController::splitViewShouldAdjustSizeOfSubview(NSSplitView*, NSView* subview)
{
    auto* pane = dynamic_cast<ZAKSplitSubview*>(subview);
    return pane && pane->resizesWithSplitView();
}
