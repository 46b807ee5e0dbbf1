#pragma once
// The cell of steppers: a value between a minimum and a maximum that the
// up and down arrows raise or lower by the increment, wrapping round at the
// ends when asked.
//
// Keyed-coding keys (after NSActionCell's): NSMinValue, NSMaxValue,
// NSIncrement, NSValue, NSValueWraps, NSAutorepeat.
#include "AppKit/NSActionCell.h"

class NSStepperCell : public NSActionCell {
    NS_OBJECT(NSStepperCell, NSActionCell)
public:
    NSStepperCell() = default;

    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    double minValue() const { return m_minValue; }
    void setMinValue(double v);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double v);
    double increment() const { return m_increment; }
    void setIncrement(double v) { m_increment = v; }
    bool valueWraps() const { return m_valueWraps; }
    void setValueWraps(bool flag) { m_valueWraps = flag; }
    bool autorepeat() const { return m_autorepeat; }
    void setAutorepeat(bool flag) { m_autorepeat = flag; }

    // Clamped to [min, max].
    void setDoubleValue(double v) override;
    void setIntegerValue(NSInteger v) override { setDoubleValue(double(v)); }
    void setObjectValue(const Id& value) override;
    void setStringValue(const Ref<NSString>& value) override;
    double doubleValue() const override { return m_value; }
    NSInteger integerValue() const override;
    Id objectValue() const override;
    Ref<NSString> stringValue() const override;

    // One step up (+1) or down (-1): past an end the value wraps to the
    // other end, or stays at the end.
    void step(int direction);
    // Which arrow a point of the cell frame lies on: +1 the upper, -1 the
    // lower half.
    static int arrowAt(NSPoint point, const NSRect& cellFrame, bool flipped);
    // The arrow held down, drawn pressed (0: none).
    int pressedArrow() const { return m_pressedArrow; }
    void setPressedArrow(int arrow);

    NSSize cellSizeForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    double m_minValue = 0;
    double m_maxValue = 59;
    double m_increment = 1;
    double m_value = 0;
    bool m_valueWraps = true;
    bool m_autorepeat = true;
    int m_pressedArrow = 0;
};
