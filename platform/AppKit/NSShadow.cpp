#include "AppKit/NSShadow.h"

#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSShadow)

Ref<NSColor> NSShadow::shadowColor() const { return m_color ? m_color : NSColor::colorWithCalibratedWhite(0, 1.0 / 3); }

void NSShadow::set() const
{
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    context->graphicsPort()->setShadow(m_offset, m_blurRadius, shadowColor()->rgba());
}

bool NSShadow::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSShadow*>(other);
    return o && o->m_offset == m_offset && o->m_blurRadius == m_blurRadius &&
           o->shadowColor()->isEqual(shadowColor().get());
}

Id NSShadow::copy() const
{
    auto s = shadow();
    s->m_offset = m_offset;
    s->m_blurRadius = m_blurRadius;
    s->m_color = m_color;
    return s;
}
