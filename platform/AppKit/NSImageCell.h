#pragma once
// The cell of image views: an image scaled and aligned in its frame, with an
// optional frame style around it.
//
// Placement: the frame style takes its border (none 0, photo, grey bezel,
// groove and button 3 points) from each side; in what is left the image
// keeps its size (none), is scaled down to fit keeping its aspect
// (proportionally down, the default), scaled up or down to fit (up or down)
// or stretched to fill (axes independently); it is then placed by the
// alignment, "top" meaning the top as the control view shows it.
#include "AppKit/NSCell.h"
#include "AppKit/NSImage.h"

enum NSImageScaling : NSUInteger {
    NSImageScaleProportionallyDown = 0,
    NSImageScaleAxesIndependently = 1,
    NSImageScaleNone = 2,
    NSImageScaleProportionallyUpOrDown = 3,
};

enum NSImageAlignment : NSUInteger {
    NSImageAlignCenter = 0,
    NSImageAlignTop = 1,
    NSImageAlignTopLeft = 2,
    NSImageAlignTopRight = 3,
    NSImageAlignLeft = 4,
    NSImageAlignBottom = 5,
    NSImageAlignBottomLeft = 6,
    NSImageAlignBottomRight = 7,
    NSImageAlignRight = 8,
};

enum NSImageFrameStyle : NSUInteger {
    NSImageFrameNone = 0,
    NSImageFramePhoto = 1,
    NSImageFrameGrayBezel = 2,
    NSImageFrameGroove = 3,
    NSImageFrameButton = 4,
};

class NSImageCell : public NSCell {
    NS_OBJECT(NSImageCell, NSCell)
protected:
    NSImageCell() = default;

public:
    Id init() override { return initImageCell(nullptr); }
    Ref<NSCell> initImageCell(const Id& image) override;

    Ref<NSImage> image() const { return m_image; }
    void setImage(const Ref<NSImage>& image);
    // The object value is the image (other objects are ignored).
    Id objectValue() const override { return m_image; }
    void setObjectValue(const Id& value) override;

    NSImageScaling imageScaling() const { return m_scaling; }
    void setImageScaling(NSImageScaling scaling);
    NSImageAlignment imageAlignment() const { return m_alignment; }
    void setImageAlignment(NSImageAlignment alignment);
    NSImageFrameStyle imageFrameStyle() const { return m_frameStyle; }
    void setImageFrameStyle(NSImageFrameStyle style);

    // Where the image is drawn in the frame, for a flipped or unflipped view.
    NSRect imageRectForBounds(const NSRect& bounds, bool flipped) const;
    NSRect imageRectForBounds(const NSRect& bounds) const override;
    NSSize cellSize() const override;

    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    void drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;

    // Keys: the cell's, then NSImageData (PNG bytes), NSScale, NSAlign,
    // NSStyle.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    CGFloat frameInset() const { return m_frameStyle == NSImageFrameNone ? 0 : 3; }

    Ref<NSImage> m_image;
    NSImageScaling m_scaling = NSImageScaleProportionallyDown;
    NSImageAlignment m_alignment = NSImageAlignCenter;
    NSImageFrameStyle m_frameStyle = NSImageFrameNone;
};
