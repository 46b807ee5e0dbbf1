#include "ZAKAppKit/ZAKTButton/ZAKTImageCell.h"

#include "AppKit/NSAffineTransform.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemedCellDrawing.h"

NS_CLASS_DEFINE(ZAKTImageCell)

void ZAKTImageCell::setThemeKey(const Ref<NSString>& key)
{
    m_themeKey = copiedString(key);
    redisplay();
}

void ZAKTImageCell::drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    auto theme = ZAKThemedCellDrawing::themeForKey(m_themeKey);
    if (!theme) return NSImageCell::drawInteriorWithFrame(frame, controlView);
    if (!image()) return;
    const double alpha =
        theme->alphaValueForBackgroundStyle(backgroundStyle(), isEnabled() ? 0 : ZAKThemeStateDisabled);
    NSGraphicsContext::saveGraphicsState();
    if (!controlView || !controlView->isFlipped()) {
        auto flip = NSAffineTransform::transform();
        flip->translateXBy(0, frame.origin.y + frame.size.height);
        flip->scaleXBy(1, -1);
        flip->concat();
    }
    image()->drawInRect(frame, NSZeroRect, NSCompositeSourceOver, alpha);
    NSGraphicsContext::restoreGraphicsState();
}

Id ZAKTImageCell::copy() const
{
    auto clone = dynamic_ref_cast<ZAKTImageCell>(NSImageCell::copy());
    if (clone) clone->setThemeKey(m_themeKey);
    return clone;
}

void ZAKTImageCell::encodeWithCoder(NSCoder* coder) const
{
    NSImageCell::encodeWithCoder(coder);
    coder->encodeObject(m_themeKey, "themeKey"_ns);
}

Id ZAKTImageCell::initWithCoder(NSCoder* coder)
{
    NSImageCell::initWithCoder(coder);
    m_themeKey = ZAKThemedCellDrawing::decodeString(coder, "themeKey"_ns);
    return this;
}
