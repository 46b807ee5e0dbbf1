#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButton.h"

#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonCell.h"
#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

NS_CLASS_DEFINE(ZAKAnchoredButton)

const NSClass& ZAKAnchoredButton::cellClass() { return ZAKAnchoredButtonCell::staticClass(); }

Id ZAKAnchoredButton::initWithCoder(NSCoder* coder)
{
    NSButton::initWithCoder(coder);
    m_topAndLeftInset = ZAKAnchoredButtonBar::wasBorderedBar() ? NSZeroPoint : NSMakePoint(1, 1);
    return this;
}

void ZAKAnchoredButton::mouseDown(const Ref<NSEvent>& event)
{
    NSViewExt::zakBringToFront(this);
    NSButton::mouseDown(event);
}

NSRect ZAKAnchoredButton::frame() const
{
    NSRect f = NSButton::frame();
    f.size.height = kHeight;
    return f;
}
