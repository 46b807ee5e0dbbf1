#include "AppKit/NSColorSpace.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSColorSpace)

Ref<NSColorSpace> NSColorSpace::make(NSColorSpaceModel model, const char* name, const Ref<NSString>& spaceName)
{
    auto space = alloc<NSColorSpace>();
    space->m_model = model;
    space->m_name = NSString::stringWithUTF8String(name);
    space->m_colorSpaceName = spaceName;
    return space;
}

Ref<NSColorSpace> NSColorSpace::genericRGBColorSpace()
{
    static const Ref<NSColorSpace> s = make(NSColorSpaceModelRGB, "Generic RGB", NSCalibratedRGBColorSpace);
    return s;
}

Ref<NSColorSpace> NSColorSpace::deviceRGBColorSpace()
{
    static const Ref<NSColorSpace> s = make(NSColorSpaceModelRGB, "Device RGB", NSDeviceRGBColorSpace);
    return s;
}

Ref<NSColorSpace> NSColorSpace::sRGBColorSpace()
{
    static const Ref<NSColorSpace> s = make(NSColorSpaceModelRGB, "sRGB", NSCalibratedRGBColorSpace);
    return s;
}

Ref<NSColorSpace> NSColorSpace::genericGrayColorSpace()
{
    static const Ref<NSColorSpace> s = make(NSColorSpaceModelGray, "Generic Gray", NSCalibratedWhiteColorSpace);
    return s;
}

Ref<NSColorSpace> NSColorSpace::deviceGrayColorSpace()
{
    static const Ref<NSColorSpace> s = make(NSColorSpaceModelGray, "Device Gray", NSDeviceWhiteColorSpace);
    return s;
}

Ref<::CGColorSpace> NSColorSpace::CGColorSpace() const
{
    if (m_model == NSColorSpaceModelGray) return ::CGColorSpace::genericGray();
    return m_colorSpaceName == NSDeviceRGBColorSpace ? ::CGColorSpace::deviceRGB() : ::CGColorSpace::genericRGB();
}
