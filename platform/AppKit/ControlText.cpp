#include "AppKit/ControlText.h"

#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "CoreGraphics/CGFont.h"

namespace ControlText {

namespace {

// Looked up each time (the font registry keeps loaded faces), so no face
// outlives the drawing layer's caches at exit.
Ref<CGFont> face(bool bold)
{
    auto font = CGFont::fontWithFamily("DejaVu Sans"_ns, bold ? 200 : 80, 0);
    return font ? font : CGFont::fontWithFamily("DejaVu Sans"_ns, 80, 0);
}

}  // namespace

std::vector<CGFloat> caretOffsets(const std::u16string& text, Style style)
{
    std::vector<CGFloat> offsets{0};
    auto font = face(style.bold);
    if (!font) {
        for (size_t i = 0; i < text.size(); ++i) offsets.push_back(offsets.back() + style.size * 0.6);
        return offsets;
    }
    for (const auto& g : font->shape(text, style.size)) offsets.push_back(offsets.back() + g.advance);
    offsets.resize(text.size() + 1, offsets.back());
    return offsets;
}

CGFloat width(const std::u16string& text, Style style) { return caretOffsets(text, style).back(); }

CGFloat lineHeight(Style style)
{
    auto font = face(style.bold);
    if (!font) return style.size * 1.2;
    return (font->ascender() - font->descender()) * style.size / font->unitsPerEm();
}

CGFloat drawInRect(const std::u16string& text, const NSRect& rect, Style style, const Ref<NSColor>& colour,
                   NSUInteger alignment)
{
    auto context = NSGraphicsContext::currentContext();
    auto font = face(style.bold);
    const CGFloat w = width(text, style);
    CGFloat x = rect.origin.x;
    if (alignment == 1) x = NSMaxX(rect) - w;
    if (alignment == 2) x = rect.origin.x + (rect.size.width - w) / 2;
    if (!context || !font || text.empty()) return x;
    auto port = context->port();
    const CGFloat ascent = font->ascender() * style.size / font->unitsPerEm();
    const CGFloat descent = -font->descender() * style.size / font->unitsPerEm();
    const CGFloat pad = (rect.size.height - ascent - descent) / 2;
    const CGFloat baseline = port->userSpaceIsYUp() ? rect.origin.y + pad + descent : rect.origin.y + pad + ascent;
    std::vector<uint32_t> glyphs;
    std::vector<CGPoint> positions;
    CGFloat pen = x;
    for (const auto& g : font->shape(text, style.size)) {
        glyphs.push_back(g.glyph);
        positions.push_back({pen, baseline});
        pen += g.advance;
    }
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(rect);
    (colour ? colour : NSColor::controlTextColor())->setFill();
    port->showGlyphs(font, style.size, glyphs, positions, text);
    NSGraphicsContext::restoreGraphicsState();
    return x;
}

}
