#pragma once
// Sliders over an NSSliderCell. Keys: Left and Down lower the value by the
// step (altIncrementValue, else 1, or to the next tick mark when only tick
// values are allowed), Right and Up raise it, Home goes to the minimum and
// End to the maximum; each change sends the action.
#include "AppKit/NSControl.h"
#include "AppKit/NSSliderCell.h"

class NSSlider : public NSControl {
    NS_OBJECT(NSSlider, NSControl)
protected:
    NSSlider() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Ref<NSSliderCell> sliderCell() const { return dynamic_ref_cast<NSSliderCell>(m_cell); }

    double minValue() const;
    void setMinValue(double v);
    double maxValue() const;
    void setMaxValue(double v);
    double altIncrementValue() const;
    void setAltIncrementValue(double v);
    NSInteger numberOfTickMarks() const;
    void setNumberOfTickMarks(NSInteger count);
    bool allowsTickMarkValuesOnly() const;
    void setAllowsTickMarkValuesOnly(bool flag);
    double tickMarkValueAtIndex(NSInteger index) const;
    double closestTickMarkValueToValue(double value) const;
    bool isVertical() const;

    void keyDown(const Ref<NSEvent>& event) override;

    static void describeClass(NSClassMembers<NSSlider>& m);

private:
    void step(int direction);
};
