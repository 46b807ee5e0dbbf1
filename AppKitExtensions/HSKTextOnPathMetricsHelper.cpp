#include "AppKitExtensions/HSKTextOnPathMetricsHelper.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(HSKTextOnPathMetricsHelper)

void HSKTextOnPathMetricsHelper::layoutManagerWillPlaceGlyphAtIndexAtLocationPathAngleYOffset(
    const Ref<NSLayoutManager>& layoutManager, NSUInteger glyphIndex, NSPoint, CGFloat, CGFloat)
{
    if (!layoutManager) return;
    NSUInteger character = layoutManager->characterIndexForGlyphAtIndex(glyphIndex);
    if (character < m_mCharacterRange.location || character >= NSMaxRange(m_mCharacterRange)) return;
    if (m_mLength == 0) m_mStartPosition = layoutManager->locationForGlyphAtIndex(glyphIndex).x;
    CGFloat end;
    if (glyphIndex + 1 < layoutManager->numberOfGlyphs()) {
        end = layoutManager->locationForGlyphAtIndex(glyphIndex + 1).x;
    } else {
        NSRect used = layoutManager->lineFragmentUsedRectForGlyphAtIndex(glyphIndex, nullptr);
        end = NSMaxX(used);
    }
    m_mLength = end - m_mStartPosition;
}
