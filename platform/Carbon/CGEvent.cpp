#include "Carbon/CGEvent.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGEvent)

Ref<CGEvent> CGEvent::create(CGEventType type, CGPoint location)
{
    auto event = alloc<CGEvent>();
    event->m_type = type;
    event->m_location = location;
    return event;
}

CGEventType CGEventGetType(const CGEventRef& event) { return event ? event->type() : kCGEventNull; }

CGPoint CGEventGetLocation(const CGEventRef& event) { return event ? event->location() : CGPointZero; }
