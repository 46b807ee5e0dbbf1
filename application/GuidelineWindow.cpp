#include "GuidelineWindow.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(GuidelineWindow)

Ref<NSWindow> GuidelineWindow::initWithContentRect(const NSRect& contentRect, NSUInteger styleMask,
                                                   NSBackingStoreType backing, bool defer)
{
    OverlayWindow::initWithContentRect(contentRect, styleMask, backing, defer);
    setMovableByWindowBackground(false);
    return this;
}
