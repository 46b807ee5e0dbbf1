#include "AppKit/NSLayoutManager.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSTextAttachment.h"
#include "AppKit/NSTextView.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSLayoutManager)

namespace {

bool isLineEnd(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2029 || c == 0x2028; }

Ref<NSFont> defaultFont()
{
    static const Ref<NSFont> font = NSFont::fontWithName("Helvetica"_ns, 12);
    return font;
}

Ref<NSFont> fontIn(const Ref<NSDictionary>& attributes)
{
    auto font = attributes ? dynamic_ref_cast<NSFont>(attributes->objectForKey(NSFontAttributeName)) : nullptr;
    return font ? font : defaultFont();
}

NSInteger integerIn(const Ref<NSDictionary>& attributes, const Ref<NSString>& key)
{
    auto n = attributes ? dynamic_ref_cast<NSNumber>(attributes->objectForKey(key)) : nullptr;
    return n ? n->integerValue() : 0;
}

CGContext* currentPort()
{
    auto context = NSGraphicsContext::currentContext();
    return context ? context->graphicsPort() : nullptr;
}

void fillRect(const NSRect& rect, const Ref<NSColor>& color)
{
    CGContext* port = currentPort();
    if (!port || NSIsEmptyRect(rect)) return;
    port->saveGState();
    port->setFillColor(color->rgba());
    port->fillRect(rect);
    port->restoreGState();
}

// One decoration line: filled when solid, stroked with dashes by the style's
// pattern bits otherwise.
void drawDecoration(const NSRect& rect, NSInteger style, const Ref<NSColor>& color)
{
    NSInteger pattern = style & 0xff00;
    if (pattern == NSUnderlinePatternSolid) return fillRect(rect, color);
    CGContext* port = currentPort();
    if (!port || NSIsEmptyRect(rect)) return;
    CGFloat t = rect.size.height;
    CGStrokeStyle stroke;
    stroke.lineWidth = t;
    if (pattern == NSUnderlinePatternDot) stroke.dash = {t, t};
    else if (pattern == NSUnderlinePatternDash) stroke.dash = {3 * t, t};
    else if (pattern == NSUnderlinePatternDashDot) stroke.dash = {3 * t, t, t, t};
    else stroke.dash = {3 * t, t, t, t, t, t};
    CGPathElements line;
    line.moveTo({NSMinX(rect), NSMidY(rect)});
    line.lineTo({NSMaxX(rect), NSMidY(rect)});
    port->saveGState();
    port->setStrokeColor(color->rgba());
    port->strokePath(line, stroke);
    port->restoreGState();
}

}

Id NSLayoutManager::init()
{
    m_typesetter = NSTypesetter::sharedSystemTypesetter();
    return Ref<NSLayoutManager>(this);
}

// --- Storage and containers ---

void NSLayoutManager::setTextStorage(const Ref<NSTextStorage>& storage)
{
    m_storage = storage;
    invalidateAll();
}

void NSLayoutManager::replaceTextStorage(const Ref<NSTextStorage>& storage)
{
    Ref<NSLayoutManager> self(this);
    auto old = textStorage();
    if (!old) {
        if (storage) storage->addLayoutManager(self);
        return;
    }
    auto managers = old->layoutManagers();
    for (const auto& manager : managers) {
        old->removeLayoutManager(manager);
        if (storage) storage->addLayoutManager(manager);
    }
}

void NSLayoutManager::addTextContainer(const Ref<NSTextContainer>& container)
{
    insertTextContainer(container, m_containers.size());
}

void NSLayoutManager::insertTextContainer(const Ref<NSTextContainer>& container, NSUInteger index)
{
    if (!container) return;
    m_containers.insert(m_containers.begin() +
                            static_cast<std::ptrdiff_t>(std::min<NSUInteger>(index, m_containers.size())),
                        container);
    container->setLayoutManager(Ref<NSLayoutManager>(this));
    invalidateAll();
}

void NSLayoutManager::removeTextContainerAtIndex(NSUInteger index)
{
    if (index >= m_containers.size()) return;
    m_containers[index]->setLayoutManager(nullptr);
    m_containers.erase(m_containers.begin() + static_cast<std::ptrdiff_t>(index));
    invalidateAll();
}

