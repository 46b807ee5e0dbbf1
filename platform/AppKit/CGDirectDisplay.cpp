#include "AppKit/CGDirectDisplay.h"

#include <optional>

#include "WindowServer/WindowServer.h"

namespace {

std::optional<WSScreen> screenOf(CGDirectDisplayID display)
{
    for (const auto& s : WindowServer::shared().screens())
        if (s.displayID == display) return s;
    return std::nullopt;
}

}

CGDirectDisplayID CGMainDisplayID()
{
    auto screens = WindowServer::shared().screens();
    return screens.empty() ? 0 : screens.front().displayID;
}

std::vector<CGDirectDisplayID> CGActiveDisplayList()
{
    std::vector<CGDirectDisplayID> ids;
    for (const auto& s : WindowServer::shared().screens()) ids.push_back(s.displayID);
    return ids;
}

CGSize CGDisplayScreenSize(CGDirectDisplayID display)
{
    auto s = screenOf(display);
    return s ? s->physicalSizeMM : CGSizeZero;
}

size_t CGDisplayPixelsWide(CGDirectDisplayID display)
{
    auto s = screenOf(display);
    return s ? static_cast<size_t>(s->frame.size.width) : 0;
}

size_t CGDisplayPixelsHigh(CGDirectDisplayID display)
{
    auto s = screenOf(display);
    return s ? static_cast<size_t>(s->frame.size.height) : 0;
}

CGRect CGDisplayBounds(CGDirectDisplayID display)
{
    auto s = screenOf(display);
    if (!s) return CGRectZero;
    auto screens = WindowServer::shared().screens();
    const CGFloat mainTop = NSMaxY(screens.front().frame);
    return CGRectMake(s->frame.origin.x, mainTop - NSMaxY(s->frame), s->frame.size.width, s->frame.size.height);
}
