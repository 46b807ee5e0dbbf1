#pragma once
// A view's animator: the changes it is given animate over the current
// animation group's duration (NSAnimationContext); subviews are added and
// removed at once.
#include "AppKit/NSView.h"

class NSViewAnimator : public NSObject {
    NS_OBJECT(NSViewAnimator, NSObject)
protected:
    NSViewAnimator() = default;

public:
    static Ref<NSViewAnimator> animatorForView(const Ref<NSView>& view);

    void setFrame(const NSRect& frame);
    void setFrameOrigin(NSPoint origin);
    void setFrameSize(NSSize size);
    void setAlphaValue(CGFloat alpha);
    void addSubview(const Ref<NSView>& view);
    void addSubview(const Ref<NSView>& view, NSWindowOrderingMode place, const Ref<NSView>& relativeTo);
    void removeFromSuperview();

private:
    Weak<NSView> m_view;
};