Ref<NSTextView> NSLayoutManager::firstTextView() const
{
    for (const auto& c : m_containers)
        if (auto view = c->textView()) return view;
    return nullptr;
}

void NSLayoutManager::setTypesetter(const Ref<NSTypesetter>& typesetter)
{
    m_typesetter = typesetter ? typesetter : NSTypesetter::sharedSystemTypesetter();
    invalidateAll();
}

CGFloat NSLayoutManager::defaultLineHeightForFont(const Ref<NSFont>& font) const
{
    return (font ? font : defaultFont())->defaultLineHeight();
}

// --- Invalidation ---

void NSLayoutManager::textStorageEdited(const Ref<NSTextStorage>&, NSUInteger, NSRange, NSInteger, NSRange)
{
    invalidateAll();
    // Views grow and shrink with their text, however the storage was edited.
    for (const auto& c : std::vector<Ref<NSTextContainer>>(m_containers))
        if (auto view = c->textView()) view->sizeToFit();
}

void NSLayoutManager::textContainerChangedGeometry(const Ref<NSTextContainer>&)
{
    m_layoutValid = false;
    invalidateDisplayForCharacterRange(NSMakeRange(0, m_glyphs.size()));
}

void NSLayoutManager::invalidateGlyphsForCharacterRange(NSRange range, NSInteger, NSRange* actualRange)
{
    if (actualRange) *actualRange = range;
    invalidateAll();
}

void NSLayoutManager::invalidateLayoutForCharacterRange(NSRange range, NSRange* actualRange)
{
    // Layout is redone as a whole: later lines may move with any change.
    if (actualRange)
        *actualRange =
            NSMakeRange(range.location, m_glyphs.size() - std::min<NSUInteger>(range.location, m_glyphs.size()));
    m_layoutValid = false;
    invalidateDisplayForCharacterRange(range);
}

void NSLayoutManager::invalidateDisplayForCharacterRange(NSRange)
{
    for (const auto& c : m_containers)
        if (auto view = c->textView()) view->setNeedsDisplay(true);
}

void NSLayoutManager::invalidateAll()
{
    m_glyphsValid = false;
    m_layoutValid = false;
    invalidateDisplayForCharacterRange(NSMakeRange(0, 0));
}

void NSLayoutManager::ensureGlyphs()
{
    if (m_glyphsValid) return;
    m_glyphsValid = true;
    m_layoutValid = false;
    auto storage = textStorage();
    const std::u16string empty;
    const std::u16string& text = storage ? storage->utf16() : empty;
    m_glyphs.assign(text.size(), Glyph{});
    m_fonts.assign(text.size(), nullptr);
    if (!storage) return;
    NSUInteger start = 0;
    for (const auto& run : storage->runs()) {
        Ref<NSFont> font = fontIn(run.attributes);
        CGFloat kern = 0;
        if (auto n = dynamic_ref_cast<NSNumber>(run.attributes->objectForKey(NSKernAttributeName)))
            kern = n->doubleValue();
        auto attachment = dynamic_ref_cast<NSTextAttachment>(run.attributes->objectForKey(NSAttachmentAttributeName));
        auto shaped = font->cgFont()->shape(text.substr(start, run.length), font->pointSize());
        for (NSUInteger k = 0; k < run.length; ++k) {
            NSUInteger i = start + k;
            Glyph& g = m_glyphs[i];
            m_fonts[i] = font;
            char16_t c = text[i];
            if (isLineEnd(c) || c == u'\t') {
                g.glyph = NSControlGlyph;
            } else if (c == NSAttachmentCharacter && attachment && attachment->attachmentCell()) {
                g.glyph = NSNullGlyph;
                g.advance = attachment->attachmentCell()->cellSize().width;
            } else {
                g.glyph = shaped[k].glyph;
                g.advance = shaped[k].advance + (g.glyph != NSNullGlyph || shaped[k].advance > 0 ? kern : 0);
            }
        }
        start += run.length;
    }
}

