#pragma once
// The pane toolbar item's cell: a gradient bezel, the image centred (or
// beside the title) and the engraved title. The resting look is shared by
// every cell: when any window becomes key they all take the key look, when
// any resigns key the lightened one. They start with the key look.
#include "AppKit/NSButtonCell.h"

class ZAKSplitViewToolbarButtonCell : public NSButtonCell {
    NS_OBJECT(ZAKSplitViewToolbarButtonCell, NSButtonCell)
public:
    ZAKSplitViewToolbarButtonCell() = default;

    Id init() override;

    int align() const { return m_align; }
    void setAlign(int align) { m_align = align; }

    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    void drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView) override;
    NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                     const Ref<NSView>& controlView) override;

    void parentWindowDidBecomeKey();
    void parentWindowDidResignKey();
    // The image opacity all cells use now: 1 with the key look, 0.42 without.
    static double sharedImageOpacity();

    static void describeClass(NSClassMembers<ZAKSplitViewToolbarButtonCell>& m);

private:
    int m_align = 0;
};
