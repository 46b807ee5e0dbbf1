#include "AppKit/NSFont.h"

#include <cmath>

#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSFont)

Ref<NSFont> NSFont::fontWithCGFont(const Ref<CGFont>& face, CGFloat size)
{
    if (!face) return nullptr;
    auto font = alloc<NSFont>();
    font->m_face = face;
    font->m_size = size > 0 ? size : 12;
    return font;
}

Ref<NSFont> NSFont::fontWithName(const Ref<NSString>& name, CGFloat size)
{
    return fontWithCGFont(CGFont::fontWithName(name), size);
}

Ref<NSFont> NSFont::systemFontOfSize(CGFloat size)
{
    return fontWithCGFont(CGFont::fontWithName(".AppleSystemUIFont"_ns), size > 0 ? size : systemFontSize());
}

Ref<NSFont> NSFont::boldSystemFontOfSize(CGFloat size)
{
    return fontWithCGFont(CGFont::fontWithName(".AppleSystemUIFontBold"_ns), size > 0 ? size : systemFontSize());
}

Ref<NSFont> NSFont::labelFontOfSize(CGFloat size) { return systemFontOfSize(size > 0 ? size : labelFontSize()); }

Ref<NSFont> NSFont::userFontOfSize(CGFloat size) { return fontWithName("Helvetica"_ns, size > 0 ? size : 12); }

Ref<NSFont> NSFont::userFixedPitchFontOfSize(CGFloat size) { return fontWithName("Menlo"_ns, size > 0 ? size : 12); }

CGFloat NSFont::systemFontSizeForControlSize(NSControlSize size)
{
    switch (size) {
    case NSControlSizeSmall: return 11;
    case NSControlSizeMini: return 9;
    default: return 13;
    }
}

NSRect NSFont::boundingRectForFont() const
{
    CGRect b = m_face->boundingBox();
    return NSMakeRect(scaled(b.origin.x), scaled(b.origin.y), scaled(b.size.width), scaled(b.size.height));
}

NSRect NSFont::boundingRectForGlyph(NSGlyph glyph) const
{
    CGRect b = m_face->boundsForGlyph(glyph);
    return NSMakeRect(scaled(b.origin.x), scaled(b.origin.y), scaled(b.size.width), scaled(b.size.height));
}

NSSize NSFont::advancementForGlyph(NSGlyph glyph) const
{
    return NSMakeSize(scaled(m_face->advanceForGlyph(glyph)), 0);
}

bool NSFont::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const NSFont*>(other);
    return o && o->m_size == m_size && o->m_face->isEqual(m_face.get());
}

NSUInteger NSFont::hash() const { return m_face->hash() ^ std::hash<CGFloat>()(m_size); }

Ref<NSString> NSFont::description() const { return NSString::stringWithFormat("%@ %g pt.", fontName(), m_size); }

void NSFont::encodeWithCoder(NSCoder* coder) const
{
    if (!coder->allowsKeyedCoding()) {
        coder->encodeObject(fontName());
        coder->encodeDouble(m_size);
        return;
    }
    coder->encodeObject(fontName(), "NSName"_ns);
    coder->encodeDouble(m_size, "NSSize"_ns);
}

Id NSFont::initWithCoder(NSCoder* coder)
{
    Ref<NSString> name;
    double size = 0;
    if (!coder->allowsKeyedCoding()) {
        name = dynamic_ref_cast<NSString>(coder->decodeObject());
        size = coder->decodeDouble();
    } else {
        name = dynamic_ref_cast<NSString>(coder->decodeObjectForKey("NSName"_ns));
        size = coder->decodeDoubleForKey("NSSize"_ns);
    }
    m_face = name ? CGFont::fontWithName(name) : nullptr;
    if (!m_face) m_face = CGFont::fontWithName(".AppleSystemUIFont"_ns);
    m_size = std::isfinite(size) && size > 0 ? size : systemFontSize();
    return this;
}