void NSLayoutManager::ensureLayout()
{
    ensureGlyphs();
    if (m_layoutValid || m_layingOut) return;
    m_layingOut = true;
    m_fragments.clear();
    m_containerGlyphs.assign(m_containers.size(), NSMakeRange(NSNotFound, 0));
    m_extraRect = m_extraUsed = NSZeroRect;
    m_extraContainer = -1;
    for (Glyph& g : m_glyphs) g.fragment = -1, g.location = NSZeroPoint;
    Ref<NSTypesetter> typesetter = m_typesetter ? m_typesetter : NSTypesetter::sharedSystemTypesetter();
    try {
        typesetter->layoutGlyphsInLayoutManager(this);
    } catch (...) {
        m_layingOut = false;
        throw;
    }
    m_layingOut = false;
    m_layoutValid = true;
}

int NSLayoutManager::containerIndex(const Ref<NSTextContainer>& container) const
{
    for (size_t i = 0; i < m_containers.size(); ++i)
        if (m_containers[i] == container) return static_cast<int>(i);
    return -1;
}

// --- Glyphs ---

NSUInteger NSLayoutManager::numberOfGlyphs()
{
    ensureGlyphs();
    return m_glyphs.size();
}

bool NSLayoutManager::isValidGlyphIndex(NSUInteger index) { return index < numberOfGlyphs(); }

NSGlyph NSLayoutManager::glyphAtIndex(NSUInteger index)
{
    if (!isValidGlyphIndex(index)) NSException::raise(NSRangeException, "glyphAtIndex: index out of bounds");
    return m_glyphs[index].glyph;
}

NSGlyph NSLayoutManager::glyphAtIndex(NSUInteger index, bool* isValidIndex)
{
    bool valid = isValidGlyphIndex(index);
    if (isValidIndex) *isValidIndex = valid;
    return valid ? m_glyphs[index].glyph : NSNullGlyph;
}

NSRange NSLayoutManager::glyphRangeForCharacterRange(NSRange range, NSRange* actualCharacterRange)
{
    NSUInteger n = numberOfGlyphs();
    NSUInteger start = std::min(range.location, n), end = std::min(NSMaxRange(range), n);
    NSRange r = NSMakeRange(start, end - start);
    if (actualCharacterRange) *actualCharacterRange = r;
    return r;
}

NSRange NSLayoutManager::characterRangeForGlyphRange(NSRange range, NSRange* actualGlyphRange)
{
    return glyphRangeForCharacterRange(range, actualGlyphRange);
}

NSInteger NSLayoutManager::intAttribute(NSInteger attribute, NSUInteger glyphIndex)
{
    if (attribute != NSGlyphAttributeBidiLevel) return 0;
    ensureLayout();
    return glyphIndex < m_glyphs.size() ? m_glyphs[glyphIndex].bidiLevel : 0;
}

void NSLayoutManager::setIntAttribute(NSInteger attribute, NSInteger value, NSUInteger glyphIndex)
{
    if (attribute == NSGlyphAttributeBidiLevel && glyphIndex < m_glyphs.size())
        m_glyphs[glyphIndex].bidiLevel = static_cast<uint8_t>(value);
}

CGFloat NSLayoutManager::advanceForGlyphAtIndex(NSUInteger index)
{
    ensureGlyphs();
    return index < m_glyphs.size() ? m_glyphs[index].advance : 0;
}

Ref<NSFont> NSLayoutManager::fontForGlyphAtIndex(NSUInteger index)
{
    ensureGlyphs();
    return index < m_fonts.size() ? m_fonts[index] : fontIn(nullptr);
}

Ref<NSTextAttachmentCell> NSLayoutManager::attachmentCellForGlyphAtIndex(NSUInteger index)
{
    auto storage = textStorage();
    if (!storage || index >= storage->length() || storage->utf16()[index] != NSAttachmentCharacter) return nullptr;
    auto attachment =
        dynamic_ref_cast<NSTextAttachment>(storage->attributeAtIndex(NSAttachmentAttributeName, index, nullptr));
    return attachment ? attachment->attachmentCell() : nullptr;
}

// --- Set by the typesetter ---

void NSLayoutManager::setTextContainer(const Ref<NSTextContainer>& container, NSRange glyphRange)
{
    int c = containerIndex(container);
    if (c < 0) return;
    NSRange& r = m_containerGlyphs[static_cast<size_t>(c)];
    r = r.location == NSNotFound ? glyphRange : NSUnionRange(r, glyphRange);
    m_currentContainer = c;
}

