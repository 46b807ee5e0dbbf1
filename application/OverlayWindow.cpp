#include "OverlayWindow.h"

#include "AppKit/CGWindowLevel.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(OverlayWindow)

Ref<NSWindow> OverlayWindow::initWithContentRect(const NSRect& contentRect, NSUInteger, NSBackingStoreType, bool)
{
    NSWindow::initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setBackgroundColor(NSColor::clearColor());
    setLevel(CGWindowLevelForKey(kCGStatusWindowLevelKey));
    setAlphaValue(0.8);
    setOpaque(false);
    setHasShadow(false);
    return this;
}
