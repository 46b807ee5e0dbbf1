#include "AppKit/NSColor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSImage.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSException.h"

NS_CLASS_DEFINE(NSColor)

namespace {

// The system colours: fixed values, the same in every run, so that drawing
// code can be checked by which colour it used. White values are calibrated
// white; RGB values are calibrated RGB.
struct SystemColor {
    const char* name;
    bool rgb;
    CGFloat c0, c1, c2, alpha;  // white in c0 for grey colours
};
constexpr SystemColor kSystemColors[] = {
    {"controlColor", false, 0.929, 0, 0, 1},
    {"controlBackgroundColor", false, 1.0, 0, 0, 1},
    {"controlTextColor", false, 0.0, 0, 0, 1},
    {"disabledControlTextColor", false, 0.5, 0, 0, 1},
    {"controlShadowColor", false, 0.5, 0, 0, 1},
    {"controlDarkShadowColor", false, 0.0, 0, 0, 1},
    {"controlHighlightColor", false, 1.0, 0, 0, 1},
    {"controlLightHighlightColor", false, 1.0, 0, 0, 1},
    {"gridColor", false, 0.8, 0, 0, 1},
    {"textColor", false, 0.0, 0, 0, 1},
    {"textBackgroundColor", false, 1.0, 0, 0, 1},
    {"selectedTextColor", false, 0.0, 0, 0, 1},
    {"selectedTextBackgroundColor", true, 0.710, 0.835, 1.0, 1},
    {"selectedControlColor", true, 0.710, 0.835, 1.0, 1},
    {"selectedControlTextColor", false, 0.0, 0, 0, 1},
    {"secondarySelectedControlColor", false, 0.831, 0, 0, 1},
    {"alternateSelectedControlColor", true, 0.220, 0.459, 0.843, 1},
    {"alternateSelectedControlTextColor", false, 1.0, 0, 0, 1},
    {"keyboardFocusIndicatorColor", true, 0.353, 0.553, 0.827, 1},
    {"windowBackgroundColor", false, 0.929, 0, 0, 1},
    {"windowFrameColor", false, 0.667, 0, 0, 1},
    {"headerColor", false, 1.0, 0, 0, 1},
    {"headerTextColor", false, 0.0, 0, 0, 1},
    {"highlightColor", false, 1.0, 0, 0, 1},
    {"shadowColor", false, 0.0, 0, 0, 1},
    {"selectedMenuItemColor", true, 0.220, 0.459, 0.843, 1},
    {"scrollBarColor", false, 0.9, 0, 0, 1},
    {"knobColor", false, 0.5, 0, 0, 1},
    {"labelColor", false, 0.0, 0, 0, 1},
    {"secondaryLabelColor", false, 0.0, 0, 0, 0.5},
};

bool sameName(const Ref<NSString>& a, const Ref<NSString>& b) { return a && b && a->isEqualToString(b); }

void rgbToHsb(CGFloat r, CGFloat g, CGFloat b, CGFloat& h, CGFloat& s, CGFloat& v)
{
    CGFloat max = std::max({r, g, b}), min = std::min({r, g, b}), d = max - min;
    v = max;
    s = max > 0 ? d / max : 0;
    if (d == 0) {
        h = 0;
        return;
    }
    if (max == r) h = (g - b) / d;
    else if (max == g) h = 2 + (b - r) / d;
    else h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
}

void hsbToRgb(CGFloat h, CGFloat s, CGFloat v, CGFloat& r, CGFloat& g, CGFloat& b)
{
    h = (h - std::floor(h)) * 6;
    int sector = static_cast<int>(h) % 6;
    CGFloat f = h - std::floor(h);
    CGFloat p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (sector) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
}

}

Ref<NSColor> NSColor::make(const Ref<NSString>& space, std::vector<CGFloat> components)
{
    auto color = alloc<NSColor>();
    color->m_spaceName = space;
    color->m_components = std::move(components);
    if (sameName(space, NSCalibratedRGBColorSpace) || sameName(space, NSDeviceRGBColorSpace)) color->m_kind = Kind::RGB;
    else if (sameName(space, NSCalibratedWhiteColorSpace) || sameName(space, NSDeviceWhiteColorSpace))
        color->m_kind = Kind::Gray;
    return color;
}