void NSLayoutManager::setLineFragmentRect(const NSRect& rect, NSRange glyphRange, const NSRect& usedRect,
                                          CGFloat baselineOffset)
{
    m_fragments.push_back({rect, usedRect, glyphRange, baselineOffset, m_currentContainer});
    int f = static_cast<int>(m_fragments.size() - 1);
    for (NSUInteger i = glyphRange.location; i < NSMaxRange(glyphRange) && i < m_glyphs.size(); ++i)
        m_glyphs[i].fragment = f;
}

void NSLayoutManager::setLocation(NSPoint location, NSUInteger glyphIndex)
{
    if (glyphIndex < m_glyphs.size()) m_glyphs[glyphIndex].location = location;
}

void NSLayoutManager::setAdvance(CGFloat advance, NSUInteger glyphIndex)
{
    if (glyphIndex < m_glyphs.size()) m_glyphs[glyphIndex].advance = advance;
}

void NSLayoutManager::setExtraLineFragmentRect(const NSRect& rect, const NSRect& usedRect,
                                               const Ref<NSTextContainer>& container)
{
    m_extraRect = rect;
    m_extraUsed = usedRect;
    m_extraContainer = containerIndex(container);
}

// --- Layout results ---

const NSLayoutManager::Fragment* NSLayoutManager::fragmentOfGlyph(NSUInteger index)
{
    ensureLayout();
    if (index >= m_glyphs.size() || m_glyphs[index].fragment < 0) return nullptr;
    return &m_fragments[static_cast<size_t>(m_glyphs[index].fragment)];
}

NSRange NSLayoutManager::glyphRangeForTextContainer(const Ref<NSTextContainer>& container)
{
    ensureLayout();
    int c = containerIndex(container);
    if (c < 0 || m_containerGlyphs[static_cast<size_t>(c)].location == NSNotFound) return NSMakeRange(NSNotFound, 0);
    return m_containerGlyphs[static_cast<size_t>(c)];
}

Ref<NSTextContainer> NSLayoutManager::textContainerForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange)
{
    const Fragment* f = fragmentOfGlyph(index);
    if (!f) {
        if (effectiveGlyphRange) *effectiveGlyphRange = NSMakeRange(NSNotFound, 0);
        return nullptr;
    }
    if (effectiveGlyphRange) *effectiveGlyphRange = m_containerGlyphs[static_cast<size_t>(f->container)];
    return m_containers[static_cast<size_t>(f->container)];
}

NSRect NSLayoutManager::usedRectForTextContainer(const Ref<NSTextContainer>& container)
{
    ensureLayout();
    int c = containerIndex(container);
    NSRect used = NSZeroRect;
    bool any = false;
    auto add = [&](const NSRect& r) {
        used = any ? NSUnionRect(used, r) : r;
        any = true;
    };
    for (const Fragment& f : m_fragments)
        if (f.container == c) add(f.used);
    if (m_extraContainer == c && c >= 0) add(m_extraUsed);
    return used;
}

NSRect NSLayoutManager::lineFragmentRectForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange)
{
    const Fragment* f = fragmentOfGlyph(index);
    if (effectiveGlyphRange) *effectiveGlyphRange = f ? f->glyphs : NSMakeRange(NSNotFound, 0);
    return f ? f->rect : NSZeroRect;
}

NSRect NSLayoutManager::lineFragmentUsedRectForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange)
{
    const Fragment* f = fragmentOfGlyph(index);
    if (effectiveGlyphRange) *effectiveGlyphRange = f ? f->glyphs : NSMakeRange(NSNotFound, 0);
    return f ? f->used : NSZeroRect;
}

NSPoint NSLayoutManager::locationForGlyphAtIndex(NSUInteger index)
{
    return fragmentOfGlyph(index) ? m_glyphs[index].location : NSZeroPoint;
}

CGFloat NSLayoutManager::baselineOffsetForGlyphAtIndex(NSUInteger index)
{
    const Fragment* f = fragmentOfGlyph(index);
    return f ? f->baselineOffset : 0;
}

NSRect NSLayoutManager::extraLineFragmentRect()
{
    ensureLayout();
    return m_extraRect;
}

NSRect NSLayoutManager::extraLineFragmentUsedRect()
{
    ensureLayout();
    return m_extraUsed;
}

