#pragma once
// Segmented controls over an NSSegmentedCell. A mouse-down on an enabled
// segment draws it pressed while the mouse stays on it; releasing it there
// selects it as the cell's tracking mode says and sends the action.
#include "AppKit/NSControl.h"
#include "AppKit/NSSegmentedCell.h"

class NSSegmentedControl : public NSControl {
    NS_OBJECT(NSSegmentedControl, NSControl)
protected:
    NSSegmentedControl() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Ref<NSSegmentedCell> segmentedCell() const { return dynamic_ref_cast<NSSegmentedCell>(m_cell); }

    NSInteger segmentCount() const;
    void setSegmentCount(NSInteger count);
    Ref<NSString> labelForSegment(NSInteger segment) const;
    void setLabel(const Ref<NSString>& label, NSInteger segment);
    Ref<NSImage> imageForSegment(NSInteger segment) const;
    void setImage(const Ref<NSImage>& image, NSInteger segment);
    NSImageScaling imageScalingForSegment(NSInteger segment) const;
    void setImageScaling(NSImageScaling scaling, NSInteger segment);
    CGFloat widthForSegment(NSInteger segment) const;
    void setWidth(CGFloat width, NSInteger segment);
    bool isEnabledForSegment(NSInteger segment) const;
    void setEnabled(bool flag, NSInteger segment);
    using NSControl::setEnabled;
    bool isSelectedForSegment(NSInteger segment) const;
    void setSelected(bool flag, NSInteger segment);
    NSInteger selectedSegment() const;
    void setSelectedSegment(NSInteger segment);
    NSInteger segmentStyle() const;
    void setSegmentStyle(NSInteger style);

    void mouseDown(const Ref<NSEvent>& event) override;
    void sizeToFit() override;

    static void describeClass(NSClassMembers<NSSegmentedControl>& m);
};
