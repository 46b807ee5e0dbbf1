#include "AppKit/NSLayoutManager.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
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

// Calls emit(end) for each paragraph of text[from, end) in turn, end being
// where it ends (after its break; CR LF is one break; the last one may have
// none), until emit answers false. Long texts are scanned sixteen UTF-16
// units at a time, every break of a block taken from one mask.
template <class F> void forEachParagraphEnd(const char16_t* text, NSUInteger from, NSUInteger end, F&& emit)
{
    NSUInteger p = from;  // where the next paragraph starts
    auto found = [&](NSUInteger at) {
        if (at < p) return true;  // the LF of a CR LF already taken
        p = text[at] == u'\r' && at + 1 < end && text[at + 1] == u'\n' ? at + 2 : at + 1;
        return emit(p);
    };
    NSUInteger i = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi16(u'\n'), cr = _mm_set1_epi16(u'\r'), ps = _mm_set1_epi16(0x2029);
    auto breaks = [&](const char16_t* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, lf), _mm_cmpeq_epi16(v, cr)), _mm_cmpeq_epi16(v, ps));
    };
    for (; i + 16 <= end; i += 16) {
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(breaks(text + i), breaks(text + i + 8))));
        for (; mask; mask &= mask - 1)
            if (!found(i + static_cast<NSUInteger>(__builtin_ctz(mask)))) return;
    }
#endif
    for (; i < end; ++i)
        if ((text[i] == u'\n' || text[i] == u'\r' || text[i] == 0x2029) && !found(i)) return;
    if (p < end) emit(end);
}

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
    for (const auto& manager : managers)
        for (const auto& container : manager->textContainers())
            if (auto view = container->textView()) view->layoutManagerDidReplaceTextStorage(old, storage);
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

// --- Paragraphs ---

std::vector<NSLayoutManager::Paragraph> NSLayoutManager::paragraphsIn(NSUInteger start, NSUInteger end) const
{
    auto storage = textStorage();
    std::vector<Paragraph> out;
    if (!storage) return out;
    const std::u16string& text = storage->utf16();
    NSUInteger p = start;
    forEachParagraphEnd(text.data(), start, end, [&](NSUInteger e) {
        out.push_back(Paragraph{p, e - p, nullptr});
        p = e;
        return true;
    });
    return out;
}

void NSLayoutManager::startSplit()
{
    m_split = true;
    auto storage = textStorage();
    m_length = storage ? storage->length() : 0;
    m_paragraphs.clear();
    m_splitEnd = 0;
    m_laidOut = 0;
    clearIsland();
    m_cursor = 0;
    m_extraValid = false;
}

// Splits at least this far past what is split, so that a query walking
// through the text does not scan a paragraph at a time.
static constexpr NSUInteger kSplitStep = 8192;

void NSLayoutManager::splitThroughCharacter(NSUInteger index)
{
    splitParagraphs();
    if (index < m_splitEnd || allSplit()) return;
    auto storage = textStorage();
    if (!storage) return;
    const std::u16string& text = storage->utf16();
    const NSUInteger length = std::min<NSUInteger>(m_length, text.size());
    const NSUInteger until = std::min(std::max(index, m_splitEnd + kSplitStep), length);
    // Room for as many paragraphs as the text split so far leads one to
    // expect, so a far question does not move the table again and again.
    if (m_splitEnd > 0 && until - m_splitEnd > kSplitStep) {
        const size_t expected = m_paragraphs.size() +
                                static_cast<size_t>((until - m_splitEnd) * m_paragraphs.size() / m_splitEnd * 9 / 8) +
                                16;
        if (expected > m_paragraphs.capacity()) m_paragraphs.reserve(expected);
    }
    forEachParagraphEnd(text.data(), m_splitEnd, length, [&](NSUInteger end) {
        m_paragraphs.push_back(Paragraph{m_splitEnd, end - m_splitEnd, nullptr});
        m_splitEnd = end;
        return end <= until;
    });
}

bool NSLayoutManager::splitTo(size_t paragraph)
{
    splitParagraphs();
    while (paragraph >= m_paragraphs.size() && !allSplit()) {
        const NSUInteger before = m_splitEnd;
        splitThroughCharacter(m_splitEnd);
        if (m_splitEnd == before) break;
    }
    return paragraph < m_paragraphs.size();
}

size_t NSLayoutManager::paragraphCount()
{
    splitParagraphs();
    if (!allSplit()) splitThroughCharacter(m_length);
    return m_paragraphs.size();
}

size_t NSLayoutManager::findParagraph(NSUInteger index)
{
    splitParagraphs();
    if (m_length == 0) return 0;
    splitThroughCharacter(std::min(index, m_length - 1));
    if (m_paragraphs.empty()) return 0;
    auto within = [&](size_t k) {
        const Paragraph& p = m_paragraphs[k];
        return index >= p.start && index < p.start + p.length;
    };
    if (m_cursor < m_paragraphs.size() && within(m_cursor)) return m_cursor;
    if (m_cursor + 1 < m_paragraphs.size() && within(m_cursor + 1)) return ++m_cursor;
    auto it = std::upper_bound(m_paragraphs.begin(), m_paragraphs.end(), index,
                               [](NSUInteger i, const Paragraph& p) { return i < p.start; });
    size_t k = it == m_paragraphs.begin() ? 0 : static_cast<size_t>(it - m_paragraphs.begin()) - 1;
    return m_cursor = std::min(k, m_paragraphs.size() - 1);
}

