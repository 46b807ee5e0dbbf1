#pragma once
// The layout engine: glyphs for the characters of a text storage, line
// fragments in one or more text containers, and drawing through overridable
// hooks.
//
// Glyph index equals character index: ligatures are off, the second unit of a
// surrogate pair and a mark that shaping merges into its base get
// NSNullGlyph, line and paragraph separators and tabs NSControlGlyph, an
// attachment character a null glyph as wide as its cell.
//
// Coordinates: a container is y down; line fragments have their top-left
// corner as origin; a glyph's location is relative to its fragment (x
// includes the padding, y is the baseline's distance from the fragment's
// top). Drawing takes the container's origin in the (flipped) view.
//
// Glyphs and fragments are kept per paragraph. An edit re-shapes and lays
// out again only the paragraphs it touched; later paragraphs keep their
// glyphs and move. Layout runs as far as queries and drawing need.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSTextContainer.h"
#include "AppKit/NSTextStorage.h"
#include "AppKit/NSTypesetter.h"
#include "CoreGraphics/CGContext.h"

class NSTextView;
class NSTextAttachmentCell;

inline constexpr NSGlyph NSNullGlyph = 0;
inline constexpr NSGlyph NSControlGlyph = 0x00FFFFFF;

// intAttribute: keys.
enum : NSInteger {
    NSGlyphAttributeSoft = 0,
    NSGlyphAttributeElastic = 1,
    NSGlyphAttributeBidiLevel = 2,
    NSGlyphAttributeInscribe = 5
};

class NSLayoutManager : public NSObject {
    NS_OBJECT(NSLayoutManager, NSObject)
protected:
    NSLayoutManager() = default;

public:
    Id init() override;

    // --- Storage and containers ---
    // Not retained (the storage retains its layout managers).
    Ref<NSTextStorage> textStorage() const { return m_storage.get(); }
    // Called by the storage; use NSTextStorage::addLayoutManager.
    void setTextStorage(const Ref<NSTextStorage>& storage);
    // Moves every layout manager of the current storage to the new one.
    void replaceTextStorage(const Ref<NSTextStorage>& storage);
    const std::vector<Ref<NSTextContainer>>& textContainers() const { return m_containers; }
    void addTextContainer(const Ref<NSTextContainer>& container);
    void insertTextContainer(const Ref<NSTextContainer>& container, NSUInteger index);
    void removeTextContainerAtIndex(NSUInteger index);
    Ref<NSTextView> firstTextView() const;
    Ref<NSTypesetter> typesetter() const { return m_typesetter; }
    void setTypesetter(const Ref<NSTypesetter>& typesetter);
    // Metrics are always unhinted here; kept for callers that set it.
    bool usesScreenFonts() const { return m_usesScreenFonts; }
    void setUsesScreenFonts(bool flag) { m_usesScreenFonts = flag; }
    CGFloat defaultLineHeightForFont(const Ref<NSFont>& font) const;

    // --- Invalidation ---
    // The storage's report of an edit (ranges in the text after it).
    virtual void textStorageEdited(const Ref<NSTextStorage>& storage, NSUInteger mask, NSRange newCharRange,
                                   NSInteger delta, NSRange invalidatedCharRange);
    void textContainerChangedGeometry(const Ref<NSTextContainer>& container);
    void invalidateGlyphsForCharacterRange(NSRange range, NSInteger delta, NSRange* actualRange);
    void invalidateLayoutForCharacterRange(NSRange range, NSRange* actualRange);
    void invalidateDisplayForCharacterRange(NSRange range);
    // Layout is lazy: these lay out what they name (and what comes before
    // it); queries do so for what they ask about.
    void ensureGlyphsForCharacterRange(NSRange range);
    void ensureLayoutForTextContainer(const Ref<NSTextContainer>& container);
    void ensureLayoutForCharacterRange(NSRange range);
    void ensureLayoutForBoundingRect(const NSRect& bounds, const Ref<NSTextContainer>& container);

