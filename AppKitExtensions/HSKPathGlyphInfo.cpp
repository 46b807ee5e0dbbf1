#include "AppKitExtensions/HSKPathGlyphInfo.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(HSKPathGlyphInfo)

Ref<HSKPathGlyphInfo> HSKPathGlyphInfo::initWithGlyphIndex(NSUInteger glyphIndex, NSPoint position, CGFloat slope)
{
    auto info = make<HSKPathGlyphInfo>();
    info->m_mGlyphIndex = glyphIndex;
    info->m_mPoint = position;
    info->m_mSlope = slope;
    return info;
}
