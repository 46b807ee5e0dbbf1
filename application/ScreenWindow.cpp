#include "Foundation/NSClass.h"
#include "ScreenWindow.h"

#include "AppKit/CGWindowLevel.h"

NS_CLASS_DEFINE(ScreenWindow)

Ref<NSWindow> ScreenWindow::initWithContentRect(const NSRect& contentRect, NSUInteger, NSBackingStoreType, bool)
{
    NSWindow::initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setBackgroundColor(NSColor::clearColor());
    setLevel(CGWindowLevelForKey(kCGStatusWindowLevelKey));
    setAlphaValue(0.8);
    setOpaque(false);
    setHasShadow(false);
    return this;
}

Ref<ScreenWindow> ScreenWindow::create(const NSRect& contentRect)
{
    auto window = alloc<ScreenWindow>();
    window->initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    return window;
}
