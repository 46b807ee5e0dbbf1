#pragma once
// A pop-up button of the anchored button bar: 24 points high whatever its
// stored frame, brought in front of its siblings when clicked; the bar tells
// it which of its edges it sits at.
#include "AppKit/NSPopUpButton.h"

class ZAKAnchoredPopUpButton : public NSPopUpButton {
    NS_OBJECT(ZAKAnchoredPopUpButton, NSPopUpButton)
protected:
    ZAKAnchoredPopUpButton() = default;

public:
    // Draws with a ZAKAnchoredPopUpButtonCell.
    static const NSClass& cellClass();
    const NSClass& cellClassOfControl() const override { return cellClass(); }
    // topAndLeftInset: (0, 0) after a top (bordered) bar, else (1, 1).
    Id initWithCoder(NSCoder* coder) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    NSRect frame() const override;

    bool isAtLeftEdgeOfBar() const { return m_isAtLeftEdgeOfBar; }
    void setAtLeftEdgeOfBar(bool flag) { m_isAtLeftEdgeOfBar = flag; }
    bool isAtRightEdgeOfBar() const { return m_isAtRightEdgeOfBar; }
    void setAtRightEdgeOfBar(bool flag) { m_isAtRightEdgeOfBar = flag; }
    NSPoint topAndLeftInset() const { return m_topAndLeftInset; }

private:
    bool m_isAtLeftEdgeOfBar = false;
    bool m_isAtRightEdgeOfBar = false;
    NSPoint m_topAndLeftInset = NSZeroPoint;
};
