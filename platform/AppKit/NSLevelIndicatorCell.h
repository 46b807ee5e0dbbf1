#pragma once
// The cell of level indicators: a value between a minimum and a maximum shown
// as a bar (relevancy, continuous or discrete capacity) or as a row of stars
// (rating). An editable rating cell sets its value from the star under the
// mouse while it tracks.
//
// isHighlighted of a level-indicator cell goes through a process-wide hook
// when one is installed, so one place in the program can change the answer
// for every level-indicator cell (rating cells drawn highlighted, say).
//
// Keyed-coding keys (after NSActionCell's): NSMinValue, NSMaxValue, NSValue,
// NSIndicatorStyle.
#include <functional>

#include "AppKit/NSActionCell.h"

enum NSLevelIndicatorStyle : NSUInteger {
    NSRelevancyLevelIndicatorStyle = 0,
    NSContinuousCapacityLevelIndicatorStyle = 1,
    NSDiscreteCapacityLevelIndicatorStyle = 2,
    NSRatingLevelIndicatorStyle = 3,
};

class NSLevelIndicatorCell : public NSActionCell {
    NS_OBJECT(NSLevelIndicatorCell, NSActionCell)
protected:
    NSLevelIndicatorCell() = default;

public:
    // Answers the highlight of a cell; `platformAnswer` is the cell's own.
    using IsHighlightedHook = std::function<bool(const NSLevelIndicatorCell& cell, bool platformAnswer)>;
    // One hook for the process; an empty function removes it.
    static void setIsHighlightedHook(IsHighlightedHook hook);

    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    Ref<NSLevelIndicatorCell> initWithLevelIndicatorStyle(NSLevelIndicatorStyle style);

    NSLevelIndicatorStyle levelIndicatorStyle() const { return m_style; }
    void setLevelIndicatorStyle(NSLevelIndicatorStyle style);
    double minValue() const { return m_minValue; }
    void setMinValue(double v);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double v);

    // Kept within [min, max].
    void setDoubleValue(double v) override;
    void setIntegerValue(NSInteger v) override { setDoubleValue(double(v)); }
    void setObjectValue(const Id& value) override;
    void setStringValue(const Ref<NSString>& value) override;
    double doubleValue() const override { return m_value; }
    NSInteger integerValue() const override;
    Id objectValue() const override;
    Ref<NSString> stringValue() const override;

    // The cell's own highlight passed through the process-wide hook.
    bool isHighlighted() const;

    // The rectangle of star `index` (0-based) of a rating in a cell frame.
    NSRect ratingStarRect(NSInteger index, const NSRect& cellFrame) const;
    // The rating a point of the frame stands for: the star under it, counted
    // from 1, and 0 left of the first star.
    double ratingForPoint(NSPoint point, const NSRect& cellFrame) const;

    bool startTrackingAt(NSPoint startPoint, const Ref<NSView>& controlView) override;
    bool continueTracking(NSPoint lastPoint, NSPoint currentPoint, const Ref<NSView>& controlView) override;
    bool prefersTrackingUntilMouseUp() const override { return true; }
    NSSize cellSizeForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    void drawRating(const NSRect& frame);
    void drawBar(const NSRect& frame);

    NSLevelIndicatorStyle m_style = NSRelevancyLevelIndicatorStyle;
    double m_minValue = 0;
    double m_maxValue = 1;
    double m_value = 0;
};
