#include "AppKit/NSActionCell.h"

#include "Foundation/NSClass.h"

#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSActionCell)

void NSActionCell::copyValuesFrom(const NSCell& other)
{
    NSCell::copyValuesFrom(other);
    if (auto o = dynamic_cast<const NSActionCell*>(&other)) {
        m_target = o->m_target.get();
        m_action = o->m_action;
    }
}

void NSActionCell::encodeWithCoder(NSCoder* c) const
{
    NSCell::encodeWithCoder(c);
    if (!m_action.empty()) c->encodeObject(NSString::stringWithUTF8String(m_action), "NSAction"_ns);
    c->encodeConditionalObject(m_target.get(), "NSTarget"_ns);
}

Id NSActionCell::initWithCoder(NSCoder* c)
{
    NSCell::initWithCoder(c);
    if (auto a = dynamic_ref_cast<NSString>(c->decodeObjectForKey("NSAction"_ns))) m_action = a->UTF8String();
    m_target = c->decodeObjectForKey("NSTarget"_ns);
    return this;
}