Ref<NSTextContainer> NSLayoutManager::extraLineFragmentTextContainer()
{
    ensureLayout();
    return m_extraContainer >= 0 ? m_containers[static_cast<size_t>(m_extraContainer)] : nullptr;
}

NSRange NSLayoutManager::glyphRangeForBoundingRect(const NSRect& bounds, const Ref<NSTextContainer>& container)
{
    ensureLayout();
    int c = containerIndex(container);
    NSRange r = NSMakeRange(NSNotFound, 0);
    for (const Fragment& f : m_fragments) {
        if (f.container != c || NSMaxY(f.rect) <= NSMinY(bounds) || NSMinY(f.rect) >= NSMaxY(bounds)) continue;
        r = r.location == NSNotFound ? f.glyphs : NSUnionRange(r, f.glyphs);
    }
    return r.location == NSNotFound ? NSMakeRange(0, 0) : r;
}

std::pair<CGFloat, CGFloat> NSLayoutManager::glyphSpan(NSRange range)
{
    CGFloat lo = INFINITY, hi = -INFINITY;
    for (NSUInteger i = range.location; i < NSMaxRange(range) && i < m_glyphs.size(); ++i) {
        const Fragment* f = fragmentOfGlyph(i);
        if (!f) continue;
        CGFloat x = f->rect.origin.x + m_glyphs[i].location.x;
        lo = std::min(lo, x);
        hi = std::max(hi, x + m_glyphs[i].advance);
    }
    return {lo, hi};
}

NSRect NSLayoutManager::boundingRectForGlyphRange(NSRange range, const Ref<NSTextContainer>& container)
{
    ensureLayout();
    int c = containerIndex(container);
    NSRect box = NSZeroRect;
    bool any = false;
    for (NSUInteger i = range.location; i < NSMaxRange(range) && i < m_glyphs.size(); ++i) {
        const Fragment* f = fragmentOfGlyph(i);
        if (!f || f->container != c) continue;
        NSRect r = NSMakeRect(f->rect.origin.x + m_glyphs[i].location.x, f->rect.origin.y, m_glyphs[i].advance,
                              f->rect.size.height);
        box = any ? NSUnionRect(box, r) : r;
        any = true;
    }
    return box;
}

NSUInteger NSLayoutManager::glyphIndexForPoint(NSPoint point, const Ref<NSTextContainer>& container, CGFloat* fraction)
{
    ensureLayout();
    if (fraction) *fraction = 0;
    int c = containerIndex(container);
    const Fragment* line = nullptr;
    for (const Fragment& f : m_fragments) {
        if (f.container != c) continue;
        if (!line || NSMinY(f.rect) <= point.y) line = &f;
        if (point.y < NSMaxY(f.rect)) break;
    }
    if (!line) return m_glyphs.size();
    // The glyph under x, else the visually nearest one (breaks and null
    // glyphs take no room and are never hit).
    NSUInteger best = line->glyphs.location;
    CGFloat bestDistance = INFINITY, bestFraction = 0;
    for (NSUInteger i = line->glyphs.location; i < NSMaxRange(line->glyphs); ++i) {
        const Glyph& g = m_glyphs[i];
        if (g.advance <= 0 && line->glyphs.length > 1) continue;
        CGFloat x0 = line->rect.origin.x + g.location.x, x1 = x0 + g.advance;
        CGFloat distance = point.x < x0 ? x0 - point.x : point.x > x1 ? point.x - x1 : 0;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            bestFraction = g.advance > 0 ? std::clamp((point.x - x0) / g.advance, 0.0, 1.0) : 0;
        }
    }
    if (fraction) *fraction = bestFraction;
    return best;
}

CGFloat NSLayoutManager::fractionOfDistanceThroughGlyphForPoint(NSPoint point, const Ref<NSTextContainer>& container)
{
    CGFloat fraction = 0;
    glyphIndexForPoint(point, container, &fraction);
    return fraction;
}

