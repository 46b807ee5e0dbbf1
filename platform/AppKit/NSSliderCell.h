#pragma once
// The cell of sliders: a value between a minimum and a maximum, shown as a
// knob on a track, horizontal or (when the frame is taller than wide)
// vertical, with optional tick marks that the value may be held to.
// Dragging the knob (or clicking the track) sets the value; the cell is
// continuous, so its control sends the action while the knob moves.
//
// Keyed-coding keys (after NSActionCell's): NSMinValue, NSMaxValue,
// NSValue, NSAltIncValue, NSNumberOfTickMarks, NSAllowsTickMarkValuesOnly,
// NSVertical.
#include <cmath>

#include "AppKit/NSActionCell.h"

class NSSliderCell : public NSActionCell {
    NS_OBJECT(NSSliderCell, NSActionCell)
protected:
    NSSliderCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    double minValue() const { return m_minValue; }
    void setMinValue(double v);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double v);
    // Clamped to [min, max] and, with tick values only, to the closest tick.
    void setDoubleValue(double v) override;
    void setIntegerValue(NSInteger v) override { setDoubleValue(double(v)); }
    void setObjectValue(const Id& value) override;
    void setStringValue(const Ref<NSString>& value) override;
    double doubleValue() const override { return m_value; }
    NSInteger integerValue() const override { return NSInteger(std::llround(m_value)); }
    Id objectValue() const override;
    Ref<NSString> stringValue() const override;
    // The step of the arrow keys (0: 1).
    double altIncrementValue() const { return m_altIncrement; }
    void setAltIncrementValue(double v) { m_altIncrement = v; }

    NSInteger numberOfTickMarks() const { return m_tickMarks; }
    void setNumberOfTickMarks(NSInteger count);
    bool allowsTickMarkValuesOnly() const { return m_tickValuesOnly; }
    void setAllowsTickMarkValuesOnly(bool flag);
    double tickMarkValueAtIndex(NSInteger index) const;
    double closestTickMarkValueToValue(double value) const;

    // Vertical when the control is taller than wide, unless set.
    bool isVertical() const;
    void setVertical(bool flag) { m_vertical = flag ? 1 : 0; }

    // The value under a point of the cell frame.
    double valueForPoint(NSPoint point, const NSRect& cellFrame, bool flipped) const;
    NSRect knobRectFlipped(const NSRect& cellFrame, bool flipped) const;
    NSRect trackRect(const NSRect& cellFrame) const;

    bool prefersTrackingUntilMouseUp() const override { return true; }
    bool acceptsFirstResponder() const override { return m_enabled; }
    bool startTrackingAt(NSPoint startPoint, const Ref<NSView>& controlView) override;
    bool continueTracking(NSPoint lastPoint, NSPoint currentPoint, const Ref<NSView>& controlView) override;
    NSSize cellSizeForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    virtual void drawBarInside(const NSRect& rect, bool flipped);
    virtual void drawKnob(const NSRect& knobRect);

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    double m_minValue = 0;
    double m_maxValue = 1;
    double m_value = 0;
    double m_altIncrement = 0;
    NSInteger m_tickMarks = 0;
    bool m_tickValuesOnly = false;
    int m_vertical = -1;  // -1: from the frame
    NSRect m_trackingFrame;
};
