#pragma once
// Fonts: a face of the layer's private font configuration at a point size.
// Metrics are unhinted (screen fonts are off) and scale linearly with the
// size. Platform names resolve through a fixed alias table: the system font,
// "Lucida Grande" and "Helvetica Neue" to DejaVu Sans, "Helvetica" and
// "Arial" to Liberation Sans, "Times" to Liberation Serif, "Courier",
// "Menlo" and "Monaco" to Liberation Mono.
#include "CoreGraphics/CGFont.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

using NSGlyph = uint32_t;

enum NSControlSize : NSUInteger { NSControlSizeRegular = 0, NSControlSizeSmall = 1, NSControlSizeMini = 2 };
inline constexpr NSControlSize NSRegularControlSize = NSControlSizeRegular;
inline constexpr NSControlSize NSSmallControlSize = NSControlSizeSmall;
inline constexpr NSControlSize NSMiniControlSize = NSControlSizeMini;

class NSFont : public NSObject, public NSCoding {
    NS_OBJECT(NSFont, NSObject)
protected:
    NSFont() = default;

public:
    // nil when the name is neither in the alias table nor installed. A size
    // of 0 or less gives 12.
    static Ref<NSFont> fontWithName(const Ref<NSString>& name, CGFloat size);
    // A size of 0 or less gives the system font size.
    static Ref<NSFont> systemFontOfSize(CGFloat size);
    static Ref<NSFont> boldSystemFontOfSize(CGFloat size);
    static Ref<NSFont> labelFontOfSize(CGFloat size);
    static Ref<NSFont> controlContentFontOfSize(CGFloat size) { return systemFontOfSize(size); }
    static Ref<NSFont> messageFontOfSize(CGFloat size) { return systemFontOfSize(size); }
    static Ref<NSFont> menuFontOfSize(CGFloat size) { return systemFontOfSize(size); }
    static Ref<NSFont> titleBarFontOfSize(CGFloat size) { return boldSystemFontOfSize(size); }
    static Ref<NSFont> toolTipsFontOfSize(CGFloat size)
    {
        return systemFontOfSize(size > 0 ? size : smallSystemFontSize());
    }
    static Ref<NSFont> userFontOfSize(CGFloat size);
    static Ref<NSFont> userFixedPitchFontOfSize(CGFloat size);
    static CGFloat systemFontSize() { return 13; }
    static CGFloat smallSystemFontSize() { return 11; }
    static CGFloat labelFontSize() { return 10; }
    static CGFloat systemFontSizeForControlSize(NSControlSize size);
    // A face at a size (the font manager's conversions).
    static Ref<NSFont> fontWithCGFont(const Ref<CGFont>& face, CGFloat size);

    CGFloat pointSize() const { return m_size; }
    Ref<NSString> fontName() const { return m_face->postScriptName(); }
    Ref<NSString> familyName() const { return m_face->familyName(); }
    Ref<NSString> displayName() const { return m_face->fullName(); }
    const Ref<CGFont>& cgFont() const { return m_face; }

    CGFloat ascender() const { return scaled(m_face->ascender()); }
    CGFloat descender() const { return scaled(m_face->descender()); }
    CGFloat leading() const { return scaled(m_face->lineGap()); }
    CGFloat xHeight() const { return scaled(m_face->xHeight()); }
    CGFloat capHeight() const { return scaled(m_face->capHeight()); }
    CGFloat underlinePosition() const { return scaled(m_face->underlinePosition()); }
    CGFloat underlineThickness() const { return scaled(m_face->underlineThickness()); }
    CGFloat italicAngle() const { return m_face->italicAngle(); }
    bool isFixedPitch() const { return m_face->isFixedPitch(); }
    // The union of all glyph bounds, y up from the baseline.
    NSRect boundingRectForFont() const;
    NSRect boundingRectForGlyph(NSGlyph glyph) const;
    NSSize advancementForGlyph(NSGlyph glyph) const;
    NSGlyph glyphForCharacter(uint32_t codePoint) const { return m_face->glyphForCharacter(codePoint); }
    // Ascender - descender + leading.
    CGFloat defaultLineHeight() const { return ascender() - descender() + leading(); }
    // NSMacOSRomanStringEncoding, as the platform answers for most fonts.
    NSUInteger mostCompatibleStringEncoding() const { return 30; }
    Ref<NSFont> screenFont() const { return const_cast<NSFont*>(this); }
    Ref<NSFont> printerFont() const { return const_cast<NSFont*>(this); }

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;
    Id copy() const override { return const_cast<NSFont*>(this); }
    // Keys: NSName (the face's PostScript name) and NSSize; the sequential
    // form writes the same two in that order. A face that is not installed
    // reads back as the system face.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;
    Ref<NSString> description() const override;

private:
    CGFloat scaled(CGFloat units) const { return units * m_size / m_face->unitsPerEm(); }
    Ref<CGFont> m_face;
    CGFloat m_size = 12;
};
