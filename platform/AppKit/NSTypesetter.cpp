#include "AppKit/NSTypesetter.h"

#include <unicode/ubidi.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSTextAttachmentCell.h"
#include "Foundation/BreakIteratorCache.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLocale.h"

NS_CLASS_DEFINE(NSTypesetter)

namespace {

constexpr CGFloat kEpsilon = 1e-9;

bool endsParagraph(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2029; }
bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x00a0 || c == 0x3000; }
bool isLineEnd(char16_t c) { return endsParagraph(c) || c == 0x2028; }

// Between these a line may break when character wrapping (never inside a
// surrogate pair or before a combining mark).
bool startsCluster(const std::u16string& text, size_t i)
{
    if (i >= text.size()) return true;
    if (U16_IS_TRAIL(text[i]) && i > 0 && U16_IS_LEAD(text[i - 1])) return false;
    int8_t type = u_charType(text[i]);
    return type != U_NON_SPACING_MARK && type != U_ENCLOSING_MARK && type != U_COMBINING_SPACING_MARK;
}

Ref<NSParagraphStyle> paragraphStyleAt(const Ref<NSTextStorage>& storage, size_t index)
{
    if (storage && index < storage->length())
        if (auto style = dynamic_ref_cast<NSParagraphStyle>(
                storage->attributeAtIndex(NSParagraphStyleAttributeName, index, nullptr)))
            return style;
    return NSParagraphStyle::defaultParagraphStyle();
}

struct LineMetrics {
    CGFloat ascent = 0, descent = 0, leading = 0;
    void add(CGFloat a, CGFloat d, CGFloat l)
    {
        ascent = std::max(ascent, a), descent = std::max(descent, d), leading = std::max(leading, l);
    }
};

class ParagraphLayout {
public:
    ParagraphLayout(NSTypesetter* typesetter, NSLayoutManager* manager, const std::u16string& text,
                    NSTypesetter::LayoutPosition& position)
        : m_typesetter(typesetter)
        , m_manager(manager)
        , m_text(text)
        , m_containers(manager->textContainers())
        , m_position(position)
    { }

    // One paragraph: text from start to end, its terminator up to next.
    void layOut(size_t start, size_t next)
    {
        if (m_position.full || m_containers.empty()) return;
        size_t end = next;
        while (end > start && isLineEnd(m_text[end - 1]) && m_text[end - 1] != 0x2028) --end;
        paragraph(start, end, next);
    }

    void extraFragment()
    {
        if (!m_position.full && !m_containers.empty()) extraFragmentAt();
    }

private:
    const Ref<NSTextContainer>& container() const { return m_containers[m_position.container]; }

    // Moves to the next container when a fragment of that height does not
    // fit; false when there is none (layout stops).
    bool fit(CGFloat height)
    {
        while (m_position.y > 0 && m_position.y + height > container()->containerSize().height + kEpsilon) {
            if (m_position.container + 1 >= m_containers.size()) {
                m_position.full = true;
                return false;
            }
            ++m_position.container;
            m_position.y = 0;
        }
        return true;
    }

    void paragraph(size_t start, size_t end, size_t next)
    {
        auto storage = m_manager->textStorage();
        Ref<NSParagraphStyle> style = paragraphStyleAt(storage, start);
        UBiDiLevel baseLevel = bidi(start, end, next);
        std::vector<bool> canBreak = breaks(start, end, style->lineBreakMode());
        bool wraps =
            style->lineBreakMode() == NSLineBreakByWordWrapping || style->lineBreakMode() == NSLineBreakByCharWrapping;
        size_t lineStart = start;
        bool first = true;
        while (lineStart < next && !m_position.full) {
            CGFloat padding = container()->lineFragmentPadding();
            CGFloat width = container()->containerSize().width;
            CGFloat indent = first ? style->firstLineHeadIndent() : style->headIndent();
            CGFloat right = style->tailIndent() > 0 ? style->tailIndent() : width + style->tailIndent();
            CGFloat available = right - padding - (padding + indent);

            // Fill the line greedily.
            CGFloat x = 0;
            size_t i = lineStart, lastBreak = 0, lineEnd = next;
            for (; i < end; ++i) {
                char16_t c = m_text[i];
                if (c == 0x2028) {
                    lineEnd = i + 1;
                    break;
                }
                if (i > lineStart && canBreak[i - start]) lastBreak = i;
                CGFloat advance = m_manager->advanceForGlyphAtIndex(i);
                if (c == u'\t') {
                    advance = tabAdvance(*style, indent + x, i, end);
                    m_manager->setAdvance(advance, i);
                } else if (auto cell = m_manager->attachmentCellForGlyphAtIndex(i)) {
                    advance = cellFrame(cell, i).size.width;
                    m_manager->setAdvance(advance, i);
                }
                // White space may hang past the edge.
                if (wraps && i > lineStart && !isSpace(c) && x + advance > available + kEpsilon) {
                    lineEnd = lastBreak > lineStart ? lastBreak : fallbackBreak(lineStart, i);
                    break;
                }
                x += advance;
            }
            if (!placeLine(lineStart, lineEnd, end, *style, first, lineEnd >= next, baseLevel, indent, available))
                return;
            lineStart = lineEnd;
            first = false;
        }
    }

