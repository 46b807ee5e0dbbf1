#include "ZAKAppKit/ZAKColorBackgroundView/ZAKColorBackgroundView.h"

#include "AppKit/NSColorSpace.h"
#include "AppKit/NSGraphics.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(ZAKColorBackgroundView)

void ZAKColorBackgroundView::initialize() { classRecord().setVersion(1); }

Ref<NSView> ZAKColorBackgroundView::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_bgColor = NSColor::colorWithCalibratedRed(0.8, 0.8, 0.8, 1.0);
    m_blended = false;
    return this;
}

void ZAKColorBackgroundView::setBackgroundColor(const Ref<NSColor>& color)
{
    m_bgColor = color;
    setNeedsDisplay(true);
}

void ZAKColorBackgroundView::setBlended(int flag)
{
    m_blended = flag != 0;
    setNeedsDisplay(true);
}

void ZAKColorBackgroundView::drawRect(const NSRect&)
{
    if (!m_bgColor) return;
    if (!m_blended) {
        m_bgColor->set();
        NSRectFill(bounds());
        return;
    }
    auto white = NSColor::whiteColor();
    drawRectWithGradientFromTo(bounds(), m_bgColor->blendedColorWithFraction(0.01, white),
                               m_bgColor->blendedColorWithFraction(0.6, white));
}

void ZAKColorBackgroundView::drawRectWithGradientFromTo(const NSRect& r, const Ref<NSColor>& from,
                                                        const Ref<NSColor>& to)
{
    const auto slices = static_cast<long>(r.size.height);
    if (slices < 1) return;
    // A grey or pattern colour has no red, green and blue to step through.
    auto a = from ? from->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
    auto b = to ? to->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
    if (!a || !b) {
        if (m_bgColor) m_bgColor->set();
        NSRectFill(r);
        return;
    }
    CGFloat ca[4], cb[4];
    a->getRed(&ca[0], &ca[1], &ca[2], &ca[3]);
    b->getRed(&cb[0], &cb[1], &cb[2], &cb[3]);
    float current[4], step[4];
    for (int i = 0; i < 4; ++i) {
        current[i] = float(ca[i]);
        step[i] = float((cb[i] - ca[i]) / slices);
    }
    NSRect rest = r;
    for (long n = 0; n < slices; ++n) {
        NSRect slice;
        NSDivideRect(rest, &slice, &rest, 1, NSMinYEdge);
        NSColor::colorWithDeviceRed(current[0], current[1], current[2], current[3])->set();
        NSRectFillUsingOperation(slice, NSCompositeSourceOver);
        for (int i = 0; i < 4; ++i) current[i] += step[i];
    }
}

void ZAKColorBackgroundView::encodeWithCoder(NSCoder* coder) const
{
    encodeViewKeys(coder);
    if (coder->allowsKeyedCoding()) {
        coder->encodeObject(m_bgColor, "_bgColor"_ns);
        coder->encodeBool(m_blended, "_blended"_ns);
    } else {
        coder->encodeObject(m_bgColor);
        coder->encodeChar(m_blended ? 1 : 0);
    }
}

Id ZAKColorBackgroundView::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder);
    const bool keyed = coder->allowsKeyedCoding();
    setBackgroundColor(
        dynamic_ref_cast<NSColor>(keyed ? coder->decodeObjectForKey("_bgColor"_ns) : coder->decodeObject()));
    m_blended = false;
    if (NSUInteger(coder->versionForClassName("HSKColorBackgroundView"_ns)) >= 2)
        m_blended = keyed ? coder->decodeBoolForKey("_blended"_ns) : coder->decodeChar() != 0;
    return this;
}
