#pragma once
// Finishes a window flip when the target picture's animation stops: with
// screen updates held, both flip windows close, the target window becomes
// opaque and key. It holds none of the four windows; the animation holds it
// until the flip is over. When the source or the target window closes during
// the flip, the flip ends at once: the flip windows close and the animation,
// and with it the delegate, goes.
#include "AppKit/NSWindow.h"
#include "QuartzCore/CAAnimation.h"

class NSWindowFlipperDelegate : public NSObject, public CAAnimationDelegate {
    NS_OBJECT(NSWindowFlipperDelegate, NSObject)
protected:
    NSWindowFlipperDelegate() = default;

public:
    ~NSWindowFlipperDelegate() override;
    Ref<NSWindowFlipperDelegate> initWithFromWindow(const Ref<NSWindow>& fromWindow, const Ref<NSWindow>& toWindow,
                                                    const Ref<NSWindow>& fromFlipWindow,
                                                    const Ref<NSWindow>& toFlipWindow);

    Ref<NSWindow> fromWindow() const { return m_fromWindow.get(); }
    Ref<NSWindow> toWindow() const { return m_toWindow.get(); }
    Ref<NSWindow> fromFlipWindow() const { return m_fromFlipWindow.get(); }
    Ref<NSWindow> toFlipWindow() const { return m_toFlipWindow.get(); }
    bool hasEnded() const { return m_ended; }

    void animationDidStop(CAAnimation* animation, bool finished) override;

private:
    void windowWillClose(const Ref<NSWindow>& closing);
    void closeFlipWindows();
    void stopObserving();

    Weak<NSWindow> m_fromWindow;
    Weak<NSWindow> m_toWindow;
    Weak<NSWindow> m_fromFlipWindow;
    Weak<NSWindow> m_toFlipWindow;
    std::vector<Id> m_observers;
    bool m_ended = false;
};
