#include "AppKit/NSTrackingArea.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSTrackingArea)

Ref<NSTrackingArea> NSTrackingArea::initWithRect(const NSRect& rect, NSUInteger options, const Id& owner,
                                                 const Ref<NSDictionary>& userInfo)
{
    m_rect = rect;
    m_options = options;
    m_owner = owner;
    m_userInfo = userInfo;
    m_inside = options & NSTrackingAssumeInside;
    return this;
}
