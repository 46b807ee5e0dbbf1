#pragma once
// Font faces: fontconfig finds them through the layer's private configuration
// (only the fonts the project installs, with a fixed alias table), FreeType
// reads their unhinted metrics and outlines, HarfBuzz shapes text.
#include <string>
#include <vector>

#include "CoreGraphics/CGPathElements.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

typedef struct _cairo_font_face cairo_font_face_t;

struct CGShapedGlyph {
    uint32_t glyph = 0;
    CGFloat advance = 0;  // in points, at the size shaped
};

class CGFont : public NSObject {
    NS_OBJECT(CGFont, NSObject)
protected:
    CGFont() = default;

public:
    ~CGFont() override;

    // A face by family name, PostScript name or full name, through the alias
    // table; nil when no installed face carries the name.
    static Ref<CGFont> fontWithName(const Ref<NSString>& name);
    // The face of a family with the given weight (fontconfig's scale: 80
    // regular, 200 bold) and slant (0 roman, 100 italic); nil when the family
    // is not installed.
    static Ref<CGFont> fontWithFamily(const Ref<NSString>& family, int weight, int slant);
    // Family names of the private configuration, sorted.
    static std::vector<std::string> availableFamilies();
    // The faces of one family.
    static std::vector<Ref<CGFont>> facesOfFamily(const Ref<NSString>& family);
    // The private fontconfig configuration, as loaded.
    static const char* configurationText();

    Ref<NSString> postScriptName() const { return m_postScriptName; }
    Ref<NSString> familyName() const { return m_familyName; }
    Ref<NSString> styleName() const { return m_styleName; }
    Ref<NSString> fullName() const { return m_fullName; }
    const std::string& filePath() const { return m_file; }
    int weight() const { return m_weight; }  // fontconfig scale
    int slant() const { return m_slant; }
    bool isFixedPitch() const { return m_fixedPitch; }

    // Font units.
    int unitsPerEm() const { return m_unitsPerEm; }
    int ascender() const { return m_ascender; }
    int descender() const { return m_descender; }  // negative below the baseline
    int lineGap() const { return m_lineGap; }
    int xHeight() const { return m_xHeight; }
    int capHeight() const { return m_capHeight; }
    int underlinePosition() const { return m_underlinePosition; }
    int underlineThickness() const { return m_underlineThickness; }
    CGRect boundingBox() const { return m_bbox; }  // y up
    CGFloat italicAngle() const { return m_italicAngle; }

    // Per glyph, in font units (unhinted).
    uint32_t glyphForCharacter(uint32_t codePoint) const;
    CGFloat advanceForGlyph(uint32_t glyph) const;
    CGRect boundsForGlyph(uint32_t glyph) const;
    // The outline, y up, scaled to the size, starting at the origin given.
    void appendGlyphOutline(uint32_t glyph, CGFloat size, CGPoint origin, CGPathElements& path) const;

    // One glyph per UTF-16 unit (ligatures off; the second unit of a
    // surrogate pair gets glyph 0 and no advance).
    std::vector<CGShapedGlyph> shape(const std::u16string& text, CGFloat size) const;

    cairo_font_face_t* cairoFace() const;
    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override;

    // Frees the FreeType, HarfBuzz and Cairo objects (at cache release).
    void releaseNative();

private:
    static Ref<CGFont> load(const std::string& file, int index);
    struct Native;
    Native* m_native = nullptr;
    std::string m_file;
    int m_index = 0;
    Ref<NSString> m_postScriptName, m_familyName, m_styleName, m_fullName;
    int m_weight = 80, m_slant = 0;
    bool m_fixedPitch = false;
    int m_unitsPerEm = 2048, m_ascender = 0, m_descender = 0, m_lineGap = 0, m_xHeight = 0, m_capHeight = 0;
    int m_underlinePosition = 0, m_underlineThickness = 0;
    CGRect m_bbox;
    CGFloat m_italicAngle = 0;
};
