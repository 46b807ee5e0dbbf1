#include "ZAKAppKit/ZAKMenuButtons/ZAKAnchoredPopUpButton.h"

#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"
#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonCell.h"
#include "ZAKAppKit/ZAKMenuButtons/ZAKUnanchoredButton.h"
#include "ZAKAppKit/ZAKViewExtensions/NSView+ZAKNSViewExtension.h"

NS_CLASS_DEFINE(ZAKAnchoredPopUpButton)
NS_CLASS_DEFINE(ZAKUnanchoredButton)

namespace {
NSPoint insetAfterBar() { return ZAKAnchoredButtonBar::wasBorderedBar() ? NSZeroPoint : NSMakePoint(1, 1); }
}

const NSClass& ZAKAnchoredPopUpButton::cellClass() { return ZAKAnchoredPopUpButtonCell::staticClass(); }

Id ZAKAnchoredPopUpButton::initWithCoder(NSCoder* coder)
{
    NSPopUpButton::initWithCoder(coder);
    m_topAndLeftInset = insetAfterBar();
    return this;
}

void ZAKAnchoredPopUpButton::mouseDown(const Ref<NSEvent>& event)
{
    NSViewExt::zakBringToFront(this);
    NSPopUpButton::mouseDown(event);
}

NSRect ZAKAnchoredPopUpButton::frame() const
{
    NSRect f = NSPopUpButton::frame();
    f.size.height = 24;
    return f;
}

const NSClass& ZAKUnanchoredButton::cellClass() { return ZAKUnanchoredButtonCell::staticClass(); }

Id ZAKUnanchoredButton::initWithCoder(NSCoder* coder)
{
    NSButton::initWithCoder(coder);
    m_topAndLeftInset = insetAfterBar();
    return this;
}

void ZAKUnanchoredButton::mouseDown(const Ref<NSEvent>& event)
{
    NSViewExt::zakBringToFront(this);
    NSButton::mouseDown(event);
}

NSRect ZAKUnanchoredButton::frame() const
{
    NSRect f = NSButton::frame();
    f.size.height = 22;
    return f;
}
