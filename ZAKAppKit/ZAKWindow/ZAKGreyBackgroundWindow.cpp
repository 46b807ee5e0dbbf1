#include "ZAKAppKit/ZAKWindow/ZAKGreyBackgroundWindow.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(ZAKGreyBackgroundWindow)

Ref<NSWindow> ZAKGreyBackgroundWindow::initWithContentRect(const NSRect& contentRect, NSUInteger styleMask,
                                                           NSBackingStoreType backing, bool defer)
{
    NSWindow::initWithContentRect(contentRect, styleMask, backing, defer);
    setupWindow();
    return this;
}

void ZAKGreyBackgroundWindow::encodeWithCoder(NSCoder* coder) const
{
    coder->encodeRect(contentRectForFrameRect(frame()), "NSWindowContentRect"_ns);
    coder->encodeInteger(NSInteger(styleMask()), "NSWindowStyleMask"_ns);
}

Id ZAKGreyBackgroundWindow::initWithCoder(NSCoder* coder)
{
    NSWindow::initWithContentRect(coder->decodeRectForKey("NSWindowContentRect"_ns),
                                  NSUInteger(coder->decodeIntegerForKey("NSWindowStyleMask"_ns)),
                                  NSBackingStoreBuffered, true);
    setupWindow();
    return this;
}

void ZAKGreyBackgroundWindow::setupWindow() { setBackgroundColor(NSColor::controlHighlightColor()); }
