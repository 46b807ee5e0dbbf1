#pragma once
// Colours: a colour-space name and components stored exactly as given
// (rendering clamps them). Named system colours carry their name and the
// value of the layer's fixed table (NSColor.cpp).
#include <vector>

#include "AppKit/NSColorSpace.h"
#include "CoreGraphics/CGContext.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class NSImage;

// Archived as its colour-space name and components (doubles, bit for bit);
// a named colour as its catalog and name. Pattern colours cannot be archived.
class NSColor : public NSObject, public NSCoding {
    NS_OBJECT(NSColor, NSObject)
protected:
    NSColor() = default;

public:
    static Ref<NSColor> colorWithCalibratedRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a);
    static Ref<NSColor> colorWithDeviceRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a);
    static Ref<NSColor> colorWithSRGBRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
    {
        return colorWithCalibratedRed(r, g, b, a);
    }
    static Ref<NSColor> colorWithRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
    {
        return colorWithCalibratedRed(r, g, b, a);
    }
    static Ref<NSColor> colorWithCalibratedWhite(CGFloat white, CGFloat a);
    static Ref<NSColor> colorWithDeviceWhite(CGFloat white, CGFloat a);
    static Ref<NSColor> colorWithWhite(CGFloat white, CGFloat a) { return colorWithCalibratedWhite(white, a); }
    // Stored as RGB in the calibrated (or device) space.
    static Ref<NSColor> colorWithCalibratedHue(CGFloat h, CGFloat s, CGFloat b, CGFloat a);
    static Ref<NSColor> colorWithDeviceHue(CGFloat h, CGFloat s, CGFloat b, CGFloat a);
    static Ref<NSColor> colorWithPatternImage(const Ref<NSImage>& image);
    static Ref<NSColor> colorWithColorSpace(const Ref<NSColorSpace>& space, const CGFloat* components, NSInteger count);
    static Ref<NSColor> colorWithCGColor(const Ref<::CGColor>& color);

    static Ref<NSColor> blackColor();
    static Ref<NSColor> whiteColor();
    static Ref<NSColor> grayColor();
    static Ref<NSColor> lightGrayColor();
    static Ref<NSColor> darkGrayColor();
    static Ref<NSColor> clearColor();
    static Ref<NSColor> redColor();
    static Ref<NSColor> greenColor();
    static Ref<NSColor> blueColor();
    static Ref<NSColor> cyanColor();
    static Ref<NSColor> yellowColor();
    static Ref<NSColor> magentaColor();
    static Ref<NSColor> orangeColor();
    static Ref<NSColor> purpleColor();
    static Ref<NSColor> brownColor();

    // System colours (catalog "System"; values in NSColor.cpp's table).
    static Ref<NSColor> controlColor();
    static Ref<NSColor> controlBackgroundColor();
    static Ref<NSColor> controlTextColor();
    static Ref<NSColor> disabledControlTextColor();
    static Ref<NSColor> controlShadowColor();
    static Ref<NSColor> controlDarkShadowColor();
    static Ref<NSColor> controlHighlightColor();
    static Ref<NSColor> controlLightHighlightColor();
    static Ref<NSColor> gridColor();
    static Ref<NSColor> textColor();
    static Ref<NSColor> textBackgroundColor();
    static Ref<NSColor> selectedTextColor();
    static Ref<NSColor> selectedTextBackgroundColor();
    static Ref<NSColor> selectedControlColor();
    static Ref<NSColor> selectedControlTextColor();
    static Ref<NSColor> secondarySelectedControlColor();
    static Ref<NSColor> alternateSelectedControlColor();
    static Ref<NSColor> alternateSelectedControlTextColor();
    static Ref<NSColor> keyboardFocusIndicatorColor();
    static Ref<NSColor> windowBackgroundColor();
    static Ref<NSColor> windowFrameColor();
    static Ref<NSColor> headerColor();
    static Ref<NSColor> headerTextColor();
    static Ref<NSColor> highlightColor();
    static Ref<NSColor> shadowColor();
    static Ref<NSColor> selectedMenuItemColor();
    static Ref<NSColor> scrollBarColor();
    static Ref<NSColor> knobColor();
    static Ref<NSColor> labelColor();
    static Ref<NSColor> secondaryLabelColor();
    // A system colour by name ("controlShadowColor"); nil for another name.
    static Ref<NSColor> colorWithCatalogName(const Ref<NSString>& catalog, const Ref<NSString>& name);

    const Ref<NSString>& colorSpaceName() const { return m_spaceName; }
    Ref<NSColorSpace> colorSpace() const;
    NSInteger numberOfComponents() const { return static_cast<NSInteger>(m_components.size()); }
    void getComponents(CGFloat* components) const;
    // nil when the colour cannot be expressed in the space (a pattern).
    Ref<NSColor> colorUsingColorSpaceName(const Ref<NSString>& name) const;
    Ref<NSColor> colorUsingColorSpace(const Ref<NSColorSpace>& space) const;

    // RGB colours only; others raise NSInvalidArgumentException.
    void getRed(CGFloat* r, CGFloat* g, CGFloat* b, CGFloat* a) const;
    CGFloat redComponent() const;
    CGFloat greenComponent() const;
    CGFloat blueComponent() const;
    void getHue(CGFloat* h, CGFloat* s, CGFloat* b, CGFloat* a) const;
    CGFloat hueComponent() const;
    CGFloat saturationComponent() const;
    CGFloat brightnessComponent() const;
    // Grey colours only; others raise NSInvalidArgumentException.
    CGFloat whiteComponent() const;
    void getWhite(CGFloat* white, CGFloat* a) const;
    CGFloat alphaComponent() const;
    Ref<NSString> catalogNameComponent() const { return m_catalog; }
    Ref<NSString> colorNameComponent() const { return m_name; }
    const Ref<NSImage>& patternImage() const { return m_pattern; }

    Ref<NSColor> colorWithAlphaComponent(CGFloat alpha) const;
    // Mixes in RGB: self * (1 - fraction) + other * fraction, alpha included;
    // nil when either has no RGB form.
    Ref<NSColor> blendedColorWithFraction(CGFloat fraction, const Ref<NSColor>& other) const;
    Ref<NSColor> highlightWithLevel(CGFloat level) const;
    Ref<NSColor> shadowWithLevel(CGFloat level) const;

    // Into the current graphics context: set sets fill and stroke.
    void set() const;
    void setFill() const;
    void setStroke() const;
    // The colour as the context draws it.
    CGPaint paint() const;
    CGRGBA rgba() const;
    Ref<::CGColor> CGColor() const;

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Id copy() const override { return const_cast<NSColor*>(this); }
    Ref<NSString> description() const override;

    void encodeWithCoder(NSCoder* coder) const override;
    // Answers a new colour; data naming an unknown space or catalog colour,
    // or the wrong number of components, raises NSInconsistentArchiveException.
    Id initWithCoder(NSCoder* coder) override;

private:
    static Ref<NSColor> make(const Ref<NSString>& space, std::vector<CGFloat> components);
    static Ref<NSColor> systemColor(const char* name);
    bool isRGB() const { return m_kind == Kind::RGB; }
    bool isGray() const { return m_kind == Kind::Gray; }
    // The space's kind, worked out once from its name.
    enum class Kind : uint8_t { RGB, Gray, Other };
    Kind m_kind = Kind::Other;
    Ref<NSString> m_spaceName;
    std::vector<CGFloat> m_components;  // the space's components, then alpha
    Ref<NSString> m_catalog, m_name;    // named colours
    Ref<NSColor> m_namedValue;          // what a named colour stands for
    Ref<NSImage> m_pattern;
};

namespace NSColorExt {
// A colour read from an archive: an NSColor object, or the "r g b a" string
// (calibrated RGB) that older archives hold; nil for anything else.
Ref<NSColor> decodedColor(const Id& value);
}