NSUInteger NSLayoutManager::characterIndexForInsertionAtPoint(NSPoint point, const Ref<NSTextContainer>& container)
{
    ensureLayout();
    NSUInteger n = m_glyphs.size();
    int c = containerIndex(container);
    if (n == 0) return 0;
    if (m_extraContainer == c && c >= 0 && point.y >= NSMinY(m_extraRect)) return n;
    CGFloat fraction = 0;
    NSUInteger i = glyphIndexForPoint(point, container, &fraction);
    if (i >= n) return n;
    auto storage = textStorage();
    const std::u16string& text = storage->utf16();
    bool rtl = m_glyphs[i].bidiLevel & 1;
    bool after = rtl ? fraction < 0.5 : fraction >= 0.5;
    if (isLineEnd(text[i])) after = false;
    NSUInteger index = after ? i + 1 : i;
    // Never inside a surrogate pair or before a merged mark.
    while (index < n && index > 0 && m_glyphs[index].glyph == NSNullGlyph && m_glyphs[index].advance == 0 &&
           !isLineEnd(text[index]) && text[index] != NSAttachmentCharacter)
        ++index;
    return index;
}

std::vector<NSRect> NSLayoutManager::rectArrayForCharacterRange(NSRange range, NSRange,
                                                                const Ref<NSTextContainer>& container)
{
    ensureLayout();
    std::vector<NSRect> rects;
    int c = containerIndex(container);
    NSUInteger n = m_glyphs.size();
    if (range.length == 0) {
        NSUInteger i = range.location;
        auto storage = textStorage();
        bool atExtra = m_extraContainer == c && c >= 0 && (n == 0 || (i >= n && isLineEnd(storage->utf16()[n - 1])));
        if (atExtra) {
            CGFloat padding = container ? container->lineFragmentPadding() : 0;
            rects.push_back(
                NSMakeRect(m_extraUsed.origin.x + padding, m_extraRect.origin.y, 1, m_extraRect.size.height));
            return rects;
        }
        if (n == 0) return rects;
        bool end = i >= n;
        NSUInteger g = end ? n - 1 : i;
        const Fragment* f = fragmentOfGlyph(g);
        if (!f || f->container != c) return rects;
        CGFloat x = f->rect.origin.x + m_glyphs[g].location.x;
        bool rtl = m_glyphs[g].bidiLevel & 1;
        if (end != rtl) x += m_glyphs[g].advance;
        rects.push_back(NSMakeRect(x, f->rect.origin.y, 1, f->rect.size.height));
        return rects;
    }
    for (const Fragment& f : m_fragments) {
        if (f.container != c) continue;
        NSRange part = NSIntersectionRange(f.glyphs, range);
        if (part.length == 0) continue;
        auto [lo, hi] = glyphSpan(part);
        // A selected line break reaches to the end of its fragment.
        auto storage = textStorage();
        if (NSMaxRange(part) == NSMaxRange(f.glyphs) && isLineEnd(storage->utf16()[NSMaxRange(part) - 1]))
            hi = NSMaxX(f.rect);
        if (hi < lo) continue;
        rects.push_back(NSMakeRect(lo, f.rect.origin.y, hi - lo, f.rect.size.height));
    }
    return rects;
}

// --- Drawing ---

void NSLayoutManager::fillBackgroundRectArray(const std::vector<NSRect>& rects, NSRange, const Ref<NSColor>& color)
{
    for (const NSRect& r : rects) fillRect(r, color);
}

void NSLayoutManager::drawBackgroundForGlyphRange(NSRange range, NSPoint origin)
{
    ensureLayout();
    auto storage = textStorage();
    if (!storage) return;
    auto offset = [&](std::vector<NSRect> rects, const Ref<NSTextContainer>&) {
        for (NSRect& r : rects) r.origin.x += origin.x, r.origin.y += origin.y;
        return rects;
    };
    NSUInteger end = std::min<NSUInteger>(NSMaxRange(range), m_glyphs.size());
    for (NSUInteger i = range.location; i < end;) {
        NSRange run;
        auto color = dynamic_ref_cast<NSColor>(storage->attributeAtIndex(NSBackgroundColorAttributeName, i, &run));
        NSRange part = NSIntersectionRange(run, NSMakeRange(i, end - i));
        if (color)
            for (size_t c = 0; c < m_containers.size(); ++c)
                fillBackgroundRectArray(
                    offset(rectArrayForCharacterRange(part, part, m_containers[c]), m_containers[c]), part, color);
        i = NSMaxRange(part) > i ? NSMaxRange(part) : i + 1;
    }
    // The selection of the text view that shows the text.
    auto view = firstTextView();
    if (!view) return;
    NSRange selected = NSIntersectionRange(view->selectedRange(), NSMakeRange(range.location, end - range.location));
    if (selected.length == 0) return;
    for (const auto& c : m_containers)
        if (c->textView() == view)
            fillBackgroundRectArray(offset(rectArrayForCharacterRange(selected, selected, c), c), selected,
                                    NSColor::selectedTextBackgroundColor());
}

