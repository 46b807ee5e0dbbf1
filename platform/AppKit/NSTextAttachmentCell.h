#pragma once
// The cell that stands for an attachment in laid-out text: it gives the
// glyph's size and baseline offset and draws itself where the attachment
// character was laid out. Subclasses override the size, offset, frame and
// drawing.
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

class NSTextAttachment;
class NSTextContainer;
class NSView;

class NSTextAttachmentCell : public NSObject {
    NS_OBJECT(NSTextAttachmentCell, NSObject)
protected:
    NSTextAttachmentCell() = default;

public:
    // (0, 0) unless a subclass says otherwise.
    virtual NSSize cellSize() const { return NSZeroSize; }
    // The offset of the cell's bottom-left corner from the baseline (y up:
    // a negative y hangs below the baseline).
    virtual NSPoint cellBaselineOffset() const { return NSZeroPoint; }
    // The cell's frame relative to the glyph position on the baseline, y
    // up: the baseline offset and the cell size.
    virtual NSRect cellFrameForTextContainer(const Ref<NSTextContainer>& container, const NSRect& lineFragment,
                                             NSPoint glyphPosition, NSUInteger characterIndex);
    virtual bool wantsToTrackMouse() const { return true; }
    // The frame is in the view's coordinates.
    virtual void drawWithFrame(const NSRect& frame, const Ref<NSView>& view) { (void)frame, (void)view; }
    virtual void drawWithFrame(const NSRect& frame, const Ref<NSView>& view, NSUInteger characterIndex)
    {
        (void)characterIndex;
        drawWithFrame(frame, view);
    }

    // Not retained (the attachment retains its cell).
    Ref<NSTextAttachment> attachment() const;
    void setAttachment(const Ref<NSTextAttachment>& attachment);

private:
    Weak<NSTextAttachment> m_attachment;
};
