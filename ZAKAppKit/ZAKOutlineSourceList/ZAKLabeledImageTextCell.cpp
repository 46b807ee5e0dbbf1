#include "ZAKAppKit/ZAKOutlineSourceList/ZAKLabeledImageTextCell.h"

#include <algorithm>

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSGradient.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKitExtensions/NSBezierPath+ZAKNSBezierPathExtension.h"
#include "AppKitExtensions/ZAKColorLabelColors.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKLabeledImageTextCell)

Ref<NSCell> ZAKLabeledImageTextCell::initTextCell(const Ref<NSString>& text)
{
    NSTextFieldCell::initTextCell(text);
    m_colorLabelType = 0;
    m_image = m_rightImage = m_statusImage = nullptr;
    m_infoText = nullptr;
    m_labelColor = nullptr;
    m_minImageWidth = m_leftInset = m_rightInset = 0;
    m_middleAlignedText = false;
    clearLayout();
    m_textAttrs = nullptr;
    return this;
}

void ZAKLabeledImageTextCell::clearLayout()
{
    m_capRadius = 0;
    m_imageRect = m_rightImageRect = m_infoTextRect = m_statusImageRect = m_textRect = m_labelRect = NSZeroRect;
}

void ZAKLabeledImageTextCell::setColorLabelType(int32_t type)
{
    if (type == m_colorLabelType) return;
    m_colorLabelType = type;
    m_labelColor = ZAKColorLabelColors::getLabelColorForLabelType(type);
}

void ZAKLabeledImageTextCell::copyValuesFrom(const NSCell& other)
{
    NSTextFieldCell::copyValuesFrom(other);
    const auto* o = dynamic_cast<const ZAKLabeledImageTextCell*>(&other);
    if (!o) return;
    // The copy shares the images, texts, colour and attributes.
    m_colorLabelType = o->m_colorLabelType;
    m_image = o->m_image;
    m_rightImage = o->m_rightImage;
    m_infoText = o->m_infoText;
    m_labelColor = o->m_labelColor;
    m_statusImage = o->m_statusImage;
    m_minImageWidth = o->m_minImageWidth;
    m_leftInset = o->m_leftInset;
    m_rightInset = o->m_rightInset;
    m_middleAlignedText = o->m_middleAlignedText;
    m_capRadius = o->m_capRadius;
    m_imageRect = o->m_imageRect;
    m_rightImageRect = o->m_rightImageRect;
    m_infoTextRect = o->m_infoTextRect;
    m_statusImageRect = o->m_statusImageRect;
    m_textRect = o->m_textRect;
    m_labelRect = o->m_labelRect;
    m_textAttrs = o->m_textAttrs;
}

// --- Layout ---

void ZAKLabeledImageTextCell::calcDrawInfo(const NSRect& rect)
{
    NSTextFieldCell::calcDrawInfo(rect);
    const bool highlighted = isHighlighted();
    NSRect r = drawingRectForBounds(rect);
    m_textAttrs = NSMutableDictionary::dictionary();
    m_textAttrs->setObject(font(), NSFontAttributeName);
    clearLayout();
    m_capRadius = r.size.height / 2;

    r.origin.x += m_leftInset;
    r.size.width -= m_leftInset + m_rightInset;

    NSRect slice;
    if (m_image) {
        const NSSize size = m_image->size();
        NSDivideRect(r, &slice, &r, std::max<CGFloat>(m_minImageWidth, size.width) + 4, NSMinXEdge);
        m_imageRect = NSMakeRect(slice.origin.x + 3, slice.origin.y, size.width, size.height);
    }
    if (m_statusImage) {
        const NSSize size = m_statusImage->size();
        NSDivideRect(r, &slice, &r, size.width + 4, NSMaxXEdge);
        m_statusImageRect = NSMakeRect(slice.origin.x + 3, slice.origin.y, size.width, size.height);
    }
    if (m_rightImage) {
        const NSSize size = m_rightImage->size();
        NSDivideRect(r, &slice, &r, size.width + 4, NSMaxXEdge);
        m_rightImageRect = NSMakeRect(slice.origin.x, slice.origin.y, size.width, size.height);
    }
    if (m_infoText && m_infoText->length()) {
        NSDivideRect(r, &slice, &r, NSStringExt::sizeWithAttributes(m_infoText, m_textAttrs).width + 4, NSMinXEdge);
        m_infoTextRect = slice;
    }

    const CGFloat cap = m_capRadius;
    if (!m_labelColor) {
        r = NSInsetRect(r, cap / 2, 0);
    } else if (!highlighted) {
        m_labelRect = r;
        r = NSInsetRect(r, cap / 2, 0);
    } else if (m_statusImage) {
        r.origin.x += cap / 2;
        r.size.width -= cap / 2;
    } else {
        // A highlighted row keeps only a small capsule at the right end.
        m_labelRect = NSMakeRect(NSMaxX(r) - 2 * cap, r.origin.y, 2 * cap, r.size.height - 1);
        r.size.width -= 2 * cap + 4;
        r.origin.x += cap / 2;
        r.size.width -= cap / 2;
    }

    m_textRect = r;
    if (m_middleAlignedText) {
        auto attributed = dynamic_ref_cast<NSAttributedString>(objectValue());
        const CGFloat height = attributed ? NSAttributedStringExt::size(attributed).height
                                          : NSStringExt::sizeWithAttributes(stringValue(), m_textAttrs).height;
        m_textRect.origin.y = m_textRect.origin.y - 0.5 + (m_textRect.size.height - height) / 2;
    }
}

