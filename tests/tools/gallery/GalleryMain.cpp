// plumbline-gallery: shows one page of the gallery in a window.
//
//   plumbline-gallery --list              the pages, one "name<TAB>title" a line
//   plumbline-gallery <page>              shows the page until the window closes
//   plumbline-gallery <page> --shot <png> shows it, saves the window's pixels
//                                         (frame included) and quits
//
// On $DISPLAY the window is a real X11 window; without one it runs on the
// headless server, where --shot is the way to see it.
#include <cstdio>
#include <cstring>
#include <string>

#include "AppKit/NSApplication.h"
#include "AppKit/NSWindow.h"
#include "CoreGraphics/CGImage.h"
#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSData.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSTimer.h"
#include "Foundation/SignalSource.h"
#include "GalleryPage.h"
#include "WindowServer/WindowServer.h"

namespace {
int usage()
{
    std::fprintf(stderr, "usage: plumbline-gallery --list | <page> [--shot <file.png>]\n");
    return 2;
}

int listPages()
{
    for (const auto& page : Gallery::pages()) std::printf("%s\t%s\n", page.name.c_str(), page.title.c_str());
    return 0;
}

Ref<NSWindow> showPage(const GalleryPage& page)
{
    const NSRect content = NSMakeRect(0, 0, page.size.width, page.size.height);
    auto window = NSObject::alloc<NSWindow>()->initWithContentRect(
        content, NSTitledWindowMask | NSClosableWindowMask | NSMiniaturizableWindowMask, NSBackingStoreBuffered, false);
    window->setTitle(NSString::stringWithUTF8String(("Gallery: " + page.title).c_str()));
    window->setReleasedWhenClosed(false);
    window->setContentView(page.makeView(content));
    window->center();
    window->makeKeyAndOrderFront(nullptr);
    return window;
}

bool saveWindow(const Ref<NSWindow>& window, const std::string& path)
{
    window->displayIfNeeded();
    auto surface = WindowServer::shared().surface(window->windowNumber());
    auto png = surface ? surface->PNGRepresentation() : nullptr;
    return png && png->writeToFile(NSString::stringWithUTF8String(path.c_str()), true);
}
}  // namespace

int main(int argc, const char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) return listPages();
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--shot") == 0)) return usage();
    const GalleryPage* page = Gallery::pageNamed(argv[1]);
    if (!page) {
        std::fprintf(stderr, "plumbline-gallery: no page \"%s\" (--list shows them)\n", argv[1]);
        return 2;
    }
    const std::string shot = argc == 4 ? argv[3] : "";

    NSAutoreleasePool pool;
    Ref<NSApplication> app = NSApplication::sharedApplication();
    SignalSource::setTerminationHandler([](int) {
        if (NSApp) NSApp->terminate(nullptr);
    });
    Ref<NSWindow> window = showPage(*page);
    Id closeObserver = NSNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(NSWindowWillCloseNotification), window, nullptr,
        [](const Ref<NSNotification>&) { NSApp->terminate(nullptr); });

    int status = 0;
    // The first frames are drawn before the page's own step and the shot.
    NSTimer::scheduledTimerWithTimeInterval(0.2, false, [&](const Ref<NSTimer>&) {
        if (page->afterShow) page->afterShow(window);
        if (shot.empty()) return;
        NSTimer::scheduledTimerWithTimeInterval(0.3, false, [&](const Ref<NSTimer>&) {
            if (!saveWindow(window, shot)) {
                NSLog("Could not save the window to %s", shot.c_str());
                status = 1;
            }
            NSApp->terminate(nullptr);
        });
    });
    app->run();
    SignalSource::setTerminationHandler({});
    return status;
}
