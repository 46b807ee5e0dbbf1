#include "ZAKAppKit/ZAKSplitSubviewResizeButton/ZAKSplitSubviewResizeButton.h"

#include "Foundation/NSClass.h"
#include "QXSplitView/QXSplitView.h"
#include "ZAKAppKit/ZAKSplitSubviewResizeButton/ZAKSplitSubviewResizeButtonCell.h"

NS_CLASS_DEFINE(ZAKSplitSubviewResizeButton)

const NSClass& ZAKSplitSubviewResizeButton::cellClass() { return ZAKSplitSubviewResizeButtonCell::staticClass(); }

void ZAKSplitSubviewResizeButton::awakeFromNib()
{
    auto pane = dynamic_ref_cast<QXSplitSubview>(superview());
    if (!pane) return;
    setImagePosition(pane->position() == 0 ? NSImageRight : NSImageLeft);
}
