#pragma once
// The arguments of a window flip: the window to flip to (not retained), the
// duration in seconds and whether the flipping pictures cast shadows.
#include "AppKit/NSWindow.h"

class FlipArguments : public NSObject {
    NS_OBJECT(FlipArguments, NSObject)
protected:
    FlipArguments() = default;

public:
    Ref<FlipArguments> initWithToWindow(const Ref<NSWindow>& toWindow, double duration, bool shadowed);

    Ref<NSWindow> toWindow() const { return m_toWindow.get(); }
    double duration() const { return m_duration; }
    bool shadowed() const { return m_shadowed; }

private:
    Weak<NSWindow> m_toWindow;
    double m_duration = 0;
    bool m_shadowed = false;
};