// Shapes each run of equal attributes within the paragraph on its own, so
// that shaping a paragraph again gives what shaping the whole text gave.
void NSLayoutManager::shape(Paragraph& paragraph)
{
    if (paragraph.s) return;
    paragraph.s = std::make_unique<Shaping>();
    paragraph.s->glyphs.assign(paragraph.length, Glyph{});
    auto storage = textStorage();
    if (!storage || paragraph.length == 0) return;
    const std::u16string& text = storage->utf16();
    NSUInteger i = paragraph.start, end = paragraph.start + paragraph.length;
    while (i < end) {
        NSRange run;
        Ref<NSDictionary> attributes = storage->attributesAtIndex(i, &run);
        NSUInteger runEnd = std::min(NSMaxRange(run), end);
        Ref<NSFont> font = fontIn(attributes);
        CGFloat kern = 0;
        if (auto n = dynamic_ref_cast<NSNumber>(attributes->objectForKey(NSKernAttributeName))) kern = n->doubleValue();
        auto attachment = dynamic_ref_cast<NSTextAttachment>(attributes->objectForKey(NSAttachmentAttributeName));
        auto shaped = font->cgFont()->shape(text.substr(i, runEnd - i), font->pointSize());
        for (NSUInteger k = i; k < runEnd; ++k) {
            Glyph& g = paragraph.s->glyphs[k - paragraph.start];
            char16_t c = text[k];
            if (isLineEnd(c) || c == u'\t') {
                g.glyph = NSControlGlyph;
            } else if (c == NSAttachmentCharacter && attachment && attachment->attachmentCell()) {
                g.glyph = NSNullGlyph;
                g.advance = g.natural = attachment->attachmentCell()->cellSize().width;
            } else {
                const auto& s = shaped[k - i];
                g.glyph = s.glyph;
                g.advance = g.natural = s.advance + (g.glyph != NSNullGlyph || s.advance > 0 ? kern : 0);
            }
        }
        auto& fonts = paragraph.s->fonts;
        if (!fonts.empty() && fonts.back().second == font) fonts.back().first = runEnd - paragraph.start;
        else fonts.emplace_back(runEnd - paragraph.start, font);
        i = runEnd;
    }
}

NSLayoutManager::Glyph* NSLayoutManager::glyphPtr(NSUInteger index)
{
    const size_t k = paragraphIndex(index);
    if (m_paragraphs.empty()) return nullptr;
    Paragraph& p = m_paragraphs[k];
    if (index < p.start || index >= p.start + p.length) return nullptr;
    shape(p);
    return &p.s->glyphs[index - p.start];
}

NSUInteger NSLayoutManager::firstUnlaidCharacterIndex() const
{
    if (!m_split) return 0;
    return m_laidOut < m_paragraphs.size() ? m_paragraphs[m_laidOut].start : m_splitEnd;
}

// --- Invalidation ---

void NSLayoutManager::textStorageEdited(const Ref<NSTextStorage>&, NSUInteger mask, NSRange newCharRange,
                                        NSInteger delta, NSRange)
{
    if (mask & (NSTextStorageEditedCharacters | NSTextStorageEditedAttributes)) {
        NSRange actual;
        invalidateGlyphsForCharacterRange(newCharRange, delta, &actual);
    }
    // Views grow and shrink with their text, however the storage was edited.
    for (const auto& c : std::vector<Ref<NSTextContainer>>(m_containers))
        if (auto view = c->textView()) view->sizeToFit();
}

void NSLayoutManager::textContainerChangedGeometry(const Ref<NSTextContainer>&)
{
    m_laidOut = 0;
    clearIsland();
    m_extraValid = false;
    invalidateDisplayForCharacterRange(NSMakeRange(0, 0));
}

void NSLayoutManager::invalidateGlyphsForCharacterRange(NSRange range, NSInteger delta, NSRange* actualRange)
{
    if (!m_split) {
        if (actualRange) *actualRange = range;
        return invalidateAll();
    }
    replaceParagraphs(range, delta);
    if (!actualRange) return;
    // From the edited paragraphs, as far as the text is split.
    *actualRange = range;
    if (!m_split || range.location >= m_splitEnd) return;
    const Paragraph& first = m_paragraphs[paragraphIndex(range.location)];
    NSUInteger end = NSMaxRange(range);
    if (end > 0 && end <= m_splitEnd) {
        const Paragraph& last = m_paragraphs[paragraphIndex(end - 1)];
        end = last.start + last.length;
    }
    *actualRange = NSMakeRange(first.start, std::max(end, first.start) - first.start);
}

