#include "AppKit/NSScreen.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"
#include "Foundation/NSValue.h"
#include "WindowServer/WindowServer.h"

NS_CLASS_DEFINE(NSScreen)

Ref<NSArray> NSScreen::screens()
{
    auto list = NSMutableArray::array();
    for (const auto& s : WindowServer::shared().screens()) {
        auto screen = alloc<NSScreen>();
        screen->m_frame = s.frame;
        screen->m_visibleFrame = s.visibleFrame;
        screen->m_displayID = s.displayID;
        list->addObject(screen);
    }
    return list;
}

Ref<NSScreen> NSScreen::mainScreen()
{
    auto list = screens();
    return list->count() ? static_ref_cast<NSScreen>(list->objectAtIndex(0)) : nullptr;
}

Ref<NSDictionary> NSScreen::deviceDescription() const
{
    auto d = NSMutableDictionary::dictionary();
    d->setObject(NSNumber::numberWithUnsignedInt(m_displayID), "NSScreenNumber"_ns);
    d->setObject(NSValue::valueWithSize(m_frame.size), "NSDeviceSize"_ns);
    d->setObject(NSValue::valueWithSize(NSMakeSize(72, 72)), "NSDeviceResolution"_ns);
    return d;
}

bool NSScreen::isEqual(const NSObject* other) const
{
    auto* s = dynamic_cast<const NSScreen*>(other);
    return s && s->m_displayID == m_displayID && s->m_frame == m_frame;
}