    // A word longer than the line breaks between characters.
    size_t fallbackBreak(size_t lineStart, size_t overflow) const
    {
        size_t at = overflow;
        while (at > lineStart + 1 && !startsCluster(m_text, at)) --at;
        return at;
    }

    UBiDiLevel bidi(size_t start, size_t end, size_t next)
    {
        UBiDiLevel base = 0;
        if (m_para) ubidi_close(m_para);
        m_para = nullptr;
        m_paragraphStart = start;
        if (end > start) {
            UErrorCode status = U_ZERO_ERROR;
            m_para = ubidi_openSized(static_cast<int32_t>(end - start), 0, &status);
            ubidi_setPara(m_para, reinterpret_cast<const UChar*>(m_text.data() + start),
                          static_cast<int32_t>(end - start), UBIDI_DEFAULT_LTR, nullptr, &status);
            if (U_SUCCESS(status)) {
                base = ubidi_getParaLevel(m_para);
                const UBiDiLevel* levels = ubidi_getLevels(m_para, &status);
                for (size_t i = start; U_SUCCESS(status) && i < end; ++i)
                    m_manager->setIntAttribute(NSGlyphAttributeBidiLevel, levels[i - start], i);
            } else {
                ubidi_close(m_para);
                m_para = nullptr;
            }
        }
        for (size_t i = end; i < next; ++i) m_manager->setIntAttribute(NSGlyphAttributeBidiLevel, base, i);
        return base;
    }

    std::vector<bool> breaks(size_t start, size_t end, NSLineBreakMode mode) const
    {
        std::vector<bool> canBreak(end - start + 1, false);
        if (mode == NSLineBreakByCharWrapping) {
            for (size_t i = start; i <= end; ++i) canBreak[i - start] = startsCluster(m_text, i);
            return canBreak;
        }
        if (end == start) return canBreak;
        UBreakIterator* it =
            BreakIteratorCache::forCurrentThread().iterator(UBRK_LINE, m_text.data() + start, end - start);
        if (it)
            for (int32_t b = ubrk_first(it); b != UBRK_DONE; b = ubrk_next(it)) canBreak[static_cast<size_t>(b)] = true;
        return canBreak;
    }

    // The width of a tab that starts at the given distance from the line's
    // head: to the next stop (left stops start the text there, right stops
    // end it there, centre stops centre it), then every default interval.
    CGFloat tabAdvance(const NSParagraphStyle& style, CGFloat position, size_t tab, size_t end) const
    {
        auto segmentWidth = [&] {
            CGFloat w = 0;
            for (size_t i = tab + 1; i < end && m_text[i] != u'\t' && m_text[i] != 0x2028; ++i)
                w += m_manager->advanceForGlyphAtIndex(i);
            return w;
        };
        if (auto stops = style.tabStops()) {
            for (NSUInteger k = 0; k < stops->count(); ++k) {
                auto stop = dynamic_ref_cast<NSTextTab>(stops->objectAtIndex(k));
                if (!stop || stop->location() <= position + kEpsilon) continue;
                CGFloat to = stop->location();
                if (stop->tabStopType() == NSRightTabStopType) to -= segmentWidth();
                else if (stop->tabStopType() == NSCenterTabStopType) to -= segmentWidth() / 2;
                else if (stop->tabStopType() == NSDecimalTabStopType) to -= widthBeforeDecimalSeparator(tab, end);
                return std::max<CGFloat>(0, to - position);
            }
        }
        CGFloat interval = style.defaultTabInterval() > 0 ? style.defaultTabInterval() : 28;
        return (std::floor(position / interval + kEpsilon) + 1) * interval - position;
    }

    // A decimal stop puts the locale's decimal separator of the text after
    // the tab on the stop; text without one ends there, as at a right stop.
    CGFloat widthBeforeDecimalSeparator(size_t tab, size_t end) const
    {
        if (m_decimalSeparator.empty()) {
            auto separator = NSLocale::currentLocale()->objectForKey(NSLocaleDecimalSeparator());
            auto text = dynamic_ref_cast<NSString>(separator);
            m_decimalSeparator = text && text->length() > 0 ? text->utf16() : u".";
        }
        CGFloat w = 0;
        for (size_t i = tab + 1; i < end && m_text[i] != u'\t' && m_text[i] != 0x2028; ++i) {
            if (m_text.compare(i, m_decimalSeparator.size(), m_decimalSeparator) == 0) break;
            w += m_manager->advanceForGlyphAtIndex(i);
        }
        return w;
    }

