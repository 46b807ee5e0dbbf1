#pragma once
// The handle at a ruler's far end: dragging it lengthens or shortens the ruler.
#include "AppKit/NSButton.h"

class ResizeButton : public NSButton {
    NS_OBJECT(ResizeButton, NSButton)
protected:
    ResizeButton() = default;

public:
    // No click tracking, so the drag arrives as mouseDragged.
    void mouseDown(const Ref<NSEvent>&) override { }
    void mouseDragged(const Ref<NSEvent>& event) override;
};
