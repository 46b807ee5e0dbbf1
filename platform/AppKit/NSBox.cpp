#include "AppKit/NSBox.h"

#include <algorithm>
#include <cmath>

#include "AppKit/ControlText.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColorSpace.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSBox)

namespace {

constexpr CGFloat kTitleInset = 8;

bool atTop(NSTitlePosition p) { return p == NSAboveTop || p == NSAtTop || p == NSBelowTop; }

}

void NSBox::describeClass(NSClassMembers<NSBox>& m)
{
    m.property("title", &NSBox::title, &NSBox::setTitle);
    m.property("transparent", &NSBox::isTransparent, &NSBox::setTransparent);
}

void NSBox::makeTitleCell()
{
    m_titleCell = alloc<NSTextFieldCell>();
    m_titleCell->initTextCell("Title"_ns);
    m_titleCell->setControlSize(1);
    // RGB, so that the cell can be archived.
    m_titleCell->setTextColor(NSColor::blackColor()->colorUsingColorSpaceName(NSCalibratedRGBColorSpace));
    m_titleCell->setBackgroundColor(NSColor::whiteColor()->colorUsingColorSpaceName(NSCalibratedRGBColorSpace));
}

Ref<NSView> NSBox::initWithFrame(const NSRect& frame)
{
    NSView::initWithFrame(frame);
    makeTitleCell();
    auto content = alloc<NSView>();
    content->initWithFrame(NSZeroRect);
    setContentView(content);
    return this;
}

// --- Properties ---

void NSBox::setBoxType(NSBoxType type)
{
    m_boxType = type;
    placeContentView();
}

void NSBox::setBorderType(NSBorderType type)
{
    m_borderType = type;
    placeContentView();
}

void NSBox::setTitlePosition(NSTitlePosition position)
{
    m_titlePosition = position;
    placeContentView();
}

Ref<NSString> NSBox::title() const { return m_titleCell ? m_titleCell->stringValue() : ""_ns; }

void NSBox::setTitle(const Ref<NSString>& title)
{
    if (m_titleCell) m_titleCell->setStringValue(title ? title : ""_ns);
    placeContentView();
}

void NSBox::setTransparent(bool flag)
{
    m_transparent = flag;
    setNeedsDisplay(true);
}

void NSBox::setFillColor(const Ref<NSColor>& color)
{
    m_fillColor = color;
    setNeedsDisplay(true);
}

void NSBox::setBorderColor(const Ref<NSColor>& color)
{
    m_borderColor = color;
    setNeedsDisplay(true);
}

void NSBox::setBorderWidth(CGFloat width)
{
    m_borderWidth = std::isfinite(width) ? std::max(0.0, width) : 0;
    placeContentView();
}

void NSBox::setCornerRadius(CGFloat radius)
{
    m_cornerRadius = std::isfinite(radius) ? std::max(0.0, radius) : 0;
    setNeedsDisplay(true);
}

void NSBox::setContentView(const Ref<NSView>& view)
{
    if (view == m_contentView) return;
    if (m_contentView) m_contentView->removeFromSuperview();
    m_contentView = view;
    if (!view) return;
    addSubview(view);
    placeContentView();
}

void NSBox::setContentViewMargins(NSSize margins)
{
    m_margins = {std::max(0.0, margins.width), std::max(0.0, margins.height)};
    placeContentView();
}

// --- Geometry ---

bool NSBox::showsTitle() const
{
    return m_boxType != NSBoxSeparator && m_titlePosition != NSNoTitle && title()->length() > 0;
}

CGFloat NSBox::titleHeight() const
{
    return showsTitle() ? std::ceil(ControlText::lineHeight(m_titleCell->textStyle())) : 0;
}

CGFloat NSBox::borderThickness() const
{
    if (m_boxType == NSBoxCustom) return m_borderWidth;
    if (m_boxType == NSBoxPrimary || m_boxType == NSBoxSecondary) return 1;
    switch (m_borderType) {
    case NSNoBorder: return 0;
    case NSLineBorder: return 1;
    default: return 2;
    }
}

