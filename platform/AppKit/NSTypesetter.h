#pragma once
// Lays glyphs out into line fragments: paragraphs end at LF, CR, CR LF and
// U+2029; U+2028 ends a line inside a paragraph. Lines break where ICU's line
// breaker allows (between characters when a word is longer than the line,
// or everywhere with character wrapping); clipping and truncating modes keep
// each paragraph on one line. The paragraph style gives alignment, indents,
// line and paragraph spacing, line-height limits and tab stops. Right-to-left
// runs (ICU's bidi levels) are placed right to left within their line.
//
// Subclasses adjust each fragment in willSetLineFragmentRect; later lines
// flow from the adjusted rectangle.
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"

class NSLayoutManager;

class NSTypesetter : public NSObject {
    NS_OBJECT(NSTypesetter, NSObject)
protected:
    NSTypesetter() = default;

public:
    static Ref<NSTypesetter> sharedSystemTypesetter();

    // Where layout stands: the container being filled, the y of the next
    // fragment in it, and whether every container is full.
    struct LayoutPosition {
        size_t container = 0;
        CGFloat y = 0;
        bool full = false;
    };

    // Lays out every glyph of the manager into its containers (the manager
    // does so paragraph by paragraph, as far as it needs).
    virtual void layoutGlyphsInLayoutManager(NSLayoutManager* manager);
    // Lays out one paragraph: the characters of the range, its terminator
    // included, from the position, which it moves on.
    void layoutParagraph(NSLayoutManager* manager, NSRange paragraph, LayoutPosition& position);
    // The empty fragment after a final line break, or of an empty text.
    void layoutExtraLineFragment(NSLayoutManager* manager, LayoutPosition& position);
    // Whether a paragraph's fragments depend only on the paragraph, so that
    // an edit before it may move it instead of laying it out again. A
    // subclass that adjusts fragments from earlier ones answers NO.
    virtual bool laysOutParagraphsIndependently() const;
    // Called once per fragment with the proposed rectangles and the baseline
    // offset (from the fragment's bottom up to the baseline); what the
    // override leaves is kept.
    virtual void willSetLineFragmentRect(NSRect& lineRect, NSRange glyphRange, NSRect& usedRect,
                                         CGFloat& baselineOffset)
    {
        (void)lineRect, (void)glyphRange, (void)usedRect, (void)baselineOffset;
    }
    // The baseline offset of the fragment holding the glyph.
    CGFloat baselineOffsetInLayoutManager(NSLayoutManager* manager, NSUInteger glyphIndex);
};