Ref<NSColor> NSColor::colorWithCalibratedRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return make(NSCalibratedRGBColorSpace, {r, g, b, a});
}
Ref<NSColor> NSColor::colorWithDeviceRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return make(NSDeviceRGBColorSpace, {r, g, b, a});
}
Ref<NSColor> NSColor::colorWithCalibratedWhite(CGFloat w, CGFloat a)
{
    return make(NSCalibratedWhiteColorSpace, {w, a});
}
Ref<NSColor> NSColor::colorWithDeviceWhite(CGFloat w, CGFloat a) { return make(NSDeviceWhiteColorSpace, {w, a}); }

Ref<NSColor> NSColor::colorWithCalibratedHue(CGFloat h, CGFloat s, CGFloat v, CGFloat a)
{
    CGFloat r, g, b;
    hsbToRgb(h, s, v, r, g, b);
    return colorWithCalibratedRed(r, g, b, a);
}

Ref<NSColor> NSColor::colorWithDeviceHue(CGFloat h, CGFloat s, CGFloat v, CGFloat a)
{
    CGFloat r, g, b;
    hsbToRgb(h, s, v, r, g, b);
    return colorWithDeviceRed(r, g, b, a);
}

Ref<NSColor> NSColor::colorWithPatternImage(const Ref<NSImage>& image)
{
    if (!image) return nullptr;
    auto color = make(NSPatternColorSpace, {1});
    color->m_pattern = image;
    return color;
}

Ref<NSColor> NSColor::colorWithColorSpace(const Ref<NSColorSpace>& space, const CGFloat* components, NSInteger count)
{
    if (!space || !components || count != space->numberOfColorComponents() + 1) return nullptr;
    return make(space->colorSpaceName(), std::vector<CGFloat>(components, components + count));
}

Ref<NSColor> NSColor::colorWithCGColor(const Ref<::CGColor>& color)
{
    if (!color) return nullptr;
    const auto& c = color->components();
    if (color->colorSpace()->model() == CGColorSpaceModel::Monochrome) return colorWithCalibratedWhite(c[0], c[1]);
    return colorWithCalibratedRed(c[0], c[1], c[2], c[3]);
}

Ref<NSColor> NSColor::blackColor() { return colorWithCalibratedWhite(0, 1); }
Ref<NSColor> NSColor::whiteColor() { return colorWithCalibratedWhite(1, 1); }
Ref<NSColor> NSColor::grayColor() { return colorWithCalibratedWhite(0.5, 1); }
Ref<NSColor> NSColor::lightGrayColor() { return colorWithCalibratedWhite(2.0 / 3, 1); }
Ref<NSColor> NSColor::darkGrayColor() { return colorWithCalibratedWhite(1.0 / 3, 1); }
Ref<NSColor> NSColor::clearColor() { return colorWithCalibratedWhite(0, 0); }
Ref<NSColor> NSColor::redColor() { return colorWithCalibratedRed(1, 0, 0, 1); }
Ref<NSColor> NSColor::greenColor() { return colorWithCalibratedRed(0, 1, 0, 1); }
Ref<NSColor> NSColor::blueColor() { return colorWithCalibratedRed(0, 0, 1, 1); }
Ref<NSColor> NSColor::cyanColor() { return colorWithCalibratedRed(0, 1, 1, 1); }
Ref<NSColor> NSColor::yellowColor() { return colorWithCalibratedRed(1, 1, 0, 1); }
Ref<NSColor> NSColor::magentaColor() { return colorWithCalibratedRed(1, 0, 1, 1); }
Ref<NSColor> NSColor::orangeColor() { return colorWithCalibratedRed(1, 0.5, 0, 1); }
Ref<NSColor> NSColor::purpleColor() { return colorWithCalibratedRed(0.5, 0, 0.5, 1); }
Ref<NSColor> NSColor::brownColor() { return colorWithCalibratedRed(0.6, 0.4, 0.2, 1); }