void NSLayoutManager::showCGGlyphs(const NSGlyph* glyphs, const NSPoint* positions, NSUInteger count,
                                   const Ref<NSFont>& font, const CGAffineTransform&,
                                   const Ref<NSDictionary>& attributes, CGContext* context)
{
    if (!context || count == 0) return;
    auto color =
        attributes ? dynamic_ref_cast<NSColor>(attributes->objectForKey(NSForegroundColorAttributeName)) : nullptr;
    std::vector<uint32_t> g(glyphs, glyphs + count);
    std::vector<CGPoint> p(positions, positions + count);
    context->saveGState();
    context->setFillColor((color ? color : NSColor::blackColor())->rgba());
    context->showGlyphs(font->cgFont(), font->pointSize(), g, p, {});
    context->restoreGState();
}

void NSLayoutManager::showAttachmentCell(const Ref<NSTextAttachmentCell>& cell, const NSRect& rect,
                                         NSUInteger characterIndex)
{
    if (cell) cell->drawWithFrame(rect, firstTextView(), characterIndex);
}

void NSLayoutManager::drawGlyphsForGlyphRange(NSRange range, NSPoint origin)
{
    ensureLayout();
    auto storage = textStorage();
    // Without a context the hooks still run: a subclass may collect glyphs
    // or outlines instead of painting.
    CGContext* port = currentPort();
    if (!storage) return;
    const std::u16string& text = storage->utf16();
    NSUInteger end = std::min<NSUInteger>(NSMaxRange(range), m_glyphs.size());
    NSUInteger i = range.location;
    while (i < end) {
        const Fragment* f = fragmentOfGlyph(i);
        if (!f) {
            ++i;
            continue;
        }
        // A run: equal attributes, one direction, one line fragment.
        NSRange attributesRun;
        Ref<NSDictionary> attributes = storage->attributesAtIndex(i, &attributesRun);
        NSUInteger runEnd = std::min({end, NSMaxRange(attributesRun), NSMaxRange(f->glyphs)});
        bool rtl = m_glyphs[i].bidiLevel & 1;
        NSUInteger j = i + 1;
        while (j < runEnd && ((m_glyphs[j].bidiLevel & 1) == rtl)) ++j;
        NSRange run = NSMakeRange(i, j - i);

        Ref<NSFont> font = fontIn(attributes);
        std::vector<NSGlyph> glyphs;
        std::vector<NSPoint> positions;
        for (NSUInteger k = run.location; k < NSMaxRange(run); ++k) {
            NSPoint at = NSMakePoint(origin.x + f->rect.origin.x + m_glyphs[k].location.x,
                                     origin.y + f->rect.origin.y + m_glyphs[k].location.y);
            if (auto cell = attachmentCellForGlyphAtIndex(k)) {
                NSRect frame = cell->cellFrameForTextContainer(m_containers[static_cast<size_t>(f->container)], f->rect,
                                                               m_glyphs[k].location, k);
                // Flipped: the origin is the cell's bottom-left corner.
                showAttachmentCell(
                    cell, NSMakeRect(at.x + frame.origin.x, at.y - frame.origin.y, frame.size.width, frame.size.height),
                    k);
                continue;
            }
            if (m_glyphs[k].glyph == NSNullGlyph || m_glyphs[k].glyph == NSControlGlyph) continue;
            glyphs.push_back(m_glyphs[k].glyph);
            positions.push_back(at);
        }
        if (!glyphs.empty())
            showCGGlyphs(glyphs.data(), positions.data(), glyphs.size(), font, CGAffineTransformIdentity, attributes,
                         port);

        // Decorations cover the run without the line's break.
        NSRange decorated = run;
        while (decorated.length > 0 && isLineEnd(text[NSMaxRange(decorated) - 1])) --decorated.length;
        if (decorated.length > 0) {
            if (NSInteger u = integerIn(attributes, NSUnderlineStyleAttributeName))
                drawUnderlineForGlyphRange(decorated, u, f->baselineOffset, f->rect, f->glyphs, origin);
            if (NSInteger s = integerIn(attributes, NSStrikethroughStyleAttributeName))
                drawStrikethroughForGlyphRange(decorated, s, f->baselineOffset, f->rect, f->glyphs, origin);
        }
        i = j;
    }
}

