#pragma once
// A plain view that gives the unanchored buttons it holds their height: on
// loading, every subview becomes 22 points high, keeping its width.
#include "AppKit/NSView.h"

class ZAKUnanchoredButtonContainer : public NSView {
    NS_OBJECT(ZAKUnanchoredButtonContainer, NSView)
protected:
    ZAKUnanchoredButtonContainer() = default;

public:
    static constexpr CGFloat kButtonHeight = 22;
    void awakeFromNib() override;
};
