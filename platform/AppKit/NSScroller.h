#pragma once
// A legacy scroller, 15 points wide, without arrows: a slot with a knob
// whose length is knobProportion of the slot and whose position is the value
// (0 at the top or left, 1 at the bottom or right). A click in the slot
// pages once; dragging the knob sets the value continuously. Each change is
// sent to the target with hitPart telling what was hit. The scroller is
// vertical when it is taller than wide, and flipped.
#include "AppKit/NSControl.h"

enum NSScrollerPart : NSUInteger {
    NSScrollerNoPart = 0,
    NSScrollerDecrementPage = 1,
    NSScrollerKnob = 2,
    NSScrollerIncrementPage = 3,
    NSScrollerDecrementLine = 4,
    NSScrollerIncrementLine = 5,
    NSScrollerKnobSlot = 6,
};

enum NSUsableScrollerParts : NSUInteger { NSNoScrollerParts = 0, NSOnlyScrollerArrows = 1, NSAllScrollerParts = 2 };

enum NSScrollerStyle : NSInteger { NSScrollerStyleLegacy = 0, NSScrollerStyleOverlay = 1 };

class NSScroller : public NSControl {
    NS_OBJECT(NSScroller, NSControl)
protected:
    NSScroller() = default;

public:
    static constexpr CGFloat kWidth = 15;
    // The shortest knob drawn.
    static constexpr CGFloat kMinKnobLength = 16;

    static CGFloat scrollerWidth() { return kWidth; }
    static CGFloat scrollerWidthForControlSize(NSUInteger controlSize, NSScrollerStyle style);

    bool isVertical() const;
    bool isFlipped() const override { return true; }

    // The knob's position, 0...1 (kept by the scroller, not its cell).
    double doubleValue() const { return m_value; }
    float floatValue() const { return float(m_value); }
    // Clamped to 0...1.
    void setDoubleValue(double value) override;
    void setFloatValue(float value) { setDoubleValue(value); }
    CGFloat knobProportion() const { return m_knobProportion; }
    void setKnobProportion(CGFloat proportion);
    void setEnabled(bool flag) override;
    NSScrollerStyle scrollerStyle() const { return NSScrollerStyleLegacy; }
    void setScrollerStyle(NSScrollerStyle) { }

    // No knob when the whole document shows, is disabled or the slot is
    // shorter than the knob.
    NSUsableScrollerParts usableParts() const;
    NSScrollerPart hitPart() const { return m_hitPart; }
    // Rectangles in the scroller's (flipped) coordinates; zero when absent.
    virtual NSRect rectForPart(NSScrollerPart part) const;
    virtual NSScrollerPart testPart(NSPoint pointInWindow) const;

    // Clicks never take the keys from the view being scrolled.
    bool acceptsFirstResponder() const override { return false; }
    void mouseDown(const Ref<NSEvent>& event) override;
    void drawRect(const NSRect& dirtyRect) override;
    virtual void drawKnobSlotInRect(const NSRect& slotRect, bool highlight);
    virtual void drawKnob();

    // Keys: the control's, then NSCurValue (double) and NSPercent (knob
    // proportion).
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void sendAction(NSScrollerPart part);
    // The position along the slot of a point in the scroller's coordinates.
    CGFloat along(NSPoint p) const { return isVertical() ? p.y : p.x; }

    double m_value = 0;
    CGFloat m_knobProportion = 0;
    NSScrollerPart m_hitPart = NSScrollerNoPart;
};
