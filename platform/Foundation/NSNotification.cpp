#include "Foundation/NSNotification.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSNotification)

Ref<NSNotification> NSNotification::notificationWithName(const Ref<NSString>& name, const Id& object,
                                                         const Ref<NSDictionary>& userInfo)
{
    auto n = alloc<NSNotification>();
    n->m_name = name ? static_ref_cast<NSString>(name->copy()) : nullptr;
    n->m_object = object;
    n->m_userInfo = userInfo;
    return n;
}

Ref<NSString> NSNotification::description() const
{
    return NSString::stringWithFormat("NSConcreteNotification %p {name = %@; object = %@; userInfo = %@}", this, m_name,
                                      m_object, m_userInfo);
}
