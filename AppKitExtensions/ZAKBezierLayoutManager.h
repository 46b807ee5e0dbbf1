#pragma once
// A layout manager that turns laid-out text into outlines: drawing glyphs
// appends their outlines to its own path instead of painting (underlines and
// strikethroughs are left out), and it answers one outline path per glyph.
// The path only grows; a caller wanting one layout's outlines uses a fresh
// layout manager.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSLayoutManager.h"
#include "Foundation/NSArray.h"

class ZAKBezierLayoutManager : public NSLayoutManager {
    NS_OBJECT(ZAKBezierLayoutManager, NSLayoutManager)
protected:
    ZAKBezierLayoutManager() = default;

public:
    Id init() override;

    const Ref<NSBezierPath>& textPath() const { return m_mPath; }
    // Glyph paths mirrored about each glyph's origin (for y-down text); on
    // when made.
    bool shouldFlip() const { return m_shouldFlip; }
    void setShouldFlip(bool flag) { m_shouldFlip = flag; }

    // One new path per glyph of the container at its place in the container
    // (a glyph of a later line fragment at that fragment's origin plus its
    // location). usedSize, when given, receives the used size even when
    // there are no glyphs.
    Ref<NSArray> glyphPathsForContainer(const Ref<NSTextContainer>& container, NSSize* usedSize);

    void showCGGlyphs(const NSGlyph* glyphs, const NSPoint* positions, NSUInteger count, const Ref<NSFont>& font,
                      const CGAffineTransform& textMatrix, const Ref<NSDictionary>& attributes,
                      CGContext* context) override;
    void drawUnderlineForGlyphRange(NSRange, NSInteger, CGFloat, const NSRect&, NSRange, NSPoint) override { }
    void drawStrikethroughForGlyphRange(NSRange, NSInteger, CGFloat, const NSRect&, NSRange, NSPoint) override { }

private:
    Ref<NSBezierPath> m_mPath;
    bool m_shouldFlip = true;
};
