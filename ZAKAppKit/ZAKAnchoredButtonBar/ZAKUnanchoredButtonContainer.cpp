#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKUnanchoredButtonContainer.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKUnanchoredButtonContainer)

void ZAKUnanchoredButtonContainer::awakeFromNib()
{
    NSView::awakeFromNib();
    const auto views = subviews();
    for (const auto& view : views) {
        NSRect f = view->frame();
        f.size.height = kButtonHeight;
        view->setFrame(f);
    }
}