Ref<NSColor> NSColor::systemColor(const char* name)
{
    for (const SystemColor& s : kSystemColors) {
        if (std::strcmp(s.name, name) != 0) continue;
        auto color = make(NSNamedColorSpace, {});
        color->m_catalog = "System"_ns;
        color->m_name = NSString::stringWithUTF8String(name);
        color->m_namedValue =
            s.rgb ? colorWithCalibratedRed(s.c0, s.c1, s.c2, s.alpha) : colorWithCalibratedWhite(s.c0, s.alpha);
        return color;
    }
    return nullptr;
}

Ref<NSColor> NSColor::colorWithCatalogName(const Ref<NSString>& catalog, const Ref<NSString>& name)
{
    if (!sameName(catalog, "System"_ns) || !name) return nullptr;
    return systemColor(name->UTF8String().c_str());
}

Ref<NSColor> NSColor::controlColor() { return systemColor("controlColor"); }
Ref<NSColor> NSColor::controlBackgroundColor() { return systemColor("controlBackgroundColor"); }
Ref<NSColor> NSColor::controlTextColor() { return systemColor("controlTextColor"); }
Ref<NSColor> NSColor::disabledControlTextColor() { return systemColor("disabledControlTextColor"); }
Ref<NSColor> NSColor::controlShadowColor() { return systemColor("controlShadowColor"); }
Ref<NSColor> NSColor::controlDarkShadowColor() { return systemColor("controlDarkShadowColor"); }
Ref<NSColor> NSColor::controlHighlightColor() { return systemColor("controlHighlightColor"); }
Ref<NSColor> NSColor::controlLightHighlightColor() { return systemColor("controlLightHighlightColor"); }
Ref<NSColor> NSColor::gridColor() { return systemColor("gridColor"); }
Ref<NSColor> NSColor::textColor() { return systemColor("textColor"); }
Ref<NSColor> NSColor::textBackgroundColor() { return systemColor("textBackgroundColor"); }
Ref<NSColor> NSColor::selectedTextColor() { return systemColor("selectedTextColor"); }
Ref<NSColor> NSColor::selectedTextBackgroundColor() { return systemColor("selectedTextBackgroundColor"); }
Ref<NSColor> NSColor::selectedControlColor() { return systemColor("selectedControlColor"); }
Ref<NSColor> NSColor::selectedControlTextColor() { return systemColor("selectedControlTextColor"); }
Ref<NSColor> NSColor::secondarySelectedControlColor() { return systemColor("secondarySelectedControlColor"); }
Ref<NSColor> NSColor::alternateSelectedControlColor() { return systemColor("alternateSelectedControlColor"); }
Ref<NSColor> NSColor::alternateSelectedControlTextColor() { return systemColor("alternateSelectedControlTextColor"); }
Ref<NSColor> NSColor::keyboardFocusIndicatorColor() { return systemColor("keyboardFocusIndicatorColor"); }
Ref<NSColor> NSColor::windowBackgroundColor() { return systemColor("windowBackgroundColor"); }
Ref<NSColor> NSColor::windowFrameColor() { return systemColor("windowFrameColor"); }
Ref<NSColor> NSColor::headerColor() { return systemColor("headerColor"); }
Ref<NSColor> NSColor::headerTextColor() { return systemColor("headerTextColor"); }
Ref<NSColor> NSColor::highlightColor() { return systemColor("highlightColor"); }
Ref<NSColor> NSColor::shadowColor() { return systemColor("shadowColor"); }
Ref<NSColor> NSColor::selectedMenuItemColor() { return systemColor("selectedMenuItemColor"); }
Ref<NSColor> NSColor::scrollBarColor() { return systemColor("scrollBarColor"); }
Ref<NSColor> NSColor::knobColor() { return systemColor("knobColor"); }
Ref<NSColor> NSColor::labelColor() { return systemColor("labelColor"); }
Ref<NSColor> NSColor::secondaryLabelColor() { return systemColor("secondaryLabelColor"); }

