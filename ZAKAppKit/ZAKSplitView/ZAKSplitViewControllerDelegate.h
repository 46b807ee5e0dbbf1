#pragma once
// What a ZAKSplitViewController's own delegate may answer in its place. Each
// method is optional: the default (nullopt, or NO for the resize hook)
// leaves the controller's own answer.
#include <optional>

#include "Foundation/NSGeometry.h"

class NSSplitView;
class NSView;

class ZAKSplitViewControllerDelegate {
public:
    virtual ~ZAKSplitViewControllerDelegate() = default;

    virtual std::optional<bool> splitViewCanCollapseSubview(NSSplitView*, NSView*) { return std::nullopt; }
    virtual std::optional<bool> splitViewShouldHideDividerAtIndex(NSSplitView*, NSInteger) { return std::nullopt; }
    virtual std::optional<CGFloat> splitViewConstrainMinCoordinateOfSubviewAt(NSSplitView*, CGFloat, NSInteger)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> splitViewConstrainMaxCoordinateOfSubviewAt(NSSplitView*, CGFloat, NSInteger)
    {
        return std::nullopt;
    }
    // Answers YES when it laid the panes out.
    virtual bool splitViewResizeSubviewsWithOldSize(NSSplitView*, NSSize) { return false; }
    virtual std::optional<NSRect> splitViewAdditionalEffectiveRectOfDividerAtIndex(NSSplitView*, NSInteger)
    {
        return std::nullopt;
    }
};
