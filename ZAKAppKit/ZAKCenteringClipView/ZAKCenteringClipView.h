#pragma once
// A clip view that keeps a document smaller than itself centred: along each
// axis where the clip view is larger, the scroll origin is fixed at half the
// difference (negative), and scrolling along that axis does nothing. Along
// the other axis the document scrolls as usual, from 0 to its size less the
// clip view's.
#include "AppKit/NSClipView.h"

class ZAKCenteringClipView : public NSClipView {
    NS_OBJECT(ZAKCenteringClipView, NSClipView)
protected:
    ZAKCenteringClipView() = default;

public:
    // Class version 1.
    static void initialize();

    // Scrolls to the centred position; nothing without a document view.
    void centerDocument();
    NSPoint constrainScrollPoint(NSPoint proposedOrigin) override;
    // The document view's menu.
    Id menuForEvent(const Ref<NSEvent>& event) override;

    // Each does the clip view's work, then centres the document.
    void viewFrameChanged() override;
    void setFrame(const NSRect& frame) override;
    void setFrameOrigin(NSPoint origin) override;
    void setFrameSize(NSSize size) override;
    void scaleUnitSquareToSize(NSSize size) override;
    void setDocumentView(const Ref<NSView>& view) override;
};
