#pragma once
// A control that shows an image through its NSImageCell (scaling, alignment
// and frame style forward to the cell). Dropping images on it is not
// supported; editable is kept for callers that set it.
#include "AppKit/NSControl.h"
#include "AppKit/NSImageCell.h"

class NSImageView : public NSControl {
    NS_OBJECT(NSImageView, NSControl)
protected:
    NSImageView() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    static void describeClass(NSClassMembers<NSImageView>& m);

    Ref<NSImageCell> imageCell() const { return dynamic_ref_cast<NSImageCell>(cell()); }
    Ref<NSImage> image() const;
    void setImage(const Ref<NSImage>& image);
    NSImageScaling imageScaling() const;
    void setImageScaling(NSImageScaling scaling);
    NSImageAlignment imageAlignment() const;
    void setImageAlignment(NSImageAlignment alignment);
    NSImageFrameStyle imageFrameStyle() const;
    void setImageFrameStyle(NSImageFrameStyle style);
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag) { m_editable = flag; }

    bool acceptsFirstResponder() const override { return false; }
    void mouseDown(const Ref<NSEvent>& event) override;

    // Keys: the control's (the cell holds the image and its placement),
    // then NSEditable.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    bool m_editable = false;
};
