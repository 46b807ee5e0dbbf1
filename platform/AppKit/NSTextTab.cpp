#include "AppKit/NSTextTab.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSTextTab)

Ref<NSTextTab> NSTextTab::initWithType(NSTextTabType type, CGFloat location)
{
    auto tab = alloc<NSTextTab>();
    tab->m_type = type;
    tab->m_location = location;
    return tab;
}

bool NSTextTab::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSTextTab*>(other);
    return o && o->m_type == m_type && o->m_location == m_location;
}
