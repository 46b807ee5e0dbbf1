#pragma once
// The cell of a scope bar's buttons: the platform's recessed toggle button
// whose title alone carries the look: white text on a dark, close shadow
// while the button is on or under the mouse, dark grey text on a light
// shadow otherwise, always in the bold system font of 11 points.
#include "AppKit/NSButtonCell.h"

class KRButtonCell : public NSButtonCell {
    NS_OBJECT(KRButtonCell, NSButtonCell)
public:
    KRButtonCell() = default;

    // Also keeps `selected` (the state is on).
    void setState(NSInteger state) override;
    void mouseEntered(const Ref<NSEvent>& event) override;
    void mouseExited(const Ref<NSEvent>& event) override;
    NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                     const Ref<NSView>& controlView) override;

    bool selected() const { return m_selected; }
    void setSelected(bool flag) { m_selected = flag; }
    bool mouseOver() const { return m_mouseOver; }
    void setMouseOver(bool flag) { m_mouseOver = flag; }

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    bool m_selected = false;
    bool m_mouseOver = false;
};
