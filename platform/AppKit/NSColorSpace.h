#pragma once
// Colour spaces as objects, over the Core Graphics ones, and the colour-space
// names colours are tagged with.
#include "CoreGraphics/CGColor.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

inline const Ref<NSString> NSCalibratedRGBColorSpace = "NSCalibratedRGBColorSpace"_ns;
inline const Ref<NSString> NSDeviceRGBColorSpace = "NSDeviceRGBColorSpace"_ns;
inline const Ref<NSString> NSCalibratedWhiteColorSpace = "NSCalibratedWhiteColorSpace"_ns;
inline const Ref<NSString> NSDeviceWhiteColorSpace = "NSDeviceWhiteColorSpace"_ns;
inline const Ref<NSString> NSNamedColorSpace = "NSNamedColorSpace"_ns;
inline const Ref<NSString> NSPatternColorSpace = "NSPatternColorSpace"_ns;

enum NSColorSpaceModel : NSInteger {
    NSColorSpaceModelUnknown = -1,
    NSColorSpaceModelGray = 0,
    NSColorSpaceModelRGB = 1,
    NSColorSpaceModelPatterned = 5,
};

class NSColorSpace : public NSObject {
    NS_OBJECT(NSColorSpace, NSObject)
protected:
    NSColorSpace() = default;

public:
    static Ref<NSColorSpace> genericRGBColorSpace();
    static Ref<NSColorSpace> deviceRGBColorSpace();
    static Ref<NSColorSpace> sRGBColorSpace();
    static Ref<NSColorSpace> genericGrayColorSpace();
    static Ref<NSColorSpace> deviceGrayColorSpace();

    NSColorSpaceModel colorSpaceModel() const { return m_model; }
    NSInteger numberOfColorComponents() const { return m_model == NSColorSpaceModelRGB ? 3 : 1; }
    Ref<::CGColorSpace> CGColorSpace() const;
    Ref<NSString> localizedName() const { return m_name; }
    // The colour-space name colours in this space carry.
    const Ref<NSString>& colorSpaceName() const { return m_colorSpaceName; }

private:
    static Ref<NSColorSpace> make(NSColorSpaceModel model, const char* name, const Ref<NSString>& spaceName);
    NSColorSpaceModel m_model = NSColorSpaceModelRGB;
    Ref<NSString> m_name;
    Ref<NSString> m_colorSpaceName;
};
