#pragma once
// Steppers over an NSStepperCell. A press on an arrow steps the value and
// sends the action; while the button stays down on that arrow it steps
// again after half a second and then ten times a second (on the run-loop
// clock), when the cell autorepeats. Up and Down arrow keys step too.
#include "AppKit/NSControl.h"
#include "AppKit/NSStepperCell.h"

class NSStepper : public NSControl {
    NS_OBJECT(NSStepper, NSControl)
public:
    NSStepper() = default;

    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }

    Ref<NSStepperCell> stepperCell() const { return dynamic_ref_cast<NSStepperCell>(m_cell); }

    double minValue() const;
    void setMinValue(double v);
    double maxValue() const;
    void setMaxValue(double v);
    double increment() const;
    void setIncrement(double v);
    bool valueWraps() const;
    void setValueWraps(bool flag);
    bool autorepeat() const;
    void setAutorepeat(bool flag);

    void mouseDown(const Ref<NSEvent>& event) override;
    void keyDown(const Ref<NSEvent>& event) override;

    static constexpr NSTimeInterval kFirstRepeatDelay = 0.5;
    static constexpr NSTimeInterval kRepeatInterval = 0.1;

    static void describeClass(NSClassMembers<NSStepper>& m);

private:
    void stepAndSend(int direction);
};
