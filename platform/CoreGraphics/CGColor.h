#pragma once
// Colour spaces and colours. There is no colour management: every space
// renders as sRGB, and the space is kept for conversions and archives.
#include <vector>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// Premultiplication happens only when drawing; components stay as given.
struct CGRGBA {
    CGFloat r = 0, g = 0, b = 0, a = 1;
    friend bool operator==(const CGRGBA&, const CGRGBA&) = default;
};

enum class CGColorSpaceModel { Monochrome = 0, RGB = 1 };

class CGColorSpace : public NSObject {
    NS_OBJECT(CGColorSpace, NSObject)
protected:
    CGColorSpace() = default;

public:
    static Ref<CGColorSpace> deviceRGB();
    static Ref<CGColorSpace> genericRGB();
    static Ref<CGColorSpace> genericGray();
    // kCGColorSpaceGenericRGB, kCGColorSpaceSRGB, kCGColorSpaceGenericGray...;
    // nil for other names.
    static Ref<CGColorSpace> withName(const Ref<NSString>& name);

    CGColorSpaceModel model() const { return m_model; }
    size_t numberOfComponents() const { return m_model == CGColorSpaceModel::RGB ? 3 : 1; }
    const Ref<NSString>& name() const { return m_name; }

private:
    static Ref<CGColorSpace> make(CGColorSpaceModel model, const char* name);
    CGColorSpaceModel m_model = CGColorSpaceModel::RGB;
    Ref<NSString> m_name;
};
using CGColorSpaceRef = Ref<CGColorSpace>;

inline const Ref<NSString> kCGColorSpaceGenericRGB = "kCGColorSpaceGenericRGB"_ns;
inline const Ref<NSString> kCGColorSpaceSRGB = "kCGColorSpaceSRGB"_ns;
inline const Ref<NSString> kCGColorSpaceGenericGray = "kCGColorSpaceGenericGray"_ns;

inline Ref<CGColorSpace> CGColorSpaceCreateDeviceRGB() { return CGColorSpace::deviceRGB(); }
inline Ref<CGColorSpace> CGColorSpaceCreateDeviceGray() { return CGColorSpace::genericGray(); }
inline Ref<CGColorSpace> CGColorSpaceCreateWithName(const Ref<NSString>& name) { return CGColorSpace::withName(name); }
inline size_t CGColorSpaceGetNumberOfComponents(const Ref<CGColorSpace>& space)
{
    return space ? space->numberOfComponents() : 0;
}

class CGColor : public NSObject {
    NS_OBJECT(CGColor, NSObject)
protected:
    CGColor() = default;

public:
    // Components are the space's components followed by alpha.
    static Ref<CGColor> create(const Ref<CGColorSpace>& space, const CGFloat* components);
    static Ref<CGColor> createGenericRGB(CGFloat r, CGFloat g, CGFloat b, CGFloat a);

    const Ref<CGColorSpace>& colorSpace() const { return m_space; }
    const std::vector<CGFloat>& components() const { return m_components; }
    CGFloat alpha() const { return m_components.back(); }
    CGRGBA rgba() const;
    bool isEqual(const NSObject* other) const override;

private:
    Ref<CGColorSpace> m_space;
    std::vector<CGFloat> m_components;
};
using CGColorRef = Ref<CGColor>;

inline Ref<CGColor> CGColorCreate(const Ref<CGColorSpace>& space, const CGFloat* components)
{
    return CGColor::create(space, components);
}
inline Ref<CGColor> CGColorCreateGenericRGB(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return CGColor::createGenericRGB(r, g, b, a);
}
inline size_t CGColorGetNumberOfComponents(const Ref<CGColor>& c) { return c ? c->components().size() : 0; }
inline const CGFloat* CGColorGetComponents(const Ref<CGColor>& c) { return c ? c->components().data() : nullptr; }
inline CGFloat CGColorGetAlpha(const Ref<CGColor>& c) { return c ? c->alpha() : 0; }