    // A justified line, but the last of its paragraph or one ended by a line
    // separator, fills the line by widening its spaces after the last tab.
    // Answers the line's new width.
    CGFloat justify(size_t start, size_t visibleEnd, CGFloat lineWidth, CGFloat available)
    {
        size_t from = start;
        for (size_t i = start; i < visibleEnd; ++i)
            if (m_text[i] == u'\t') from = i + 1;
        size_t spaces = 0;
        for (size_t i = from; i < visibleEnd; ++i) spaces += m_text[i] == u' ';
        if (spaces == 0 || available <= lineWidth) return lineWidth;
        const CGFloat extra = (available - lineWidth) / static_cast<CGFloat>(spaces);
        for (size_t i = from; i < visibleEnd; ++i)
            if (m_text[i] == u' ') m_manager->setAdvance(m_manager->advanceForGlyphAtIndex(i) + extra, i);
        return available;
    }

    // The cell's frame relative to its glyph's baseline position (y up).
    NSRect cellFrame(const Ref<NSTextAttachmentCell>& cell, size_t index) const
    {
        NSRect proposed = NSMakeRect(0, m_position.y, container()->containerSize().width, 0);
        return cell->cellFrameForTextContainer(container(), proposed, NSZeroPoint, index);
    }

    LineMetrics measure(size_t start, size_t end) const
    {
        LineMetrics m;
        for (size_t i = start; i < end; ++i) {
            if (auto cell = m_manager->attachmentCellForGlyphAtIndex(i)) {
                NSRect frame = cellFrame(cell, i);
                m.add(NSMaxY(frame), std::max<CGFloat>(0, -NSMinY(frame)), 0);
                continue;
            }
            Ref<NSFont> font = m_manager->fontForGlyphAtIndex(i);
            m.add(font->ascender(), -font->descender(), font->leading());
        }
        return m;
    }

    bool placeLine(size_t start, size_t lineEnd, size_t paragraphEnd, const NSParagraphStyle& style, bool first,
                   bool last, UBiDiLevel baseLevel, CGFloat indent, CGFloat available)
    {
        LineMetrics m = measure(start, lineEnd);
        CGFloat textHeight = m.ascent + m.descent + m.leading;
        if (style.minimumLineHeight() > 0) textHeight = std::max(textHeight, style.minimumLineHeight());
        if (style.maximumLineHeight() > 0) textHeight = std::min(textHeight, style.maximumLineHeight());
        CGFloat before = first ? style.paragraphSpacingBefore() : 0;
        CGFloat after = style.lineSpacing() + (last ? style.paragraphSpacing() : 0);
        CGFloat height = before + textHeight + after;
        if (!fit(height)) return false;

        // Width of the visible text, without trailing white space and breaks.
        size_t visibleEnd = lineEnd;
        while (visibleEnd > start && (isSpace(m_text[visibleEnd - 1]) || isLineEnd(m_text[visibleEnd - 1])))
            --visibleEnd;
        CGFloat lineWidth = 0;
        for (size_t i = start; i < visibleEnd; ++i) lineWidth += m_manager->advanceForGlyphAtIndex(i);

        NSTextAlignment alignment = style.alignment();
        const bool wraps =
            style.lineBreakMode() == NSLineBreakByWordWrapping || style.lineBreakMode() == NSLineBreakByCharWrapping;
        if (alignment == NSTextAlignmentJustified && wraps && !last && m_text[lineEnd - 1] != 0x2028)
            lineWidth = justify(start, visibleEnd, lineWidth, available);
        if (alignment == NSTextAlignmentNatural || alignment == NSTextAlignmentJustified)
            alignment = (baseLevel & 1) ? NSTextAlignmentRight : NSTextAlignmentLeft;
        CGFloat shift = 0;
        if (alignment == NSTextAlignmentRight) shift = std::max<CGFloat>(0, available - lineWidth);
        else if (alignment == NSTextAlignmentCenter) shift = std::max<CGFloat>(0, (available - lineWidth) / 2);

        CGFloat padding = container()->lineFragmentPadding();
        NSRect lineRect = NSMakeRect(0, m_position.y, container()->containerSize().width, height);
        NSRect usedRect = NSMakeRect(indent + shift, m_position.y + before, lineWidth + 2 * padding, textHeight);
        CGFloat baselineOffset = m.descent + m.leading + after;
        NSRange glyphs = NSMakeRange(start, lineEnd - start);
        m_typesetter->willSetLineFragmentRect(lineRect, glyphs, usedRect, baselineOffset);

        m_manager->setTextContainer(container(), glyphs);
        m_manager->setLineFragmentRect(lineRect, glyphs, usedRect, baselineOffset);
        position(start, lineEnd, paragraphEnd, padding + indent + shift, lineRect.size.height - baselineOffset);
        m_position.y = NSMaxY(lineRect);
        return true;
    }