NSRect NSLayoutManager::underlineRectForGlyphRange(NSRange glyphRange, NSInteger underlineType,
                                                   const NSRect& lineFragmentRect, NSPoint containerOrigin)
{
    ensureLayout();
    if (glyphRange.length == 0 || glyphRange.location >= m_glyphs.size()) return NSZeroRect;
    Ref<NSFont> font = fontForGlyphAtIndex(glyphRange.location);
    auto [lo, hi] = glyphSpan(glyphRange);
    CGFloat baseline = containerOrigin.y + lineFragmentRect.origin.y + m_glyphs[glyphRange.location].location.y;
    CGFloat thickness =
        std::max(font->underlineThickness(), 0.5) * ((underlineType & 0xff) == NSUnderlineStyleThick ? 2 : 1);
    CGFloat centre = baseline - font->underlinePosition();
    return NSMakeRect(containerOrigin.x + lo, centre - thickness / 2, hi - lo, thickness);
}

NSRect NSLayoutManager::strikethroughRectForGlyphRange(NSRange glyphRange, NSInteger strikethroughType,
                                                       const NSRect& lineFragmentRect, NSPoint containerOrigin)
{
    NSRect r = underlineRectForGlyphRange(glyphRange, strikethroughType, lineFragmentRect, containerOrigin);
    if (NSIsEmptyRect(r)) return r;
    Ref<NSFont> font = fontForGlyphAtIndex(glyphRange.location);
    CGFloat baseline = containerOrigin.y + lineFragmentRect.origin.y + m_glyphs[glyphRange.location].location.y;
    r.origin.y = baseline - font->xHeight() / 2 - r.size.height / 2;
    return r;
}

void NSLayoutManager::drawUnderlineForGlyphRange(NSRange glyphRange, NSInteger underlineType, CGFloat,
                                                 const NSRect& lineFragmentRect, NSRange, NSPoint containerOrigin)
{
    auto storage = textStorage();
    if (!storage || glyphRange.length == 0) return;
    auto attributes = storage->attributesAtIndex(glyphRange.location, nullptr);
    auto color = dynamic_ref_cast<NSColor>(attributes->objectForKey(NSUnderlineColorAttributeName));
    if (!color) color = dynamic_ref_cast<NSColor>(attributes->objectForKey(NSForegroundColorAttributeName));
    if (!color) color = NSColor::blackColor();
    NSRect r = underlineRectForGlyphRange(glyphRange, underlineType, lineFragmentRect, containerOrigin);
    drawDecoration(r, underlineType, color);
    if ((underlineType & 0xff) == NSUnderlineStyleDouble)
        drawDecoration(NSOffsetRect(r, 0, 2 * r.size.height), underlineType, color);
}

void NSLayoutManager::drawStrikethroughForGlyphRange(NSRange glyphRange, NSInteger strikethroughType, CGFloat,
                                                     const NSRect& lineFragmentRect, NSRange, NSPoint containerOrigin)
{
    auto storage = textStorage();
    if (!storage || glyphRange.length == 0) return;
    auto attributes = storage->attributesAtIndex(glyphRange.location, nullptr);
    auto color = dynamic_ref_cast<NSColor>(attributes->objectForKey(NSStrikethroughColorAttributeName));
    if (!color) color = dynamic_ref_cast<NSColor>(attributes->objectForKey(NSForegroundColorAttributeName));
    if (!color) color = NSColor::blackColor();
    NSRect r = strikethroughRectForGlyphRange(glyphRange, strikethroughType, lineFragmentRect, containerOrigin);
    drawDecoration(r, strikethroughType, color);
    if ((strikethroughType & 0xff) == NSUnderlineStyleDouble)
        drawDecoration(NSOffsetRect(r, 0, 2 * r.size.height), strikethroughType, color);
}