// --- Drawing ---

void ZAKLabeledImageTextCell::drawImage(const Ref<NSImage>& image, const NSRect& rect) const
{
    if (!image) return;
    if (drawsBackground()) {
        (backgroundColor() ? backgroundColor() : NSColor::textBackgroundColor())->setFill();
        NSRectFill(rect);
    }
    image->drawInRect(rect, NSZeroRect, NSCompositeSourceOver, 1, true, nullptr);
}

void ZAKLabeledImageTextCell::drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView)
{
    const NSRect d = drawingRectForBounds(cellFrame);
    calcDrawInfo(d);
    const bool highlighted = isHighlighted();
    const bool hasLabel = m_labelColor && !NSEqualRects(m_labelRect, NSZeroRect);
    if (!highlighted && hasLabel) drawLabelColorWithFrame(d, controlView);
    NSTextFieldCell::drawInteriorWithFrame(m_textRect, controlView);
    drawImage(m_image, m_imageRect);
    if (m_infoText && m_infoText->length()) NSStringExt::drawAtPoint(m_infoText, m_infoTextRect.origin, m_textAttrs);
    drawImage(m_statusImage, m_statusImageRect);
    drawImage(m_rightImage, m_rightImageRect);
    if (highlighted && hasLabel) drawLabelColorWithFrame(d, controlView);
}

void ZAKLabeledImageTextCell::drawLabelColorWithFrame(const NSRect& rect, const Ref<NSView>&)
{
    if (!m_labelColor) return;
    // In a highlighted row the pill goes over the text and images already
    // drawn: a background fill there would wipe them out.
    if (drawsBackground() && !isHighlighted()) {
        (backgroundColor() ? backgroundColor() : NSColor::textBackgroundColor())->setFill();
        NSRectFill(rect);
    }
    NSGraphicsContext::saveGraphicsState();
    auto path = NSBezierPath::bezierPath();
    NSBezierPathExt::appendBezierPathWithRoundedRectangle(path, m_labelRect, rect.size.height / 2);
    auto light = m_labelColor->blendedColorWithFraction(0.5, NSColor::whiteColor());
    auto gradient = NSGradient::initWithColorsAndLocations({{m_labelColor, 0.0}, {light ? light : m_labelColor, 1.0}});
    gradient->drawInBezierPath(path, 270);
    NSGraphicsContext::restoreGraphicsState();
}

// --- Editing ---

// Drawing lays the cell out for the drawing rectangle of its frame; editing
// does the same, so the field editor lies exactly over the drawn text.
void ZAKLabeledImageTextCell::editWithFrame(const NSRect& frame, const Ref<NSView>& controlView,
                                            const Ref<NSText>& textObj, const Id& delegate, const Ref<NSEvent>&)
{
    calcDrawInfo(drawingRectForBounds(frame));
    // Editing selects the whole text; the layout must not run a second time.
    NSTextFieldCell::selectWithFrame(m_textRect, controlView, textObj, delegate, 0,
                                     NSInteger(editingString()->length()));
}

void ZAKLabeledImageTextCell::selectWithFrame(const NSRect& frame, const Ref<NSView>& controlView,
                                              const Ref<NSText>& textObj, const Id& delegate, NSInteger start,
                                              NSInteger length)
{
    calcDrawInfo(drawingRectForBounds(frame));
    NSTextFieldCell::selectWithFrame(m_textRect, controlView, textObj, delegate, start, length);
}