Ref<NSColorSpace> NSColor::colorSpace() const
{
    if (sameName(m_spaceName, NSCalibratedRGBColorSpace)) return NSColorSpace::genericRGBColorSpace();
    if (sameName(m_spaceName, NSDeviceRGBColorSpace)) return NSColorSpace::deviceRGBColorSpace();
    if (sameName(m_spaceName, NSCalibratedWhiteColorSpace)) return NSColorSpace::genericGrayColorSpace();
    if (sameName(m_spaceName, NSDeviceWhiteColorSpace)) return NSColorSpace::deviceGrayColorSpace();
    return nullptr;
}

void NSColor::getComponents(CGFloat* components) const
{
    if (components) std::copy(m_components.begin(), m_components.end(), components);
}

Ref<NSColor> NSColor::colorUsingColorSpaceName(const Ref<NSString>& name) const
{
    if (!name) return nullptr;
    if (m_namedValue)
        return sameName(name, NSNamedColorSpace) ? const_cast<NSColor*>(this)
                                                 : m_namedValue->colorUsingColorSpaceName(name);
    if (sameName(name, m_spaceName)) return const_cast<NSColor*>(this);
    if (m_pattern) return nullptr;
    bool toRGB = sameName(name, NSCalibratedRGBColorSpace) || sameName(name, NSDeviceRGBColorSpace);
    bool toGray = sameName(name, NSCalibratedWhiteColorSpace) || sameName(name, NSDeviceWhiteColorSpace);
    if (toRGB && isRGB()) return make(name, m_components);
    if (toRGB && isGray()) return make(name, {m_components[0], m_components[0], m_components[0], m_components[1]});
    if (toGray && isGray()) return make(name, m_components);
    if (toGray && isRGB())
        return make(name,
                    {0.299 * m_components[0] + 0.587 * m_components[1] + 0.114 * m_components[2], m_components[3]});
    return nullptr;
}

Ref<NSColor> NSColor::colorUsingColorSpace(const Ref<NSColorSpace>& space) const
{
    return space ? colorUsingColorSpaceName(space->colorSpaceName()) : nullptr;
}

void NSColor::getRed(CGFloat* r, CGFloat* g, CGFloat* b, CGFloat* a) const
{
    if (!isRGB())
        NSException::raise(NSInvalidArgumentException, "getRed:green:blue:alpha: not valid for a colour in " +
                                                           m_spaceName->UTF8String() +
                                                           "; convert it to an RGB colour space first");
    if (r) *r = m_components[0];
    if (g) *g = m_components[1];
    if (b) *b = m_components[2];
    if (a) *a = m_components[3];
}

CGFloat NSColor::redComponent() const
{
    CGFloat v;
    getRed(&v, nullptr, nullptr, nullptr);
    return v;
}
CGFloat NSColor::greenComponent() const
{
    CGFloat v;
    getRed(nullptr, &v, nullptr, nullptr);
    return v;
}
CGFloat NSColor::blueComponent() const
{
    CGFloat v;
    getRed(nullptr, nullptr, &v, nullptr);
    return v;
}

void NSColor::getHue(CGFloat* h, CGFloat* s, CGFloat* b, CGFloat* a) const
{
    CGFloat r, g, bl, al;
    getRed(&r, &g, &bl, &al);
    CGFloat hh, ss, vv;
    rgbToHsb(r, g, bl, hh, ss, vv);
    if (h) *h = hh;
    if (s) *s = ss;
    if (b) *b = vv;
    if (a) *a = al;
}

CGFloat NSColor::hueComponent() const
{
    CGFloat v;
    getHue(&v, nullptr, nullptr, nullptr);
    return v;
}
CGFloat NSColor::saturationComponent() const
{
    CGFloat v;
    getHue(nullptr, &v, nullptr, nullptr);
    return v;
}
CGFloat NSColor::brightnessComponent() const
{
    CGFloat v;
    getHue(nullptr, nullptr, &v, nullptr);
    return v;
}

CGFloat NSColor::whiteComponent() const
{
    if (!isGray())
        NSException::raise(NSInvalidArgumentException,
                           "whiteComponent not valid for a colour in " + m_spaceName->UTF8String());
    return m_components[0];
}