NSRect NSBox::borderRect() const
{
    NSRect r = bounds();
    const CGFloat t = titleHeight();
    CGFloat cut = 0;
    if (m_titlePosition == NSAboveTop || m_titlePosition == NSAboveBottom) cut = t;
    else if (m_titlePosition == NSAtTop || m_titlePosition == NSAtBottom) cut = std::floor(t / 2);
    r.size.height = std::max(0.0, r.size.height - cut);
    if (!atTop(m_titlePosition)) r.origin.y += cut;
    return r;
}

NSRect NSBox::titleRect() const
{
    if (!showsTitle()) return NSZeroRect;
    const NSRect b = bounds();
    const CGFloat t = titleHeight();
    const CGFloat width = std::min(ControlText::width(title()->utf16(), m_titleCell->textStyle()) + 4,
                                   std::max(0.0, b.size.width - 2 * kTitleInset));
    const CGFloat inside = borderThickness();
    CGFloat y = 0;
    switch (m_titlePosition) {
    case NSAboveTop:
    case NSAtTop: y = NSMaxY(b) - t; break;
    case NSBelowTop: y = NSMaxY(b) - inside - t; break;
    case NSAboveBottom:
    case NSAtBottom: y = NSMinY(b); break;
    default: y = NSMinY(b) + inside; break;
    }
    return NSMakeRect(NSMinX(b) + kTitleInset, y, width, t);
}

NSRect NSBox::contentRect() const
{
    if (m_boxType == NSBoxSeparator) return NSZeroRect;
    const CGFloat inset = borderThickness();
    NSRect r = NSInsetRect(borderRect(), inset, inset);
    const NSRect title = titleRect();
    if (!NSIsEmptyRect(title)) {
        if (atTop(m_titlePosition) && NSMaxY(r) > NSMinY(title)) r.size.height = NSMinY(title) - NSMinY(r);
        if (!atTop(m_titlePosition) && NSMinY(r) < NSMaxY(title)) {
            r.size.height -= NSMaxY(title) - NSMinY(r);
            r.origin.y = NSMaxY(title);
        }
    }
    r = NSInsetRect(r, m_margins.width, m_margins.height);
    r.size.width = std::max(0.0, r.size.width);
    r.size.height = std::max(0.0, r.size.height);
    return r;
}

void NSBox::placeContentView()
{
    if (m_contentView) {
        m_contentView->setHidden(m_boxType == NSBoxSeparator);
        m_contentView->setFrame(contentRect());
    }
    setNeedsDisplay(true);
}

void NSBox::setFrameFromContentFrame(const NSRect& contentFrame)
{
    // The distances from the content area to the frame's edges at the
    // current size stay the same.
    const NSRect content = contentRect();
    const NSRect b = bounds();
    const CGFloat left = NSMinX(content) - NSMinX(b), right = NSMaxX(b) - NSMaxX(content);
    const CGFloat bottom = NSMinY(content) - NSMinY(b), top = NSMaxY(b) - NSMaxY(content);
    setFrame(NSMakeRect(contentFrame.origin.x - left, contentFrame.origin.y - bottom,
                        contentFrame.size.width + left + right, contentFrame.size.height + bottom + top));
}

void NSBox::sizeToFit()
{
    if (!m_contentView) return;
    NSRect used = NSZeroRect;
    for (const auto& v : m_contentView->subviews()) used = NSUnionRect(used, v->frame());
    const NSRect content = m_contentView->frame();
    setFrameFromContentFrame(
        convertRectToView(NSMakeRect(content.origin.x, content.origin.y, NSMaxX(used), NSMaxY(used)), superview()));
}

void NSBox::resizeSubviewsWithOldSize(NSSize) { placeContentView(); }

// --- Drawing ---

