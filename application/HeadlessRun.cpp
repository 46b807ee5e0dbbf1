#include "HeadlessRun.h"

#include <cstdlib>
#include <string>

#include "AppKit/NSApplication.h"
#include "Foundation/NSData.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSTimer.h"
#include "WindowServer/WindowServer.h"

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
                auto image = WindowServer::shared().screenImage();
                auto png = image ? image->PNGRepresentation() : nullptr;
                if (!image) NSLog("This window server cannot read the screen back");
                else if (!png || !png->writeToFile(NSString::stringWithUTF8String(target), true))
                    NSLog("Could not save the screen to %s", target.c_str());
                NSApp->terminate(nullptr);
            });
        });
}
}  // namespace HeadlessRun
