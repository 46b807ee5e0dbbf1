#include "ZAKAppKit/ZAKRoundedBox/ZAKRoundedBox.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKRoundedBox)

namespace {

constexpr CGFloat kCornerRadius = 4;

}  // namespace

Ref<NSView> ZAKRoundedBox::initWithFrame(const NSRect& frame)
{
    NSBox::initWithFrame(frame);
    setDefaults();
    return this;
}

void ZAKRoundedBox::awakeFromNib()
{
    NSBox::awakeFromNib();
    setDefaults();
}

void ZAKRoundedBox::setDefaults()
{
    m_drawsTitle = true;
    if (auto cell = titleCell()) {
        cell->setLineBreakMode(NSLineBreakByTruncatingTail);
        cell->setEditable(false);
        cell->setFont(NSFont::boldSystemFontOfSize(NSFont::systemFontSizeForControlSize(NSSmallControlSize)));
    }
    m_borderWidth = 2;
    m_borderColor = NSColor::grayColor();
    setTitleColor(NSColor::whiteColor());
    m_backgroundColor = NSColor::colorWithCalibratedWhite(0.9, 1.0);
    m_drawsFullTitleBar = false;
    m_selected = false;
}

void ZAKRoundedBox::setTitle(const Ref<NSString>& title)
{
    NSBox::setTitle(title);
    if (auto w = window()) w->invalidateCursorRectsForView(this);
    setNeedsDisplay(true);
}

void ZAKRoundedBox::setDrawsFullTitleBar(bool flag)
{
    m_drawsFullTitleBar = flag;
    if (auto w = window()) w->invalidateCursorRectsForView(this);
    setNeedsDisplay(true);
}

void ZAKRoundedBox::setSelected(bool flag)
{
    m_selected = flag;
    setNeedsDisplay(true);
}

void ZAKRoundedBox::setBorderColor(const Ref<NSColor>& color)
{
    m_borderColor = color;
    setNeedsDisplay(true);
}

void ZAKRoundedBox::setTitleColor(const Ref<NSColor>& color)
{
    if (auto cell = titleCell()) cell->setTextColor(color);
    m_titleColor = color;
    setNeedsDisplay(true);
}

Ref<NSBezierPath> ZAKRoundedBox::titlePathWithinRectCornerRadiusTitleRect(const NSRect& r, CGFloat radius,
                                                                          const NSRect& t) const
{
    const CGFloat left = std::trunc(r.origin.x);
    const CGFloat top = std::trunc(r.origin.y + r.size.height);
    // The band below the title is as deep as the gap above it.
    const CGFloat bottom = std::trunc(2 * t.origin.y + t.size.height - top);
    auto path = NSBezierPath::bezierPath();
    path->moveToPoint(NSMakePoint(left, bottom));
    if (r.size.width - t.size.width >= 20 && !m_drawsFullTitleBar && m_drawsTitle) {
        const CGFloat right = std::trunc(t.size.width + left + 2 * (t.origin.x - r.origin.x));
        path->appendBezierPathWithArcFromPoint(NSMakePoint(right, bottom), NSMakePoint(right, top), radius);
        path->lineToPoint(NSMakePoint(right, top));
    } else {
        const CGFloat maxX = r.origin.x + r.size.width;
        path->lineToPoint(NSMakePoint(maxX, bottom));
        path->appendBezierPathWithArcFromPoint(NSMakePoint(maxX, top), NSMakePoint(r.origin.x + r.size.width / 2, top),
                                               radius);
    }
    path->appendBezierPathWithArcFromPoint(NSMakePoint(left, top), NSMakePoint(left, bottom), radius);
    path->closePath();
    return path;
}

void ZAKRoundedBox::drawRect(const NSRect&)
{
    const NSRect b = bounds();
    const CGFloat w = m_borderWidth;
    NSRect r = NSIntegralRect(NSInsetRect(b, w / 2, w / 2));
    r.origin.x += 0.5;
    r.origin.y += 0.5;

    const CGFloat minX = std::trunc(NSMinX(r)), midX = std::trunc(r.origin.x + r.size.width / 2);
    const CGFloat maxX = std::trunc(NSMaxX(r));
    const CGFloat minY = std::trunc(NSMinY(r)), midY = std::trunc(r.origin.y + r.size.height / 2);
    const CGFloat maxY = std::trunc(NSMaxY(r));
    auto border = NSBezierPath::bezierPath();
    border->moveToPoint(NSMakePoint(midX, minY));
    border->appendBezierPathWithArcFromPoint(NSMakePoint(maxX, minY), NSMakePoint(maxX, midY), kCornerRadius);
    border->appendBezierPathWithArcFromPoint(NSMakePoint(maxX, maxY), NSMakePoint(midX, maxY), kCornerRadius);
    border->appendBezierPathWithArcFromPoint(NSMakePoint(minX, maxY), NSMakePoint(minX, midY), kCornerRadius);
    border->appendBezierPathWithArcFromPoint(NSMakePoint(minX, minY), NSMakePoint(midX, minY), kCornerRadius);
    border->closePath();
    if (m_backgroundColor) {
        m_backgroundColor->setFill();
        border->fill();
    }

    auto cell = titleCell();
    NSSize titleSize = NSZeroSize;
    if (cell) {
        auto attributes = NSMutableDictionary::dictionary();
        if (auto font = cell->font()) attributes->setObject(font, NSFontAttributeName);
        if (auto colour = cell->textColor()) attributes->setObject(colour, NSForegroundColorAttributeName);
        titleSize = NSStringExt::sizeWithAttributes(title(), attributes);
    }
    NSRect t;
    t.origin.x = b.origin.x + w + 4;
    t.origin.y = b.origin.y + b.size.height - titleSize.height - 2 * w;
    t.size.width = std::min(titleSize.width + 4 * w, b.size.width - 2 * (w + 4));
    t.size.height = titleSize.height;

    auto colour = m_selected ? NSColor::alternateSelectedControlColor() : m_borderColor;
    if (colour) colour->set();
    auto shape = titlePathWithinRectCornerRadiusTitleRect(r, kCornerRadius, t);
    shape->fill();
    m_titlePathRect = shape->bounds();
    if (w > 0) {
        border->setLineWidth(w);
        border->stroke();
    }
    if (m_drawsTitle && cell) cell->drawInteriorWithFrame(t, this);
}
