#pragma once
// The cell of segmented controls: a row of segments, each with a label, an
// image (with its scaling), a width (0: shared out of the frame), an enabled
// flag, a tag and a selected flag. In the select-one tracking mode (the
// default) a click selects the segment under it and deselects the others;
// select-any toggles the clicked segment; momentary selects it only while
// the mouse is down. The segment style keeps the platform's numbers: 1
// rounded and 6 small square are drawn as such, every other style is stored
// and drawn square.
//
// Baseline look: a white rounded (style 1) or square outline in grey, the
// selected segments filled in the selected-control colour, a grey separator
// between segments, each segment's image and label centred together.
//
// Keyed-coding keys (after NSActionCell's): NSSegmentImages (the segments,
// NSSegmentItem objects), NSSelectedSegment, NSSegmentStyle, NSTrackingMode.
#include <vector>

#include "AppKit/NSActionCell.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSImageCell.h"

enum NSSegmentStyle : NSInteger {
    NSSegmentStyleAutomatic = 0,
    NSSegmentStyleRounded = 1,
    NSSegmentStyleTexturedRounded = 2,
    NSSegmentStyleRoundRect = 3,
    NSSegmentStyleTexturedSquare = 4,
    NSSegmentStyleCapsule = 5,
    NSSegmentStyleSmallSquare = 6,
};

enum NSSegmentSwitchTracking : NSUInteger {
    NSSegmentSwitchTrackingSelectOne = 0,
    NSSegmentSwitchTrackingSelectAny = 1,
    NSSegmentSwitchTrackingMomentary = 2,
};

class NSSegmentedCell : public NSActionCell {
    NS_OBJECT(NSSegmentedCell, NSActionCell)
protected:
    NSSegmentedCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    // --- Segments (an index out of range is ignored, answers nil / 0 / NO) ---
    NSInteger segmentCount() const { return NSInteger(m_segments.size()); }
    // New segments are empty, enabled and unselected.
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
    NSInteger tagForSegment(NSInteger segment) const;
    void setTag(NSInteger tag, NSInteger segment);
    bool isSelectedForSegment(NSInteger segment) const;
    void setSelected(bool flag, NSInteger segment);
    using NSActionCell::setEnabled;
    using NSActionCell::setTag;

    // The first selected segment, -1 when none; selecting one in the
    // select-one mode deselects the rest; -1 deselects all.
    NSInteger selectedSegment() const;
    void setSelectedSegment(NSInteger segment);
    bool selectSegmentWithTag(NSInteger tag);
    NSSegmentSwitchTracking trackingMode() const { return m_trackingMode; }
    void setTrackingMode(NSSegmentSwitchTracking mode) { m_trackingMode = mode; }
    virtual NSInteger segmentStyle() const { return m_segmentStyle; }
    virtual void setSegmentStyle(NSInteger style);

    // The segment's rectangle in a cell frame: fixed widths as set, the
    // rest of the frame's width shared equally among the other segments.
    NSRect rectForSegment(NSInteger segment, const NSRect& frame) const;
    // The segment under a point of the frame, -1 when none.
    NSInteger segmentAtPoint(NSPoint point, const NSRect& frame) const;
    // The segment the mouse is down on (-1: none), drawn pressed.
    NSInteger trackedSegment() const { return m_trackedSegment; }
    void setTrackedSegment(NSInteger segment);
    // A click ended on the segment: select it as the tracking mode says.
    void didClickSegment(NSInteger segment);

    NSSize cellSizeForBounds(const NSRect& bounds) const override;
    NSRect drawingRectForBounds(const NSRect& bounds) const override;
    // The outline, then each segment through drawSegment.
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    // A segment's background, separator and content.
    virtual void drawSegment(NSInteger segment, const NSRect& frame, const Ref<NSView>& controlView);

    // Private hooks of the platform cell: whether it animates a change of
    // selection and whether it draws as a slider. Neither look exists in this
    // layer, so nothing here asks them; they stay as answers subclasses may
    // override.
    virtual bool _canAnimate() const { return true; }
    virtual bool _isSliderStyle() const { return false; }

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;
    // The content width of a segment: image and label side by side.
    CGFloat contentWidthOfSegment(NSInteger segment) const;

private:
    struct Segment {
        Ref<NSString> label;
        Ref<NSImage> image;
        NSImageScaling imageScaling = NSImageScaleProportionallyDown;
        CGFloat width = 0;
        bool enabled = true;
        bool selected = false;
        NSInteger tag = 0;
    };
    bool valid(NSInteger segment) const { return segment >= 0 && segment < segmentCount(); }
    void drawSegmentContent(NSInteger segment, const NSRect& frame);

    std::vector<Segment> m_segments;
    NSInteger m_segmentStyle = NSSegmentStyleRounded;
    NSSegmentSwitchTracking m_trackingMode = NSSegmentSwitchTrackingSelectOne;
    NSInteger m_trackedSegment = -1;
};
