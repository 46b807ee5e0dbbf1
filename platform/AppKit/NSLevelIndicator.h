#pragma once
// Level indicators over an NSLevelIndicatorCell (see there); an editable
// rating indicator takes its value from a click or drag along its stars and
// sends its action.
#include "AppKit/NSControl.h"
#include "AppKit/NSLevelIndicatorCell.h"

class NSLevelIndicator : public NSControl {
    NS_OBJECT(NSLevelIndicator, NSControl)
protected:
    NSLevelIndicator() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Ref<NSLevelIndicatorCell> levelIndicatorCell() const { return dynamic_ref_cast<NSLevelIndicatorCell>(m_cell); }

    NSLevelIndicatorStyle levelIndicatorStyle() const;
    void setLevelIndicatorStyle(NSLevelIndicatorStyle style);
    double minValue() const;
    void setMinValue(double v);
    double maxValue() const;
    void setMaxValue(double v);

    static void describeClass(NSClassMembers<NSLevelIndicator>& m);
};
