#pragma once
// Draws the bottom and right edges of the resolution frame in the frame colour.
#include "AppKit/NSColor.h"
#include "AppKit/NSView.h"

class NSNotification;

class ScreenView : public NSView {
    NS_OBJECT(ScreenView, NSView)
protected:
    ScreenView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    bool isFlipped() const override { return true; }
    void handleScreenColorHasChanged(const Ref<NSNotification>& notification);
    void drawRect(const NSRect& dirtyRect) override;
    Ref<NSColor> screenColor() const { return m_screenColor; }

    static void describeClass(NSClassMembers<ScreenView>& m);

private:
    Ref<NSColor> m_screenColor;
};
