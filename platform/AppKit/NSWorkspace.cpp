#include "AppKit/NSWorkspace.h"

#include <mutex>

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSFileManager.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(NSWorkspace)

namespace {
std::once_flag g_once;
NSWorkspace* g_shared = nullptr;
}

Ref<NSWorkspace> NSWorkspace::sharedWorkspace() { return make<NSWorkspace>(); }

Id NSWorkspace::init()
{
    std::call_once(g_once, [this] {
        retain();  // the shared instance lives for the process
        g_shared = this;
    });
    return Id(g_shared);
}

bool NSWorkspace::openURL(const Ref<NSURL>& url)
{
    if (!url) return false;
    return WindowServer::shared().openURL(url->absoluteString()->UTF8String());
}

bool NSWorkspace::openFile(const Ref<NSString>& path)
{
    if (!path || !NSFileManager::defaultManager()->fileExistsAtPath(path)) return false;
    return openURL(NSURL::fileURLWithPath(path));
}

bool NSWorkspace::selectFile(const Ref<NSString>& path, const Ref<NSString>&)
{
    if (!path || !NSFileManager::defaultManager()->fileExistsAtPath(path)) return false;
    return openURL(NSURL::fileURLWithPath(path->stringByDeletingLastPathComponent(), true));
}

Ref<NSImage> NSWorkspace::iconForFile(const Ref<NSString>&)
{
    if (m_genericIcon) return m_genericIcon;
    // A white page with a folded corner and a grey outline.
    m_genericIcon = NSImage::imageWithSize(NSMakeSize(32, 32), false, [](NSRect) {
        auto page = NSBezierPath::bezierPath();
        page->moveToPoint({6.5, 1.5});
        page->lineToPoint({25.5, 1.5});
        page->lineToPoint({25.5, 23.5});
        page->lineToPoint({17.5, 30.5});
        page->lineToPoint({6.5, 30.5});
        page->closePath();
        NSColor::colorWithCalibratedWhite(1, 1)->setFill();
        page->fill();
        NSColor::colorWithCalibratedWhite(0.55, 1)->setStroke();
        page->stroke();
        auto fold = NSBezierPath::bezierPath();
        fold->moveToPoint({17.5, 30.5});
        fold->lineToPoint({17.5, 23.5});
        fold->lineToPoint({25.5, 23.5});
        fold->stroke();
        return true;
    });
    return m_genericIcon;
}