void NSLayoutManager::replaceParagraphs(NSRange range, NSInteger delta)
{
    auto storage = textStorage();
    const NSUInteger newLength = storage ? storage->length() : 0;
    const NSUInteger oldLength = static_cast<NSUInteger>(static_cast<NSInteger>(newLength) - delta);
    const NSUInteger oldEnd = static_cast<NSUInteger>(static_cast<NSInteger>(NSMaxRange(range)) - delta);
    if (m_paragraphs.empty() || oldLength == 0 || oldLength != m_length || range.location > oldLength)
        return invalidateAll();
    // Until it is split, the text past the split part is only its length
    // (and the text there is the new one, so nothing is split on here).
    const NSUInteger splitEnd = m_splitEnd;
    m_length = newLength;
    if (range.location > splitEnd) {
        invalidateDisplayForCharacterRange(NSMakeRange(range.location, 0));
        return;
    }

    // The paragraphs the edit touched in the old text: the one before when
    // the edit starts a paragraph (its break may join what comes in), and
    // the one holding the first character after the edit.
    size_t first = range.location >= splitEnd ? m_paragraphs.size() - 1 : paragraphIndex(range.location);
    if (first > 0 && range.location == m_paragraphs[first].start) --first;
    if (oldEnd >= splitEnd && splitEnd < oldLength) {
        // The edit reaches past the split part: what follows its first
        // paragraph is split again when asked for.
        m_paragraphs.erase(m_paragraphs.begin() + static_cast<std::ptrdiff_t>(first), m_paragraphs.end());
        m_splitEnd = m_paragraphs.empty() ? 0 : m_paragraphs.back().start + m_paragraphs.back().length;
        m_laidOut = std::min(m_laidOut, first);
        if (m_island.end > first) clearIsland();
        m_extraValid = false;
        m_cursor = 0;
        invalidateDisplayForCharacterRange(NSMakeRange(m_splitEnd, 0));
        return;
    }
    size_t last = oldEnd >= splitEnd ? m_paragraphs.size() - 1 : paragraphIndex(std::min(oldEnd, oldLength - 1));
    last = std::max(last, first);
    const NSUInteger from = m_paragraphs[first].start;
    const NSUInteger oldTo = m_paragraphs[last].start + m_paragraphs[last].length;
    const NSUInteger newTo = static_cast<NSUInteger>(static_cast<NSInteger>(oldTo) + delta);

    // The laid-out run that holds every edited paragraph: the part laid out
    // from the start, the part laid out further on, or none.
    enum class Run { None, Prefix, Island };
    Run run = Run::None;
    if (last < m_laidOut) run = Run::Prefix;
    else if (hasIsland() && first >= m_island.start && last < m_island.end) run = Run::Island;
    const bool allLaidOut = m_laidOut == m_paragraphs.size() && splitEnd >= oldLength && m_extraValid;
    const NSTypesetter::LayoutPosition oldAfter = m_paragraphs[last].after();

    std::vector<Paragraph> fresh = paragraphsIn(from, newTo);
    const size_t oldCount = last + 1 - first;
    const std::ptrdiff_t countChange =
        static_cast<std::ptrdiff_t>(fresh.size()) - static_cast<std::ptrdiff_t>(oldCount);
    // In place where the counts match, so a long text's tail stays where it is.
    const size_t common = std::min(fresh.size(), oldCount);
    std::move(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(common),
              m_paragraphs.begin() + static_cast<std::ptrdiff_t>(first));
    if (fresh.size() > oldCount)
        m_paragraphs.insert(m_paragraphs.begin() + static_cast<std::ptrdiff_t>(first + common),
                            std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(common)),
                            std::make_move_iterator(fresh.end()));
    else if (oldCount > fresh.size())
        m_paragraphs.erase(m_paragraphs.begin() + static_cast<std::ptrdiff_t>(first + common),
                           m_paragraphs.begin() + static_cast<std::ptrdiff_t>(last + 1));
    const size_t after = first + fresh.size();
    for (size_t k = after; k < m_paragraphs.size(); ++k)
        m_paragraphs[k].start = static_cast<NSUInteger>(static_cast<NSInteger>(m_paragraphs[k].start) + delta);
    m_splitEnd = static_cast<NSUInteger>(static_cast<NSInteger>(splitEnd) + delta);
    m_cursor = first;
    if (m_paragraphs.empty()) return invalidateAll();
    // However it ends, an island next to the laid-out start joins it.
    struct Join {
        NSLayoutManager* manager;
        ~Join() { manager->joinIsland(); }
    } join{this};
    auto moved = [&](size_t index) { return static_cast<size_t>(static_cast<std::ptrdiff_t>(index) + countChange); };

    // A run the edit did not hold: one after it keeps its layout under its
    // new numbers, one it cut into loses what follows the cut.
    if (hasIsland() && run != Run::Island) {
        if (last < m_island.start) m_island.start = moved(m_island.start), m_island.end = moved(m_island.end);
        else if (first < m_island.end) clearIsland();
    }
    if (run != Run::Prefix && first < m_laidOut) m_laidOut = first;

    // Later paragraphs move when nothing about them depends on what came
    // before but their top: one container that holds them all.
    Ref<NSTypesetter> typesetter = m_typesetter ? m_typesetter : NSTypesetter::sharedSystemTypesetter();
    // A large insertion is laid out lazily like any text not shown yet.
    const bool movable = run != Run::None && m_containers.size() == 1 && typesetter->laysOutParagraphsIndependently() &&
                         !oldAfter.full && newTo - from <= kNearCharacters;
    if (!movable) {
        if (run == Run::Island) clearIsland();
        m_laidOut = std::min(m_laidOut, first);
        m_extraValid = false;
        invalidateDisplayForCharacterRange(NSMakeRange(from, 0));
        return;
    }
    size_t& runEnd = run == Run::Prefix ? m_laidOut : m_island.end;
    const size_t runStart = run == Run::Prefix ? 0 : m_island.start;
    runEnd = moved(runEnd);
    const size_t laidOutAfter = runEnd;
    // Lay out the new paragraphs where the old ones began.
    NSTypesetter::LayoutPosition position = first > runStart     ? m_paragraphs[first - 1].after()
                                            : run == Run::Prefix ? NSTypesetter::LayoutPosition{}
                                                                 : NSTypesetter::LayoutPosition{0, m_island.top, false};
    for (size_t k = first; k < after; ++k) layOutParagraph(k, position);
    const CGFloat dy = position.y - oldAfter.y;
    if (run == Run::Island) {
        if (position.full) clearIsland();
        else moveParagraphs(after, laidOutAfter, dy);
        invalidateDisplayForCharacterRange(NSMakeRange(from, 0));
        return;
    }
    const CGFloat height = m_containers.front()->containerSize().height;
    CGFloat bottom = laidOutAfter > after ? m_paragraphs[laidOutAfter - 1].after().y + dy : position.y;
    if (allLaidOut && m_extraContainer >= 0) bottom = std::max(bottom, NSMaxY(m_extraRect) + dy);
    if (position.full || bottom > height + 1e-9) {
        m_laidOut = after;
        m_extraValid = false;
        clearIsland();
    } else {
        moveParagraphs(after, laidOutAfter, dy);
        if (hasIsland()) moveParagraphs(m_island.start, m_island.end, dy), m_island.top += dy;
        if (m_extraValid && allLaidOut && m_extraContainer >= 0) m_extraRect.origin.y += dy, m_extraUsed.origin.y += dy;
        // The extra fragment depends on the text's last character.
        if (after == m_paragraphs.size() && allSplit()) m_extraValid = false;
    }
    invalidateDisplayForCharacterRange(NSMakeRange(from, 0));
}