void NSColor::getWhite(CGFloat* white, CGFloat* a) const
{
    if (white) *white = whiteComponent();
    if (a) *a = m_components[1];
}

CGFloat NSColor::alphaComponent() const
{
    if (m_namedValue) return m_namedValue->alphaComponent();
    return m_components.empty() ? 1 : m_components.back();
}

Ref<NSColor> NSColor::colorWithAlphaComponent(CGFloat alpha) const
{
    if (m_namedValue) return m_namedValue->colorWithAlphaComponent(alpha);
    auto color = make(m_spaceName, m_components);
    color->m_components.back() = alpha;
    color->m_pattern = m_pattern;
    return color;
}

Ref<NSColor> NSColor::blendedColorWithFraction(CGFloat fraction, const Ref<NSColor>& other) const
{
    auto a = colorUsingColorSpaceName(NSCalibratedRGBColorSpace);
    auto b = other ? other->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
    if (!a || !b) return nullptr;
    fraction = std::clamp(fraction, 0.0, 1.0);
    std::vector<CGFloat> mixed(4);
    for (size_t i = 0; i < 4; ++i) mixed[i] = a->m_components[i] * (1 - fraction) + b->m_components[i] * fraction;
    return make(NSCalibratedRGBColorSpace, std::move(mixed));
}

Ref<NSColor> NSColor::highlightWithLevel(CGFloat level) const { return blendedColorWithFraction(level, whiteColor()); }
Ref<NSColor> NSColor::shadowWithLevel(CGFloat level) const { return blendedColorWithFraction(level, blackColor()); }

CGRGBA NSColor::rgba() const
{
    if (m_namedValue) return m_namedValue->rgba();
    if (isGray()) return {m_components[0], m_components[0], m_components[0], m_components[1]};
    if (isRGB()) return {m_components[0], m_components[1], m_components[2], m_components[3]};
    return {0, 0, 0, alphaComponent()};
}

CGPaint NSColor::paint() const
{
    CGPaint p{rgba(), nullptr};
    if (m_pattern) p.pattern = m_pattern->CGImageForDrawing();
    return p;
}

void NSColor::set() const
{
    auto context = NSGraphicsContext::currentContext();
    if (!context) return;
    CGPaint p = paint();
    context->graphicsPort()->setFillPaint(p);
    context->graphicsPort()->setStrokePaint(p);
}

void NSColor::setFill() const
{
    if (auto context = NSGraphicsContext::currentContext()) context->graphicsPort()->setFillPaint(paint());
}

void NSColor::setStroke() const
{
    if (auto context = NSGraphicsContext::currentContext()) context->graphicsPort()->setStrokePaint(paint());
}

Ref<::CGColor> NSColor::CGColor() const
{
    CGRGBA c = rgba();
    return ::CGColor::createGenericRGB(c.r, c.g, c.b, c.a);
}

bool NSColor::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSColor*>(other);
    if (!o) return false;
    if (o == this) return true;
    if (!sameName(o->m_spaceName, m_spaceName) || o->m_components != m_components) return false;
    if (m_namedValue) return sameName(o->m_catalog, m_catalog) && sameName(o->m_name, m_name);
    return o->m_pattern == m_pattern;
}

NSUInteger NSColor::hash() const
{
    NSUInteger h = m_spaceName ? m_spaceName->hash() : 0;
    for (CGFloat c : m_components) h = h * 31 + std::hash<CGFloat>()(c);
    if (m_name) h ^= m_name->hash();
    return h;
}

Ref<NSString> NSColor::description() const
{
    if (m_namedValue) return NSString::stringWithFormat("NSNamedColorSpace %@ %@", m_catalog, m_name);
    std::string text = m_spaceName->UTF8String();
    char buffer[32];
    for (CGFloat c : m_components) {
        std::snprintf(buffer, sizeof buffer, " %g", c);
        text += buffer;
    }
    return NSString::stringWithUTF8String(text);
}

// --- Archiving ---

