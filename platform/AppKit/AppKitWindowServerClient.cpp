#include "AppKit/AppKitWindowServerClient.h"

#include "AppKit/MenuBarWindow.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSPasteboard.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSNotificationCenter.h"
#include "WindowServer/WindowServer.h"

AppKitWindowServerClient& AppKitWindowServerClient::shared()
{
    static auto* client = new AppKitWindowServerClient;
    return *client;
}

namespace {
[[maybe_unused]] const bool g_installed = [] {
    WindowServer::setDefaultClient(AppKitWindowServerClient::shared());
    return true;
}();
}

void AppKitWindowServerClient::eventArrived(const WSEvent& event)
{
    NSApplication::postEvent(NSEvent::eventWithRecord(event), false);
}

NSUInteger AppKitWindowServerClient::windowStyleMask(WSWindowID window) const
{
    auto w = NSWindow::windowWithNumber(window);
    return w ? w->styleMask() : NSTitledWindowMask;
}

bool AppKitWindowServerClient::windowTakesFocus(WSWindowID window) const
{
    auto w = NSWindow::windowWithNumber(window);
    return w && w->canBecomeKeyWindow();
}

void AppKitWindowServerClient::windowFrameChanged(WSWindowID window, const NSRect& frame)
{
    if (auto w = NSWindow::windowWithNumber(window)) w->setFrame(frame, true);
}

void AppKitWindowServerClient::windowCloseRequested(WSWindowID window)
{
    if (auto w = NSWindow::windowWithNumber(window)) w->performClose(nullptr);
}

void AppKitWindowServerClient::windowFocusChanged(WSWindowID window, bool gained)
{
    auto w = NSWindow::windowWithNumber(window);
    if (!w) return;
    if (gained && !w->isKeyWindow()) w->makeKeyWindow();
    if (!gained && w->isKeyWindow()) w->resignKeyWindow();
}

void AppKitWindowServerClient::windowDecorationsChanged()
{
    for (const auto& window : NSWindow::allWindows()) {
        if (!(window->styleMask() & NSTitledWindowMask)) continue;
        const NSRect bounds = NSMakeRect(0, 0, window->frame().size.width, window->frame().size.height);
        if (auto content = window->contentView()) content->setFrame(window->contentRectForFrameRect(bounds));
        window->setViewsNeedDisplay(true);
    }
}

void AppKitWindowServerClient::screensChanged()
{
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSString::stringWithUTF8String(NSApplicationDidChangeScreenParametersNotification), NSApp);
}

void AppKitWindowServerClient::quitRequested()
{
    // Quitting the normal way saves what the program keeps.
    if (NSApp) NSApp->terminate(nullptr);
}

void AppKitWindowServerClient::dockMenuRequested(NSPoint location) { MenuBarWindow::popUpDockMenu(location); }

void AppKitWindowServerClient::dockIconHostChanged() { MenuBarWindow::synchronize(); }

void AppKitWindowServerClient::pasteboardMirrorChanged(WSPasteboard pasteboard,
                                                       std::unique_ptr<PasteboardMirror> mirror)
{
    const auto& name = pasteboard == WSPasteboard::general ? NSGeneralPboard : NSSelectionPboard;
    NSPasteboard::pasteboardWithName(name)->setMirror(std::move(mirror));
}
