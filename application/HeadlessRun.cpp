#include "HeadlessRun.h"

#include <cstdlib>
#include <string>

#include "AppKit/NSApplication.h"
#include "AppKit/WindowServer.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSTimer.h"
#include "backend/headless/HeadlessWindowServer.h"

namespace HeadlessRun {
void scheduleScreenshotIfAsked()
{
    const char* path = std::getenv("PLUMBLINE_SCREENSHOT");
    if (!path || !*path) return;
    const std::string target = path;
    static Id observer;
    observer = NSNotificationCenter::defaultCenter()->addObserverForName(
        NSString::stringWithUTF8String(NSApplicationDidFinishLaunchingNotification), nullptr, nullptr,
        [target](const Ref<NSNotification>&) {
            // A short wait lets the first windows draw.
            NSTimer::scheduledTimerWithTimeInterval(0.3, false, [target](const Ref<NSTimer>&) {
                auto* server = dynamic_cast<HeadlessWindowServer*>(&WindowServer::shared());
                if (!server) NSLog("The screen can be saved only on the headless window server");
                else if (!server->saveScreenImage(target)) NSLog("Could not save the screen to %s", target.c_str());
                NSApp->terminate(nullptr);
            });
        });
}
}  // namespace HeadlessRun
