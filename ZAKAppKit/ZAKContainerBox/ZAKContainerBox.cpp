#include "ZAKAppKit/ZAKContainerBox/ZAKContainerBox.h"

#include "AppKit/NSGradient.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(ZAKContainerBox)

Ref<NSView> ZAKContainerBox::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    m_backgroundColor = NSColor::controlHighlightColor();
    m_borderColor = NSColor::controlShadowColor();
    m_secondBackgroundColor = NSColor::secondarySelectedControlColor();
    m_hasGradient = false;
    m_hasTopLine = m_hasBottomLine = m_hasLeftLine = m_hasRightLine = true;
    m_topLineWidth = m_bottomLineWidth = m_leftLineWidth = m_rightLineWidth = 1;
    return this;
}

Ref<NSBezierPath> ZAKContainerBox::bezierPathWithLineFrom(NSPoint from, NSPoint to)
{
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(from);
    path->lineToPoint(to);
    return path;
}

void ZAKContainerBox::drawRect(const NSRect&)
{
    const NSRect b = bounds();
    NSGraphicsContext::saveGraphicsState();
    if (m_hasGradient) {
        auto gradient = NSGradient::initWithStartingColor(m_secondBackgroundColor, m_backgroundColor);
        if (gradient) gradient->drawInRect(NSMakeRect(b.origin.x + 1, b.origin.y, b.size.width - 1, b.size.height), 90);
    } else if (m_backgroundColor) {
        m_backgroundColor->setFill();
        NSRectFillUsingOperation(b, NSCompositeSourceOver);
    }
    if (m_borderColor) m_borderColor->set();
    if (m_hasTopLine && m_hasBottomLine && m_hasLeftLine && m_hasRightLine) {
        NSFrameRectWithWidthUsingOperation(b, 1, NSCompositeSourceOver);
        NSGraphicsContext::restoreGraphicsState();
        return;
    }
    auto stroke = [](NSPoint from, NSPoint to, CGFloat width) {
        auto line = bezierPathWithLineFrom(from, to);
        line->setLineWidth(width);
        line->stroke();
    };
    const CGFloat x = b.origin.x, y = b.origin.y, maxX = NSMaxX(b), maxY = NSMaxY(b);
    if (m_hasTopLine) stroke(NSMakePoint(x, maxY), NSMakePoint(maxX, maxY), m_topLineWidth);
    if (m_hasBottomLine) stroke(NSMakePoint(x, y), NSMakePoint(maxX, y), m_bottomLineWidth);
    if (m_hasLeftLine) stroke(NSMakePoint(x, y), NSMakePoint(x, maxY), m_leftLineWidth);
    if (m_hasRightLine) stroke(NSMakePoint(maxX, y), NSMakePoint(maxX, maxY), m_rightLineWidth);
    NSGraphicsContext::restoreGraphicsState();
}

void ZAKContainerBox::encodeWithCoder(NSCoder* coder) const
{
    encodeViewKeys(coder);
    coder->encodeObject(m_backgroundColor, "backgroundColor"_ns);
    coder->encodeObject(m_borderColor, "borderColor"_ns);
    coder->encodeObject(m_secondBackgroundColor, "secondBackgroundColor"_ns);
    coder->encodeBool(m_hasGradient, "hasGradient"_ns);
    coder->encodeBool(m_hasLeftLine, "hasLeftLine"_ns);
    coder->encodeBool(m_hasRightLine, "hasRightLine"_ns);
    coder->encodeBool(m_hasTopLine, "hasTopLine"_ns);
    coder->encodeBool(m_hasBottomLine, "hasBottomLine"_ns);
}

Id ZAKContainerBox::initWithCoder(NSCoder* coder)
{
    decodeViewKeys(coder);
    m_backgroundColor = dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("backgroundColor"_ns));
    m_borderColor = dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("borderColor"_ns));
    m_secondBackgroundColor = dynamic_ref_cast<NSColor>(coder->decodeObjectForKey("secondBackgroundColor"_ns));
    m_hasGradient = coder->decodeBoolForKey("hasGradient"_ns);
    m_hasLeftLine = coder->decodeBoolForKey("hasLeftLine"_ns);
    m_hasRightLine = coder->decodeBoolForKey("hasRightLine"_ns);
    m_hasTopLine = coder->decodeBoolForKey("hasTopLine"_ns);
    m_hasBottomLine = coder->decodeBoolForKey("hasBottomLine"_ns);
    // Widths are not archived: hairlines until set.
    m_topLineWidth = m_bottomLineWidth = m_leftLineWidth = m_rightLineWidth = 0;
    return this;
}