    // --- Glyphs ---
    // From the paragraphs, which follow every edit: layout asks this per
    // glyph, and the storage is only reachable through a weak reference.
    NSUInteger numberOfGlyphs()
    {
        splitParagraphs();
        return m_length;
    }
    bool isValidGlyphIndex(NSUInteger index);
    // Raises NSRangeException past the end.
    NSGlyph glyphAtIndex(NSUInteger index);
    NSGlyph glyphAtIndex(NSUInteger index, bool* isValidIndex);
    NSUInteger characterIndexForGlyphAtIndex(NSUInteger index) { return index; }
    NSUInteger glyphIndexForCharacterAtIndex(NSUInteger index) { return index; }
    NSRange glyphRangeForCharacterRange(NSRange range, NSRange* actualCharacterRange);
    NSRange characterRangeForGlyphRange(NSRange range, NSRange* actualGlyphRange);
    // NSGlyphAttributeBidiLevel answers the glyph's embedding level (odd:
    // right to left); other keys answer 0.
    NSInteger intAttribute(NSInteger attribute, NSUInteger glyphIndex);
    void setIntAttribute(NSInteger attribute, NSInteger value, NSUInteger glyphIndex);
    // The shaped advance plus kern (a tab's is set by layout).
    CGFloat advanceForGlyphAtIndex(NSUInteger index);
    Ref<NSFont> fontForGlyphAtIndex(NSUInteger index);
    // The attachment cell at a glyph, or nil.
    Ref<NSTextAttachmentCell> attachmentCellForGlyphAtIndex(NSUInteger index);

    // --- Layout results ---
    NSRange glyphRangeForTextContainer(const Ref<NSTextContainer>& container);
    Ref<NSTextContainer> textContainerForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange);
    NSRect usedRectForTextContainer(const Ref<NSTextContainer>& container);
    NSRect lineFragmentRectForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange);
    NSRect lineFragmentUsedRectForGlyphAtIndex(NSUInteger index, NSRange* effectiveGlyphRange);
    NSPoint locationForGlyphAtIndex(NSUInteger index);
    // The typesetter's baseline offset of the glyph's line fragment: from
    // the fragment's bottom up to the baseline.
    CGFloat baselineOffsetForGlyphAtIndex(NSUInteger index);
    // The empty fragment after a final line break (or of an empty text).
    NSRect extraLineFragmentRect();
    NSRect extraLineFragmentUsedRect();
    Ref<NSTextContainer> extraLineFragmentTextContainer();
    NSRange glyphRangeForBoundingRect(const NSRect& bounds, const Ref<NSTextContainer>& container);
    NSRect boundingRectForGlyphRange(NSRange range, const Ref<NSTextContainer>& container);
    // The glyph under the point, or the nearest one on the nearest line;
    // fraction is how far through the glyph the point lies (0 to 1).
    NSUInteger glyphIndexForPoint(NSPoint point, const Ref<NSTextContainer>& container, CGFloat* fraction = nullptr);
    CGFloat fractionOfDistanceThroughGlyphForPoint(NSPoint point, const Ref<NSTextContainer>& container);
    // The caret position for a point: before or after the nearest glyph.
    NSUInteger characterIndexForInsertionAtPoint(NSPoint point, const Ref<NSTextContainer>& container);
    // Highlight rectangles of a character range; an empty range gives the
    // caret rectangle (one point wide).
    std::vector<NSRect> rectArrayForCharacterRange(NSRange range, NSRange selectedRange,
                                                   const Ref<NSTextContainer>& container);

    // --- Set by the typesetter ---
    void setTextContainer(const Ref<NSTextContainer>& container, NSRange glyphRange);
    void setLineFragmentRect(const NSRect& rect, NSRange glyphRange, const NSRect& usedRect, CGFloat baselineOffset);
    void setLocation(NSPoint location, NSUInteger glyphIndex);
    void setAdvance(CGFloat advance, NSUInteger glyphIndex);
    void setExtraLineFragmentRect(const NSRect& rect, const NSRect& usedRect, const Ref<NSTextContainer>& container);

    // --- Drawing (origin: the container's origin in the current, flipped, view) ---
    virtual void drawBackgroundForGlyphRange(NSRange range, NSPoint origin);
    virtual void drawGlyphsForGlyphRange(NSRange range, NSPoint origin);
    // One call per run of glyphs with equal attributes and direction on a
    // line; positions are baseline points in the view, in logical order (a
    // right-to-left run's go right to left). The context is the current
    // one, or null when there is none (the default then draws nothing).
    virtual void showCGGlyphs(const NSGlyph* glyphs, const NSPoint* positions, NSUInteger count,
                              const Ref<NSFont>& font, const CGAffineTransform& textMatrix,
                              const Ref<NSDictionary>& attributes, CGContext* context);
    virtual void showAttachmentCell(const Ref<NSTextAttachmentCell>& cell, const NSRect& rect,
                                    NSUInteger characterIndex);
    // baselineOffset is the typesetter's (see baselineOffsetForGlyphAtIndex).
    virtual void drawUnderlineForGlyphRange(NSRange glyphRange, NSInteger underlineType, CGFloat baselineOffset,
                                            const NSRect& lineFragmentRect, NSRange lineFragmentGlyphRange,
                                            NSPoint containerOrigin);
    virtual void drawStrikethroughForGlyphRange(NSRange glyphRange, NSInteger strikethroughType, CGFloat baselineOffset,
                                                const NSRect& lineFragmentRect, NSRange lineFragmentGlyphRange,
                                                NSPoint containerOrigin);
    // The rectangle the default underline fills, in the view.
    NSRect underlineRectForGlyphRange(NSRange glyphRange, NSInteger underlineType, const NSRect& lineFragmentRect,
                                      NSPoint containerOrigin);
    NSRect strikethroughRectForGlyphRange(NSRange glyphRange, NSInteger strikethroughType,
                                          const NSRect& lineFragmentRect, NSPoint containerOrigin);
    virtual void fillBackgroundRectArray(const std::vector<NSRect>& rects, NSRange characterRange,
                                         const Ref<NSColor>& color);

    // With non-contiguous layout allowed, the used rectangle of a text not
    // yet laid out to its end is an estimate from the paragraphs laid out,
    // and idle time on the main run loop lays out the rest in slices (each
    // well under a frame), after which the views size themselves anew.
    bool allowsNonContiguousLayout() const { return m_allowsNonContiguousLayout; }
    void setAllowsNonContiguousLayout(bool flag) { m_allowsNonContiguousLayout = flag; }
    // Whether part of the text is not laid out yet.
    bool hasNonContiguousLayout();
    // The first character not laid out yet (tests and benchmarks see how far
    // layout went).
    NSUInteger firstUnlaidCharacterIndex() const;