void NSLayoutManager::invalidateLayoutForCharacterRange(NSRange range, NSRange* actualRange)
{
    splitParagraphs();
    const NSUInteger length = m_length;
    size_t k = length == 0 ? 0 : paragraphIndex(std::min(range.location, length - 1));
    // Later lines may move with any change: layout goes on from here.
    m_laidOut = std::min(m_laidOut, k);
    if (m_island.end > k) clearIsland();
    m_extraValid = false;
    NSUInteger start = m_paragraphs.empty() ? 0 : m_paragraphs[k].start;
    if (actualRange) *actualRange = NSMakeRange(start, length - start);
    invalidateDisplayForCharacterRange(range);
}

void NSLayoutManager::invalidateDisplayForCharacterRange(NSRange)
{
    for (const auto& c : m_containers)
        if (auto view = c->textView()) view->setNeedsDisplay(true);
}

void NSLayoutManager::invalidateAll()
{
    m_split = false;
    m_paragraphs.clear();
    m_laidOut = 0;
    clearIsland();
    m_extraValid = false;
    invalidateDisplayForCharacterRange(NSMakeRange(0, 0));
}

void NSLayoutManager::ensureGlyphsForCharacterRange(NSRange range)
{
    splitParagraphs();
    if (m_length == 0) return;
    size_t first = paragraphIndex(range.location);
    size_t last = paragraphIndex(NSMaxRange(range) > 0 ? NSMaxRange(range) - 1 : 0);
    for (size_t k = first; k <= last && k < m_paragraphs.size(); ++k) shape(m_paragraphs[k]);
}

void NSLayoutManager::ensureLayoutForTextContainer(const Ref<NSTextContainer>&) { ensureLayout(); }

void NSLayoutManager::ensureLayoutForCharacterRange(NSRange range)
{
    splitParagraphs();
    if (m_length == 0) return ensureLayout();
    NSUInteger end = NSMaxRange(range);
    const NSUInteger length = m_length;
    if (end >= length && !islandsAllowed()) return ensureLayout();
    ensureParagraphsLaidOut(paragraphIndex(std::min(range.location, length - 1)),
                            paragraphIndex(std::min(end, length) > 0 ? std::min(end, length) - 1 : 0));
}

void NSLayoutManager::ensureLayoutForBoundingRect(const NSRect& bounds, const Ref<NSTextContainer>& container)
{
    layOutRect(containerIndex(container), NSMinY(bounds), NSMaxY(bounds));
}

void NSLayoutManager::layOutParagraph(size_t index, NSTypesetter::LayoutPosition& position)
{
    Ref<NSTypesetter> typesetter = m_typesetter ? m_typesetter : NSTypesetter::sharedSystemTypesetter();
    Paragraph& p = m_paragraphs[index];
    shape(p);
    p.s->fragments.clear();
    for (Glyph& g : p.s->glyphs) g.fragment = -1, g.location = NSZeroPoint, g.advance = g.natural;
    const bool nested = m_layingOut;
    const size_t outer = m_layingParagraph;
    m_layingOut = true;
    m_layingParagraph = index;
    try {
        typesetter->layoutParagraph(this, NSMakeRange(p.start, p.length), position);
    } catch (...) {
        m_layingOut = nested, m_layingParagraph = outer;
        throw;
    }
    m_layingOut = nested, m_layingParagraph = outer;
    m_paragraphs[index].s->after = position;
}

void NSLayoutManager::moveParagraphs(size_t from, size_t to, CGFloat dy)
{
    if (dy == 0) return;
    for (size_t k = from; k < to; ++k) {
        Paragraph& p = m_paragraphs[k];
        if (!p.s) continue;
        for (Fragment& f : p.s->fragments) f.rect.origin.y += dy, f.used.origin.y += dy;
        p.s->after.y += dy;
    }
}

