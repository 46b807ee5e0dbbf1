#include "CustomWindow.h"
#include "Foundation/NSClass.h"

#include "AppKit/CGWindowLevel.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSScreen.h"
#include "AppNotifications.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(CustomWindow)

namespace WindowMove {
NSPoint begin(NSWindow& window, const Ref<NSEvent>& event)
{
    const NSPoint p = window.convertBaseToScreen(event->locationInWindow());
    return NSMakePoint(p.x - window.frame().origin.x, p.y - window.frame().origin.y);
}

void drag(NSWindow& window, NSPoint initialLocation)
{
    const NSPoint current = window.convertBaseToScreen(window.mouseLocationOutsideOfEventStream());
    NSPoint origin = NSMakePoint(current.x - initialLocation.x, current.y - initialLocation.y);
    if (auto screen = NSScreen::mainScreen()) {
        const NSRect s = screen->frame();
        const CGFloat top = s.origin.y + s.size.height;
        if (origin.y + window.frame().size.height > top) origin.y = top - window.frame().size.height;
    }
    window.setFrameOrigin(origin);
}
}  // namespace WindowMove

void CustomWindow::describeClass(NSClassMembers<CustomWindow>& m)
{
    m.action("handleNewTransValue:", &CustomWindow::handleNewTransValue);
}

static CGFloat storedAlpha()
{
    return static_cast<float>(NSUserDefaults::standardUserDefaults()->integerForKey("TransValue"_ns)) / 100.0f;
}

Ref<NSWindow> CustomWindow::initWithContentRect(const NSRect& contentRect, NSUInteger, NSBackingStoreType, bool)
{
    NSWindow::initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    setBackgroundColor(NSColor::clearColor());
    setLevel(CGWindowLevelForKey(kCGStatusWindowLevelKey));
    setAlphaValue(storedAlpha());
    setOpaque(false);
    setHasShadow(false);
    NSNotificationCenter::defaultCenter()->addObserver(
        Id(this), "handleNewTransValue:", NSString::stringWithUTF8String(NewTransValueNotification), nullptr);
    return this;
}

Ref<CustomWindow> CustomWindow::create(const NSRect& contentRect)
{
    auto window = alloc<CustomWindow>();
    window->initWithContentRect(contentRect, NSBorderlessWindowMask, NSBackingStoreBuffered, false);
    return window;
}

void CustomWindow::handleNewTransValue(const Ref<NSNotification>&) { setAlphaValue(storedAlpha()); }

void CustomWindow::mouseDown(const Ref<NSEvent>& event)
{
    m_initialLocation = WindowMove::begin(*this, event);
    NSWindow::mouseDown(event);
}

void CustomWindow::mouseDragged(const Ref<NSEvent>& event)
{
    WindowMove::drag(*this, m_initialLocation);
    NSWindow::mouseDragged(event);
}