private:
    struct Glyph {
        NSGlyph glyph = NSNullGlyph;
        int fragment = -1;  // in its paragraph
        // As laid out (tabs, justified spaces) and as shaped.
        CGFloat advance = 0, natural = 0;
        NSPoint location;
        uint8_t bidiLevel = 0;
    };
    // Glyph ranges absolute when handed out; kept relative to the paragraph.
    struct Fragment {
        NSRect rect, used;
        NSRange glyphs;
        CGFloat baselineOffset = 0;
        int container = 0;
    };
    // A paragraph's glyphs, once shaped, fragments and where layout stood
    // after it, once laid out.
    struct Shaping {
        std::vector<Glyph> glyphs;
        // Runs of one font: (end relative to the paragraph, font).
        std::vector<std::pair<NSUInteger, Ref<NSFont>>> fonts;
        std::vector<Fragment> fragments;
        NSTypesetter::LayoutPosition after;
    };
    // A paragraph: its characters (terminator included) and its shaping.
    // Small, as a long text has many.
    struct Paragraph {
        NSUInteger start = 0, length = 0;
        std::unique_ptr<Shaping> s;
        // Where layout stood after it (laid-out paragraphs only).
        const NSTypesetter::LayoutPosition& after() const
        {
            static const NSTypesetter::LayoutPosition none;
            return s ? s->after : none;
        }
    };
    // Closer than this, laying out everything before a place costs little.
    static constexpr NSUInteger kNearCharacters = 4096;
    // Paragraphs [start, end) laid out further on than the laid-out start of
    // the text, from an estimated top; taken over when layout reaches it.
    struct Island {
        size_t start = 0, end = 0;
        CGFloat top = 0;
    };
    void invalidateAll();
    // The text is split into paragraphs only as far as layout and questions
    // need: m_paragraphs holds the characters [0, m_splitEnd), which ends
    // with a paragraph's end.
    void splitParagraphs()
    {
        if (!m_split) startSplit();
    }
    void startSplit();
    bool allSplit() const { return m_splitEnd >= m_length; }
    // Splits on until the paragraph exists or the text ends; whether it exists.
    bool splitTo(size_t paragraph);
    // Splits on until the character's paragraph exists.
    void splitThroughCharacter(NSUInteger index);
    // Splits the whole text; the number of paragraphs.
    size_t paragraphCount();
    // Whether every paragraph is laid out from the start.
    bool laidOutToEnd() const { return m_laidOut >= m_paragraphs.size() && allSplit(); }
    // Splits text[start, end) into paragraphs.
    std::vector<Paragraph> paragraphsIn(NSUInteger start, NSUInteger end) const;
    // Layout asks about one paragraph many times in a row.
    size_t paragraphIndex(NSUInteger characterIndex)
    {
        if (m_split && m_cursor < m_paragraphs.size() && characterIndex >= m_paragraphs[m_cursor].start &&
            characterIndex < m_paragraphs[m_cursor].start + m_paragraphs[m_cursor].length)
            return m_cursor;
        return findParagraph(characterIndex);
    }
    size_t findParagraph(NSUInteger characterIndex);
    void shape(Paragraph& paragraph);
    Glyph* glyphPtr(NSUInteger index);
    // Lays out paragraphs until the one at the index is laid out (SIZE_MAX:
    // all, with the extra fragment).
    void layOutThrough(size_t paragraph);
    // Lays out until a fragment of the container reaches below y.
    void layOutBelow(int container, CGFloat y);
    // Lays out one paragraph from the position, which it moves on.
    void layOutParagraph(size_t index, NSTypesetter::LayoutPosition& position);
    void moveParagraphs(size_t from, size_t to, CGFloat dy);

    // Non-contiguous layout (NSLayoutManagerNonContiguous.cpp).
    bool hasIsland() const { return m_island.end > m_island.start; }
    void clearIsland() { m_island = {}; }
    bool isLaidOut(size_t paragraph) const;
    bool islandsAllowed() const;
    // Whether a paragraph lies so far past the laid-out start that layout
    // goes there directly.
    bool farAhead(size_t paragraph) const;
    CGFloat prefixBottom() const;
    CGFloat islandBottom() const;
    CGFloat averageParagraphHeight() const;
    // Where a paragraph not laid out yet is expected, and which paragraph is
    // expected at a y below the laid-out start.
    CGFloat estimatedTop(size_t paragraph) const;
    size_t estimatedParagraphAt(CGFloat y);
    // The first laid-out paragraph that reaches below y, in the part that
    // holds y.
    size_t firstParagraphReaching(CGFloat y) const;
    // Lays out the paragraph, directly when it lies far ahead and that is allowed.
    void ensureParagraphLaidOut(size_t paragraph);
    void ensureParagraphsLaidOut(size_t first, size_t last);
    // Lays out what reaches into [top, bottom) of the container.
    void layOutRect(int container, CGFloat top, CGFloat bottom);
    void layOutIsland(size_t paragraph, CGFloat top);
    void extendIslandTo(size_t paragraph);
    void extendIslandBackTo(size_t paragraph);
    void mergeIsland();
    // Takes the island over once what is laid out from the start reaches it.
    void joinIsland();
    void keepIslandBelowPrefix();
    // The used rectangle while the text is not laid out to its end, with
    // non-contiguous layout allowed; nullopt otherwise.
    std::optional<NSRect> estimatedUsedRect();
    void ensureLayout() { layOutThrough(SIZE_MAX); }
    // Lays out the rest in slices when the run loop is idle.
    void scheduleIdleLayout();
    void layOutIdleSlice();
    // Re-splits and re-shapes the paragraphs an edit touched; later
    // paragraphs move (or lose their layout when they cannot simply move).
    void replaceParagraphs(NSRange newRange, NSInteger delta);
    int containerIndex(const Ref<NSTextContainer>& container) const;
    std::optional<Fragment> fragmentOfGlyph(NSUInteger index);
    // Calls fn(absolute fragment) for the laid-out fragments of paragraphs
    // [from, to); fn answers false to stop.
    template <class F> void forEachFragment(size_t from, size_t to, F&& fn) const;
    // The glyph range of one run of equal attributes and direction, from a
    // glyph, limited to the range.
    NSRange drawingRunAt(NSUInteger index, NSRange limit);
    // x extent of glyphs on one line (visual, left to right), in container space.
    std::pair<CGFloat, CGFloat> glyphSpan(NSRange range);

    Weak<NSTextStorage> m_storage;
    std::vector<Ref<NSTextContainer>> m_containers;
    Ref<NSTypesetter> m_typesetter;
    bool m_usesScreenFonts = true;
    bool m_split = false, m_layingOut = false, m_extraValid = false;
    bool m_allowsNonContiguousLayout = false, m_idleScheduled = false;
    std::vector<Paragraph> m_paragraphs;
    NSUInteger m_length = 0;    // of the text, once split has started
    NSUInteger m_splitEnd = 0;  // characters split into m_paragraphs
    size_t m_laidOut = 0;       // paragraphs [0, m_laidOut) are laid out
    Island m_island;
    size_t m_layingParagraph = 0;
    size_t m_cursor = 0;  // the paragraph found last
    NSRect m_extraRect, m_extraUsed;
    int m_extraContainer = -1;
    int m_currentContainer = 0;
};

template <class F> inline void NSLayoutManager::forEachFragment(size_t from, size_t to, F&& fn) const
{
    // What is laid out from the start, then the island further on.
    const size_t parts[2][2] = {{from, std::min(to, m_laidOut)},
                                {std::max(from, m_island.start), std::min(to, m_island.end)}};
    for (const auto& part : parts)
        for (size_t k = part[0]; k < part[1]; ++k) {
            const Paragraph& p = m_paragraphs[k];
            for (Fragment f : p.s->fragments) {
                f.glyphs.location += p.start;
                if (!fn(f)) return;
            }
        }
}