void NSBox::drawRect(const NSRect&)
{
    if (m_transparent) return;
    const NSRect b = bounds();
    if (m_boxType == NSBoxSeparator) {
        NSColor::colorWithCalibratedWhite(0.75, 1)->setFill();
        if (b.size.width >= b.size.height) NSRectFill(NSMakeRect(NSMinX(b), std::floor(NSMidY(b)), b.size.width, 1));
        else NSRectFill(NSMakeRect(std::floor(NSMidX(b)), NSMinY(b), 1, b.size.height));
        return;
    }
    const NSRect border = borderRect();
    const CGFloat thickness = borderThickness();
    switch (m_boxType) {
    case NSBoxCustom: {
        const CGFloat half = thickness / 2;
        auto path =
            NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(border, half, half), m_cornerRadius, m_cornerRadius);
        if (m_fillColor) {
            m_fillColor->setFill();
            path->fill();
        }
        if (thickness > 0 && m_borderColor) {
            m_borderColor->setStroke();
            path->setLineWidth(thickness);
            path->stroke();
        }
        break;
    }
    case NSBoxPrimary:
    case NSBoxSecondary: {
        auto path = NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(border, 0.5, 0.5), 4, 4);
        NSColor::colorWithCalibratedWhite(0, 0.04)->setFill();
        path->fill();
        NSColor::colorWithCalibratedWhite(0, 0.2)->setStroke();
        path->setLineWidth(1);
        path->stroke();
        break;
    }
    default:
        if (m_borderType == NSNoBorder) break;
        NSColor::colorWithCalibratedWhite(m_borderType == NSLineBorder ? 0.25 : 0.6, 1)->setFill();
        NSFrameRect(border);
        if (m_borderType == NSGrooveBorder) {
            NSColor::whiteColor()->setFill();
            NSFrameRect(NSInsetRect(border, 1, 1));
        }
        break;
    }
    const NSRect title = titleRect();
    if (NSIsEmptyRect(title)) return;
    if (m_titlePosition == NSAtTop || m_titlePosition == NSAtBottom) {
        // The border runs behind the title: clear a gap for it.
        NSColor::windowBackgroundColor()->setFill();
        NSRectFill(title);
    }
    m_titleCell->drawInteriorWithFrame(title, this);
}

// --- Coding ---

void NSBox::encodeWithCoder(NSCoder* coder) const
{
    using ViewCoding::key;
    ViewCoding::encodeView(*this, coder);
    coder->encodeInteger(NSInteger(m_boxType), key("NSBoxType"));
    coder->encodeInteger(NSInteger(m_borderType), key("NSBorderType"));
    coder->encodeInteger(NSInteger(m_titlePosition), key("NSTitlePosition"));
    coder->encodeObject(m_titleCell, key("NSTitleCell"));
    ViewCoding::encodeIfCodable(coder, m_contentView, "NSContentView");
    coder->encodeSize(m_margins, key("NSOffsets"));
    coder->encodeBool(m_transparent, key("NSTransparent"));
    coder->encodeDouble(m_borderWidth, key("NSBorderWidth"));
    coder->encodeDouble(m_cornerRadius, key("NSCornerRadius"));
}

Id NSBox::initWithCoder(NSCoder* coder)
{
    using ViewCoding::key;
    ViewCoding::decodeView(*this, coder);
    const NSInteger type = coder->decodeIntegerForKey(key("NSBoxType"));
    m_boxType = type >= 0 && type <= NSInteger(NSBoxCustom) ? NSBoxType(type) : NSBoxPrimary;
    const NSInteger border = coder->decodeIntegerForKey(key("NSBorderType"));
    m_borderType = border >= 0 && border <= NSInteger(NSGrooveBorder) ? NSBorderType(border) : NSNoBorder;
    const NSInteger position = coder->decodeIntegerForKey(key("NSTitlePosition"));
    m_titlePosition = position >= 0 && position <= NSInteger(NSBelowBottom) ? NSTitlePosition(position) : NSNoTitle;
    m_titleCell = dynamic_ref_cast<NSTextFieldCell>(coder->decodeObjectForKey(key("NSTitleCell")));
    if (!m_titleCell) {
        makeTitleCell();
        m_titleCell->setStringValue(""_ns);
    }
    const NSSize margins = coder->decodeSizeForKey(key("NSOffsets"));
    m_margins = {std::max(0.0, margins.width), std::max(0.0, margins.height)};
    m_transparent = coder->decodeBoolForKey(key("NSTransparent"));
    const double width = coder->decodeDoubleForKey(key("NSBorderWidth"));
    m_borderWidth = std::isfinite(width) ? std::max(0.0, width) : 0;
    const double radius = coder->decodeDoubleForKey(key("NSCornerRadius"));
    m_cornerRadius = std::isfinite(radius) ? std::max(0.0, radius) : 0;
    auto content = dynamic_ref_cast<NSView>(coder->decodeObjectForKey(key("NSContentView")));
    if (!content) {
        content = alloc<NSView>();
        content->initWithFrame(NSZeroRect);
    }
    setContentView(content);
    placeContentView();
    return this;
}