void NSLayoutManager::layOutThrough(size_t target)
{
    splitParagraphs();
    if (m_layingOut) return;
    const bool all = target == SIZE_MAX;
    if (m_laidOut > target && !all) return;
    if (all && laidOutToEnd() && m_extraValid) return;
    if (m_containers.empty()) return;
    if (all) paragraphCount();
    else splitTo(target);
    const size_t end = all ? m_paragraphs.size() : std::min(target + 1, m_paragraphs.size());
    while (m_laidOut < end) {
        // Layout that reaches the part laid out further on takes it over.
        if (hasIsland() && m_laidOut == m_island.start) {
            mergeIsland();
            continue;
        }
        NSTypesetter::LayoutPosition position =
            m_laidOut > 0 ? m_paragraphs[m_laidOut - 1].after() : NSTypesetter::LayoutPosition{};
        layOutParagraph(m_laidOut, position);
        ++m_laidOut;
        keepIslandBelowPrefix();
    }
    joinIsland();
    if (laidOutToEnd() && !m_extraValid) {
        NSTypesetter::LayoutPosition position =
            m_laidOut > 0 ? m_paragraphs[m_laidOut - 1].after() : NSTypesetter::LayoutPosition{};
        m_extraRect = m_extraUsed = NSZeroRect;
        m_extraContainer = -1;
        auto storage = textStorage();
        const std::u16string empty;
        const std::u16string& text = storage ? storage->utf16() : empty;
        Ref<NSTypesetter> typesetter = m_typesetter ? m_typesetter : NSTypesetter::sharedSystemTypesetter();
        m_layingOut = true;
        try {
            if (text.empty() || isLineEnd(text.back())) typesetter->layoutExtraLineFragment(this, position);
        } catch (...) {
            m_layingOut = false;
            throw;
        }
        m_layingOut = false;
        m_extraValid = true;
    }
}

void NSLayoutManager::layOutBelow(int container, CGFloat y)
{
    splitParagraphs();
    while (splitTo(m_laidOut)) {
        const NSTypesetter::LayoutPosition at =
            m_laidOut > 0 ? m_paragraphs[m_laidOut - 1].after() : NSTypesetter::LayoutPosition{};
        if (at.full || static_cast<int>(at.container) > container ||
            (static_cast<int>(at.container) == container && at.y >= y))
            return;
        // Paragraphs in slices: one query never lays out one at a time.
        const size_t before = m_laidOut;
        layOutThrough(m_laidOut + 63);
        if (m_laidOut == before) return;
    }
    ensureLayout();
}

int NSLayoutManager::containerIndex(const Ref<NSTextContainer>& container) const
{
    for (size_t i = 0; i < m_containers.size(); ++i)
        if (m_containers[i] == container) return static_cast<int>(i);
    return -1;
}

// --- Glyphs ---

bool NSLayoutManager::isValidGlyphIndex(NSUInteger index) { return index < numberOfGlyphs(); }

NSGlyph NSLayoutManager::glyphAtIndex(NSUInteger index)
{
    if (!isValidGlyphIndex(index)) NSException::raise(NSRangeException, "glyphAtIndex: index out of bounds");
    return glyphPtr(index)->glyph;
}

NSGlyph NSLayoutManager::glyphAtIndex(NSUInteger index, bool* isValidIndex)
{
    bool valid = isValidGlyphIndex(index);
    if (isValidIndex) *isValidIndex = valid;
    return valid ? glyphPtr(index)->glyph : NSNullGlyph;
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
    if (attribute != NSGlyphAttributeBidiLevel || !isValidGlyphIndex(glyphIndex)) return 0;
    ensureParagraphLaidOut(paragraphIndex(glyphIndex));
    return glyphPtr(glyphIndex)->bidiLevel;
}

void NSLayoutManager::setIntAttribute(NSInteger attribute, NSInteger value, NSUInteger glyphIndex)
{
    if (attribute != NSGlyphAttributeBidiLevel || !isValidGlyphIndex(glyphIndex)) return;
    glyphPtr(glyphIndex)->bidiLevel = static_cast<uint8_t>(value);
}

CGFloat NSLayoutManager::advanceForGlyphAtIndex(NSUInteger index)
{
    if (!isValidGlyphIndex(index)) return 0;
    return glyphPtr(index)->advance;
}

Ref<NSFont> NSLayoutManager::fontForGlyphAtIndex(NSUInteger index)
{
    if (!isValidGlyphIndex(index)) return fontIn(nullptr);
    Paragraph& p = m_paragraphs[paragraphIndex(index)];
    shape(p);
    NSUInteger local = index - p.start;
    for (const auto& [end, font] : p.s->fonts)
        if (local < end) return font;
    return fontIn(nullptr);
}

Ref<NSTextAttachmentCell> NSLayoutManager::attachmentCellForGlyphAtIndex(NSUInteger index)
{
    // An attachment with a cell has a null glyph: most glyphs need no look-up.
    if (const Glyph* g = isValidGlyphIndex(index) ? glyphPtr(index) : nullptr; g && g->glyph != NSNullGlyph)
        return nullptr;
    auto storage = textStorage();
    if (!storage || index >= storage->length() || storage->utf16()[index] != NSAttachmentCharacter) return nullptr;
    auto attachment =
        dynamic_ref_cast<NSTextAttachment>(storage->attributeAtIndex(NSAttachmentAttributeName, index, nullptr));
    return attachment ? attachment->attachmentCell() : nullptr;
}

