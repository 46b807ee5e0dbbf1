#include "Foundation/NSClass.h"
#include "GuidelineWindow.h"

#include "AppKit/CGWindowLevel.h"

NS_CLASS_DEFINE(GuidelineWindow)

Ref<NSWindow> GuidelineWindow::initWithContentRect(const NSRect& contentRect, NSUInteger, NSBackingStoreType, bool)
{
    NSWindow::initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setBackgroundColor(NSColor::clearColor());
    setLevel(CGWindowLevelForKey(kCGStatusWindowLevelKey));
    setAlphaValue(0.8);
    setOpaque(false);
    setHasShadow(false);
    setMovableByWindowBackground(false);
    return this;
}

Ref<GuidelineWindow> GuidelineWindow::create(const NSRect& contentRect)
{
    auto window = alloc<GuidelineWindow>();
    window->initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    return window;
}