    // Glyph locations in visual order: right-to-left runs right to left.
    void position(size_t start, size_t lineEnd, size_t paragraphEnd, CGFloat x, CGFloat baseline)
    {
        auto place = [&](size_t i) {
            m_manager->setLocation(NSMakePoint(x, baseline), i);
            x += m_manager->advanceForGlyphAtIndex(i);
        };
        size_t textEnd = std::min(lineEnd, paragraphEnd);
        bool placed = false;
        if (m_para && textEnd > start) {
            UErrorCode status = U_ZERO_ERROR;
            size_t base = m_paragraphStart;
            UBiDi* line = ubidi_openSized(static_cast<int32_t>(textEnd - start), 0, &status);
            ubidi_setLine(m_para, static_cast<int32_t>(start - base), static_cast<int32_t>(textEnd - base), line,
                          &status);
            if (U_SUCCESS(status)) {
                int32_t runs = ubidi_countRuns(line, &status);
                for (int32_t r = 0; U_SUCCESS(status) && r < runs; ++r) {
                    int32_t logical = 0, length = 0;
                    UBiDiDirection dir = ubidi_getVisualRun(line, r, &logical, &length);
                    for (int32_t k = 0; k < length; ++k)
                        place(start + static_cast<size_t>(dir == UBIDI_RTL ? logical + length - 1 - k : logical + k));
                }
                placed = U_SUCCESS(status);
            }
            ubidi_close(line);
        }
        if (!placed)
            for (size_t i = start; i < textEnd; ++i) place(i);
        for (size_t i = textEnd; i < lineEnd; ++i) place(i);
    }

    void extraFragmentAt()
    {
        size_t n = m_text.size();
        auto storage = m_manager->textStorage();
        Ref<NSParagraphStyle> style = paragraphStyleAt(storage, n > 0 ? n - 1 : 0);
        Ref<NSFont> font = n > 0 ? m_manager->fontForGlyphAtIndex(n - 1) : m_manager->fontForGlyphAtIndex(NSNotFound);
        CGFloat height = m_manager->defaultLineHeightForFont(font);
        if (style->minimumLineHeight() > 0) height = std::max(height, style->minimumLineHeight());
        if (!fit(height)) return;
        CGFloat padding = container()->lineFragmentPadding();
        // A break within a paragraph continues it; otherwise a new one starts.
        CGFloat indent = n > 0 && m_text[n - 1] == 0x2028 ? style->headIndent() : style->firstLineHeadIndent();
        NSRect rect = NSMakeRect(0, m_position.y, container()->containerSize().width, height);
        m_manager->setExtraLineFragmentRect(rect, NSMakeRect(indent, m_position.y, 2 * padding, height), container());
    }

public:
    ~ParagraphLayout()
    {
        if (m_para) ubidi_close(m_para);
    }

private:
    NSTypesetter* m_typesetter;
    NSLayoutManager* m_manager;
    const std::u16string& m_text;
    const std::vector<Ref<NSTextContainer>>& m_containers;
    NSTypesetter::LayoutPosition& m_position;
    UBiDi* m_para = nullptr;
    size_t m_paragraphStart = 0;
    mutable std::u16string m_decimalSeparator;
};

}

Ref<NSTypesetter> NSTypesetter::sharedSystemTypesetter()
{
    static const Ref<NSTypesetter> shared = make<NSTypesetter>();
    return shared;
}

void NSTypesetter::layoutGlyphsInLayoutManager(NSLayoutManager* manager)
{
    if (manager && !manager->textContainers().empty())
        manager->ensureLayoutForTextContainer(manager->textContainers().back());
}

namespace {

const std::u16string& textOf(NSLayoutManager* manager)
{
    static const std::u16string empty;
    auto storage = manager->textStorage();
    return storage ? storage->utf16() : empty;
}

}

void NSTypesetter::layoutParagraph(NSLayoutManager* manager, NSRange paragraph, LayoutPosition& position)
{
    if (!manager) return;
    ParagraphLayout(this, manager, textOf(manager), position).layOut(paragraph.location, NSMaxRange(paragraph));
}

void NSTypesetter::layoutExtraLineFragment(NSLayoutManager* manager, LayoutPosition& position)
{
    if (!manager) return;
    ParagraphLayout(this, manager, textOf(manager), position).extraFragment();
}

bool NSTypesetter::laysOutParagraphsIndependently() const { return &realClass() == &NSTypesetter::classRecord(); }

CGFloat NSTypesetter::baselineOffsetInLayoutManager(NSLayoutManager* manager, NSUInteger glyphIndex)
{
    return manager ? manager->baselineOffsetForGlyphAtIndex(glyphIndex) : 0;
}