// --- Set by the typesetter ---

void NSLayoutManager::setTextContainer(const Ref<NSTextContainer>& container, NSRange)
{
    int c = containerIndex(container);
    if (c >= 0) m_currentContainer = c;
}

void NSLayoutManager::setLineFragmentRect(const NSRect& rect, NSRange glyphRange, const NSRect& usedRect,
                                          CGFloat baselineOffset)
{
    if (!m_layingOut || m_layingParagraph >= m_paragraphs.size()) return;
    Paragraph& p = m_paragraphs[m_layingParagraph];
    if (!p.s) return;
    NSUInteger start = std::clamp(glyphRange.location, p.start, p.start + p.length);
    NSUInteger end = std::clamp(NSMaxRange(glyphRange), start, p.start + p.length);
    p.s->fragments.push_back(
        {rect, usedRect, NSMakeRange(start - p.start, end - start), baselineOffset, m_currentContainer});
    int f = static_cast<int>(p.s->fragments.size() - 1);
    for (NSUInteger i = start; i < end; ++i) p.s->glyphs[i - p.start].fragment = f;
}

void NSLayoutManager::setLocation(NSPoint location, NSUInteger glyphIndex)
{
    if (Glyph* g = isValidGlyphIndex(glyphIndex) ? glyphPtr(glyphIndex) : nullptr) g->location = location;
}

void NSLayoutManager::setAdvance(CGFloat advance, NSUInteger glyphIndex)
{
    if (Glyph* g = isValidGlyphIndex(glyphIndex) ? glyphPtr(glyphIndex) : nullptr) g->advance = advance;
}

void NSLayoutManager::setExtraLineFragmentRect(const NSRect& rect, const NSRect& usedRect,
                                               const Ref<NSTextContainer>& container)
{
    m_extraRect = rect;
    m_extraUsed = usedRect;
    m_extraContainer = containerIndex(container);
}

// --- Layout results ---

std::optional<NSLayoutManager::Fragment> NSLayoutManager::fragmentOfGlyph(NSUInteger index)
{
    if (!isValidGlyphIndex(index)) return std::nullopt;
    size_t k = paragraphIndex(index);
    ensureParagraphLaidOut(k);
    if (!isLaidOut(k)) return std::nullopt;
    const Paragraph& p = m_paragraphs[k];
    int f = p.s->glyphs[index - p.start].fragment;
    if (f < 0) return std::nullopt;
    Fragment out = p.s->fragments[static_cast<size_t>(f)];
    out.glyphs.location += p.start;
    return out;
}

NSRange NSLayoutManager::glyphRangeForTextContainer(const Ref<NSTextContainer>& container)
{
    ensureLayout();
    int c = containerIndex(container);
    NSRange r = NSMakeRange(NSNotFound, 0);
    if (c < 0) return r;
    forEachFragment(0, m_paragraphs.size(), [&](const Fragment& f) {
        if (f.container == c) r = r.location == NSNotFound ? f.glyphs : NSUnionRange(r, f.glyphs);
        return f.container <= c;
    });
    return r;
}

Ref<NSTextContainer> NSLayoutManager::textContainerForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange)
{
    auto f = fragmentOfGlyph(index);
    if (!f) {
        if (effectiveGlyphRange) *effectiveGlyphRange = NSMakeRange(NSNotFound, 0);
        return nullptr;
    }
    auto container = m_containers[static_cast<size_t>(f->container)];
    if (effectiveGlyphRange) *effectiveGlyphRange = glyphRangeForTextContainer(container);
    return container;
}

NSRect NSLayoutManager::usedRectForTextContainer(const Ref<NSTextContainer>& container)
{
    int c = containerIndex(container);
    if (c == 0)
        if (auto estimate = estimatedUsedRect()) return *estimate;
    ensureLayout();
    NSRect used = NSZeroRect;
    bool any = false;
    auto add = [&](const NSRect& r) {
        used = any ? NSUnionRect(used, r) : r;
        any = true;
    };
    forEachFragment(0, m_paragraphs.size(), [&](const Fragment& f) {
        if (f.container == c) add(f.used);
        return true;
    });
    if (m_extraContainer == c && c >= 0) add(m_extraUsed);
    return used;
}

NSRect NSLayoutManager::lineFragmentRectForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange)
{
    auto f = fragmentOfGlyph(index);
    if (effectiveGlyphRange) *effectiveGlyphRange = f ? f->glyphs : NSMakeRange(NSNotFound, 0);
    return f ? f->rect : NSZeroRect;
}

NSRect NSLayoutManager::lineFragmentUsedRectForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange)
{
    auto f = fragmentOfGlyph(index);
    if (effectiveGlyphRange) *effectiveGlyphRange = f ? f->glyphs : NSMakeRange(NSNotFound, 0);
    return f ? f->used : NSZeroRect;
}

NSPoint NSLayoutManager::locationForGlyphAtIndex(NSUInteger index)
{
    return fragmentOfGlyph(index) ? glyphPtr(index)->location : NSZeroPoint;
}

