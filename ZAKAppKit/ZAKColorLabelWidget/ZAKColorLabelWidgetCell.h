#pragma once
// The cell of the colour-label picker: a no-label cross followed by the
// seven label dots in one row of 16-point positions. A click or drag along
// the row picks the label under the mouse; every step of the tracking pushes
// the new value into the control's "value" binding at once.
//
// The value: -1 no value (nothing or a mixed selection), 0 no label, 1 to 7
// a label colour; every setter keeps it within -1 ... 7.
// Keyed-coding key (after NSActionCell's): "_colorLabelType" (32-bit).
#include "AppKit/NSActionCell.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSImage.h"

class ZAKColorLabelWidgetCell : public NSActionCell {
    NS_OBJECT(ZAKColorLabelWidgetCell, NSActionCell)
protected:
    ZAKColorLabelWidgetCell() = default;

public:
    static constexpr CGFloat kPositionWidth = 16;

    static void initialize();

    Id init() override;
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    Ref<NSCell> initImageCell(const Id& image) override;
    Id initWithCoder(NSCoder* coder) override;
    void encodeWithCoder(NSCoder* coder) const override;

    // The position (value) under a point: x / 16 truncated toward zero.
    static NSInteger positionForPoint(NSPoint point);

    void drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;

    bool startTrackingAt(NSPoint startPoint, const Ref<NSView>& controlView) override;
    bool continueTracking(NSPoint lastPoint, NSPoint currentPoint, const Ref<NSView>& controlView) override;
    void stopTracking(NSPoint lastPoint, NSPoint stopPoint, const Ref<NSView>& controlView, bool mouseIsUp) override;
    bool acceptsFirstResponder() const override { return true; }

    int32_t colorLabelType() const { return int32_t(m_colorLabelType); }
    void setColorLabelType(int32_t type) { setIntegerValue(type); }
    NSInteger integerValue() const override { return m_colorLabelType; }
    // Clamps to -1 ... 7 and redraws the control.
    void setIntegerValue(NSInteger v) override;
    double doubleValue() const override { return double(m_colorLabelType); }
    void setDoubleValue(double v) override;
    Ref<NSString> stringValue() const override;
    void setStringValue(const Ref<NSString>& value) override;
    Id objectValue() const override;
    // One element, or several equal ones, stand for that element; a string or
    // a number gives its integer value; anything else (nil, an empty or mixed
    // array, another class) gives -1.
    void setObjectValue(const Id& value) override;

    // -1, 0 or 1 as the value is smaller than, equal to or larger than the
    // other's integer value.
    NSComparisonResult compare(const Id& other) const;

    // The class-wide colours of the user's appearance (graphite or blue),
    // made on first request and again after the control tint changed.
    static Ref<NSColor> _borderColor();
    static Ref<NSColor> _fillColor();

    const Ref<NSImage>& crossImage() const { return m_crossImage; }
    const Ref<NSImage>& highlightImage() const { return m_highlightImage; }

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    void _setup();
    // Sets the value of the position under the point and hands it to the
    // control's "value" binding.
    void takeValueAndPush(NSPoint point, const Ref<NSView>& controlView);
    void pushToBinding(const Ref<NSView>& controlView) const;
    static void _setUpColors();

    NSInteger m_colorLabelType = 0;
    Ref<NSImage> m_crossImage;
    Ref<NSImage> m_highlightImage;
};
