#pragma once
// A button of the anchored bar's family for use outside a bar: 22 points
// high whatever its stored frame, brought in front of its siblings when
// clicked.
#include "AppKit/NSButton.h"

class ZAKUnanchoredButton : public NSButton {
    NS_OBJECT(ZAKUnanchoredButton, NSButton)
protected:
    ZAKUnanchoredButton() = default;

public:
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    // topAndLeftInset: (0, 0) after a top (bordered) bar, else (1, 1).
    Id initWithCoder(NSCoder* coder) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    NSRect frame() const override;
    NSPoint topAndLeftInset() const { return m_topAndLeftInset; }

private:
    NSPoint m_topAndLeftInset = NSZeroPoint;
};
