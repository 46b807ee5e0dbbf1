#include "CoreGraphics/CGColor.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGColorSpace)
NS_CLASS_DEFINE(CGColor)

Ref<CGColorSpace> CGColorSpace::make(CGColorSpaceModel model, const char* name)
{
    auto space = alloc<CGColorSpace>();
    space->m_model = model;
    space->m_name = NSString::stringWithUTF8String(name);
    return space;
}

Ref<CGColorSpace> CGColorSpace::deviceRGB()
{
    static const Ref<CGColorSpace> space = make(CGColorSpaceModel::RGB, "kCGColorSpaceDeviceRGB");
    return space;
}

Ref<CGColorSpace> CGColorSpace::genericRGB()
{
    static const Ref<CGColorSpace> space = make(CGColorSpaceModel::RGB, "kCGColorSpaceGenericRGB");
    return space;
}

Ref<CGColorSpace> CGColorSpace::genericGray()
{
    static const Ref<CGColorSpace> space = make(CGColorSpaceModel::Monochrome, "kCGColorSpaceGenericGray");
    return space;
}

Ref<CGColorSpace> CGColorSpace::withName(const Ref<NSString>& name)
{
    if (!name) return nullptr;
    std::string n = name->UTF8String();
    if (n == "kCGColorSpaceGenericRGB" || n == "kCGColorSpaceSRGB" || n == "kCGColorSpaceGenericRGBLinear")
        return genericRGB();
    if (n == "kCGColorSpaceDeviceRGB") return deviceRGB();
    if (n == "kCGColorSpaceGenericGray" || n == "kCGColorSpaceGenericGrayGamma2_2") return genericGray();
    return nullptr;
}

Ref<CGColor> CGColor::create(const Ref<CGColorSpace>& space, const CGFloat* components)
{
    if (!space || !components) return nullptr;
    auto color = alloc<CGColor>();
    color->m_space = space;
    color->m_components.assign(components, components + space->numberOfComponents() + 1);
    return color;
}

Ref<CGColor> CGColor::createGenericRGB(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    const CGFloat c[] = {r, g, b, a};
    return create(CGColorSpace::genericRGB(), c);
}

CGRGBA CGColor::rgba() const
{
    if (m_space->model() == CGColorSpaceModel::Monochrome)
        return {m_components[0], m_components[0], m_components[0], m_components[1]};
    return {m_components[0], m_components[1], m_components[2], m_components[3]};
}

bool CGColor::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const CGColor*>(other);
    return o && o->m_space == m_space && o->m_components == m_components;
}