CGFloat NSLayoutManager::baselineOffsetForGlyphAtIndex(NSUInteger index)
{
    auto f = fragmentOfGlyph(index);
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
    int c = containerIndex(container);
    layOutRect(c, NSMinY(bounds), NSMaxY(bounds));
    NSRange r = NSMakeRange(NSNotFound, 0);
    // The first paragraph that reaches into the rectangle.
    const size_t first = m_containers.size() == 1 ? firstParagraphReaching(NSMinY(bounds)) : 0;
    forEachFragment(first, m_paragraphs.size(), [&](const Fragment& f) {
        if (f.container > c || (f.container == c && NSMinY(f.rect) >= NSMaxY(bounds))) return false;
        if (f.container != c || NSMaxY(f.rect) <= NSMinY(bounds)) return true;
        r = r.location == NSNotFound ? f.glyphs : NSUnionRange(r, f.glyphs);
        return true;
    });
    return r.location == NSNotFound ? NSMakeRange(0, 0) : r;
}

std::pair<CGFloat, CGFloat> NSLayoutManager::glyphSpan(NSRange range)
{
    CGFloat lo = INFINITY, hi = -INFINITY;
    NSUInteger n = numberOfGlyphs();
    for (NSUInteger i = range.location; i < NSMaxRange(range) && i < n; ++i) {
        auto f = fragmentOfGlyph(i);
        if (!f) continue;
        const Glyph& g = *glyphPtr(i);
        CGFloat x = f->rect.origin.x + g.location.x;
        lo = std::min(lo, x);
        hi = std::max(hi, x + g.advance);
    }
    return {lo, hi};
}

NSRect NSLayoutManager::boundingRectForGlyphRange(NSRange range, const Ref<NSTextContainer>& container)
{
    int c = containerIndex(container);
    NSRect box = NSZeroRect;
    bool any = false;
    NSUInteger n = numberOfGlyphs();
    for (NSUInteger i = range.location; i < NSMaxRange(range) && i < n; ++i) {
        auto f = fragmentOfGlyph(i);
        if (!f || f->container != c) continue;
        const Glyph& g = *glyphPtr(i);
        NSRect r = NSMakeRect(f->rect.origin.x + g.location.x, f->rect.origin.y, g.advance, f->rect.size.height);
        box = any ? NSUnionRect(box, r) : r;
        any = true;
    }
    return box;
}