namespace {

// Components a space needs, alpha included; 0 for a space that is not
// archived by its components.
size_t componentCountOfSpace(const Ref<NSString>& space)
{
    if (sameName(space, NSCalibratedRGBColorSpace) || sameName(space, NSDeviceRGBColorSpace)) return 4;
    if (sameName(space, NSCalibratedWhiteColorSpace) || sameName(space, NSDeviceWhiteColorSpace)) return 2;
    return 0;
}

[[noreturn]] void badColorArchive(const std::string& what)
{
    NSException::raise(NSInconsistentArchiveException, "NSColor: " + what);
}

Ref<NSString> decodedName(const Id& object, const char* what)
{
    auto name = dynamic_ref_cast<NSString>(object);
    if (!name) badColorArchive(std::string("no ") + what);
    return name;
}

const Ref<NSString> kSpaceKey = "NSColorSpaceName"_ns;
const Ref<NSString> kCatalogKey = "NSCatalogName"_ns;
const Ref<NSString> kNameKey = "NSColorName"_ns;
const Ref<NSString> kCountKey = "NSComponentCount"_ns;

Ref<NSString> componentKey(size_t index)
{
    return NSString::stringWithUTF8String("NSComponent" + std::to_string(index));
}

}

void NSColor::encodeWithCoder(NSCoder* coder) const
{
    if (m_pattern) NSException::raise(NSInvalidArgumentException, "NSColor: a pattern colour cannot be archived");
    const bool keyed = coder->allowsKeyedCoding();
    if (keyed) coder->encodeString(m_spaceName, kSpaceKey);
    else coder->encodeObject(m_spaceName);
    if (m_namedValue) {
        if (keyed) {
            coder->encodeString(m_catalog, kCatalogKey);
            coder->encodeString(m_name, kNameKey);
        } else {
            coder->encodeObject(m_catalog);
            coder->encodeObject(m_name);
        }
        return;
    }
    const auto count = static_cast<int32_t>(m_components.size());
    if (keyed) coder->encodeInt32(count, kCountKey);
    else coder->encodeInt(count);
    for (size_t i = 0; i < m_components.size(); ++i) {
        if (keyed) coder->encodeDouble(m_components[i], componentKey(i));
        else coder->encodeDouble(m_components[i]);
    }
}

Id NSColor::initWithCoder(NSCoder* coder)
{
    const bool keyed = coder->allowsKeyedCoding();
    auto space = decodedName(keyed ? coder->decodeStringForKey(kSpaceKey) : coder->decodeObject(), "colour space");
    if (sameName(space, NSNamedColorSpace)) {
        auto catalog = decodedName(keyed ? coder->decodeStringForKey(kCatalogKey) : coder->decodeObject(), "catalog");
        auto name = decodedName(keyed ? coder->decodeStringForKey(kNameKey) : coder->decodeObject(), "colour name");
        auto color = colorWithCatalogName(catalog, name);
        if (!color) badColorArchive("unknown colour " + catalog->UTF8String() + " " + name->UTF8String());
        return color;
    }
    const size_t expected = componentCountOfSpace(space);
    if (expected == 0) badColorArchive("colour space " + space->UTF8String() + " cannot be decoded");
    const int32_t count = keyed ? coder->decodeInt32ForKey(kCountKey) : coder->decodeInt();
    if (count < 0 || static_cast<size_t>(count) != expected)
        badColorArchive(std::to_string(count) + " components for " + space->UTF8String() + ", which has " +
                        std::to_string(expected));
    std::vector<CGFloat> components(expected);
    for (size_t i = 0; i < expected; ++i)
        components[i] = keyed ? coder->decodeDoubleForKey(componentKey(i)) : coder->decodeDouble();
    return make(space, std::move(components));
}

namespace NSColorExt {

Ref<NSColor> decodedColor(const Id& value)
{
    if (auto colour = dynamic_ref_cast<NSColor>(value)) return colour;
    auto s = dynamic_ref_cast<NSString>(value);
    if (!s) return nullptr;
    double r = 0, g = 0, b = 0, a = 1;
    if (sscanf(s->UTF8String().c_str(), "%lf %lf %lf %lf", &r, &g, &b, &a) < 3) return nullptr;
    return NSColor::colorWithCalibratedRed(r, g, b, a);
}

}