NSUInteger NSLayoutManager::glyphIndexForPoint(NSPoint point, const Ref<NSTextContainer>& container, CGFloat* fraction)
{
    if (fraction) *fraction = 0;
    int c = containerIndex(container);
    layOutRect(c, point.y, point.y + 1);
    std::optional<Fragment> line;
    size_t first = 0;
    if (m_containers.size() == 1 && (m_laidOut > 0 || hasIsland())) {
        first = firstParagraphReaching(point.y);
        // The line above may be the nearest when the point is past the end.
        const size_t start = hasIsland() && point.y >= m_island.top ? m_island.start : 0;
        while (first > start && (!isLaidOut(first) || m_paragraphs[first].s->fragments.empty())) --first;
        if (first > start) --first;
    }
    forEachFragment(first, m_paragraphs.size(), [&](const Fragment& f) {
        if (f.container != c) return f.container < c;
        if (!line || NSMinY(f.rect) <= point.y) line = f;
        return !(point.y < NSMaxY(f.rect));
    });
    if (!line) return numberOfGlyphs();
    // The glyph under x, else the visually nearest one (breaks and null
    // glyphs take no room and are never hit).
    NSUInteger best = line->glyphs.location;
    CGFloat bestDistance = INFINITY, bestFraction = 0;
    for (NSUInteger i = line->glyphs.location; i < NSMaxRange(line->glyphs); ++i) {
        const Glyph& g = *glyphPtr(i);
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
    NSUInteger n = numberOfGlyphs();
    int c = containerIndex(container);
    if (n == 0) return 0;
    layOutRect(c, point.y, point.y + 1);
    if (laidOutToEnd()) {
        ensureLayout();
        if (m_extraContainer == c && c >= 0 && point.y >= NSMinY(m_extraRect)) return n;
    }
    CGFloat fraction = 0;
    NSUInteger i = glyphIndexForPoint(point, container, &fraction);
    if (i >= n) return n;
    auto storage = textStorage();
    const std::u16string& text = storage->utf16();
    bool rtl = glyphPtr(i)->bidiLevel & 1;
    bool after = rtl ? fraction < 0.5 : fraction >= 0.5;
    if (isLineEnd(text[i])) after = false;
    NSUInteger index = after ? i + 1 : i;
    // Never inside a surrogate pair or before a merged mark.
    while (index < n && index > 0 && glyphPtr(index)->glyph == NSNullGlyph && glyphPtr(index)->advance == 0 &&
           !isLineEnd(text[index]) && text[index] != NSAttachmentCharacter)
        ++index;
    return index;
}

std::vector<NSRect> NSLayoutManager::rectArrayForCharacterRange(NSRange range, NSRange,
                                                                const Ref<NSTextContainer>& container)
{
    std::vector<NSRect> rects;
    int c = containerIndex(container);
    NSUInteger n = numberOfGlyphs();
    auto storage = textStorage();
    if (range.length == 0) {
        NSUInteger i = range.location;
        bool atEnd = n == 0 || (i >= n && isLineEnd(storage->utf16()[n - 1]));
        if (atEnd && n > 0 && islandsAllowed()) {
            // Far past what is laid out, the caret goes on the extra
            // fragment below the last paragraph, laid out on its own.
            const size_t last = paragraphCount() - 1;
            ensureParagraphLaidOut(last);
            if (hasIsland() && m_island.end == m_paragraphs.size()) {
                NSTypesetter::LayoutPosition position = m_paragraphs[last].after();
                Ref<NSTypesetter> typesetter = m_typesetter ? m_typesetter : NSTypesetter::sharedSystemTypesetter();
                m_extraContainer = -1;
                m_layingOut = true;
                typesetter->layoutExtraLineFragment(this, position);
                m_layingOut = false;
                if (m_extraContainer == c && c >= 0) {
                    CGFloat padding = container ? container->lineFragmentPadding() : 0;
                    rects.push_back(
                        NSMakeRect(m_extraUsed.origin.x + padding, m_extraRect.origin.y, 1, m_extraRect.size.height));
                }
                return rects;
            }
        }
        if (atEnd) {
            ensureLayout();
            if (m_extraContainer == c && c >= 0) {
                CGFloat padding = container ? container->lineFragmentPadding() : 0;
                rects.push_back(
                    NSMakeRect(m_extraUsed.origin.x + padding, m_extraRect.origin.y, 1, m_extraRect.size.height));
            }
            return rects;
        }
        bool end = i >= n;
        NSUInteger g = end ? n - 1 : i;
        auto f = fragmentOfGlyph(g);
        if (!f || f->container != c) return rects;
        const Glyph& glyph = *glyphPtr(g);
        CGFloat x = f->rect.origin.x + glyph.location.x;
        bool rtl = glyph.bidiLevel & 1;
        if (end != rtl) x += glyph.advance;
        rects.push_back(NSMakeRect(x, f->rect.origin.y, 1, f->rect.size.height));
        return rects;
    }
    NSUInteger last = std::min(NSMaxRange(range), n);
    if (range.location >= last) return rects;
    size_t first = paragraphIndex(range.location), lastParagraph = paragraphIndex(last - 1);
    ensureParagraphsLaidOut(first, lastParagraph);
    std::vector<Fragment> fragments;
    forEachFragment(first, lastParagraph + 1, [&](const Fragment& f) {
        fragments.push_back(f);
        return true;
    });
    for (const Fragment& f : fragments) {
        if (f.container != c) continue;
        NSRange part = NSIntersectionRange(f.glyphs, range);
        if (part.length == 0) continue;
        auto [lo, hi] = glyphSpan(part);
        // A selected line break reaches to the end of its fragment.
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
    auto storage = textStorage();
    if (!storage) return;
    auto offset = [&](std::vector<NSRect> rects, const Ref<NSTextContainer>&) {
        for (NSRect& r : rects) r.origin.x += origin.x, r.origin.y += origin.y;
        return rects;
    };
    NSUInteger end = std::min<NSUInteger>(NSMaxRange(range), numberOfGlyphs());
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
    auto storage = textStorage();
    // Without a context the hooks still run: a subclass may collect glyphs
    // or outlines instead of painting.
    CGContext* port = currentPort();
    if (!storage) return;
    const std::u16string& text = storage->utf16();
    NSUInteger end = std::min<NSUInteger>(NSMaxRange(range), numberOfGlyphs());
    NSUInteger i = range.location;
    while (i < end) {
        auto f = fragmentOfGlyph(i);
        if (!f) {
            ++i;
            continue;
        }
        // A run: equal attributes, one direction, one line fragment.
        NSRange attributesRun;
        Ref<NSDictionary> attributes = storage->attributesAtIndex(i, &attributesRun);
        NSUInteger runEnd = std::min({end, NSMaxRange(attributesRun), NSMaxRange(f->glyphs)});
        bool rtl = glyphPtr(i)->bidiLevel & 1;
        NSUInteger j = i + 1;
        while (j < runEnd && ((glyphPtr(j)->bidiLevel & 1) == rtl)) ++j;
        NSRange run = NSMakeRange(i, j - i);

        Ref<NSFont> font = fontIn(attributes);
        std::vector<NSGlyph> glyphs;
        std::vector<NSPoint> positions;
        for (NSUInteger k = run.location; k < NSMaxRange(run); ++k) {
            const Glyph& glyph = *glyphPtr(k);
            NSPoint at = NSMakePoint(origin.x + f->rect.origin.x + glyph.location.x,
                                     origin.y + f->rect.origin.y + glyph.location.y);
            if (auto cell = attachmentCellForGlyphAtIndex(k)) {
                NSRect frame = cell->cellFrameForTextContainer(m_containers[static_cast<size_t>(f->container)], f->rect,
                                                               glyph.location, k);
                // Flipped: the origin is the cell's bottom-left corner.
                showAttachmentCell(
                    cell, NSMakeRect(at.x + frame.origin.x, at.y - frame.origin.y, frame.size.width, frame.size.height),
                    k);
                continue;
            }
            if (glyph.glyph == NSNullGlyph || glyph.glyph == NSControlGlyph) continue;
            glyphs.push_back(glyph.glyph);
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
    if (glyphRange.length == 0 || glyphRange.location >= numberOfGlyphs()) return NSZeroRect;
    Ref<NSFont> font = fontForGlyphAtIndex(glyphRange.location);
    auto [lo, hi] = glyphSpan(glyphRange);
    CGFloat baseline = containerOrigin.y + lineFragmentRect.origin.y + glyphPtr(glyphRange.location)->location.y;
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
    CGFloat baseline = containerOrigin.y + lineFragmentRect.origin.y + glyphPtr(glyphRange.location)->location.y;
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
