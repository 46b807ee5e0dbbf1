#include "AppKit/NSButtonCell.h"

#include <functional>

#include "Foundation/NSClass.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSButtonCell)

namespace {
constexpr CGFloat kMarkSize = 14;
constexpr CGFloat kMarkGap = 4;

struct TypeMasks {
    NSUInteger highlightsBy, showsStateBy;
};

TypeMasks masksForType(NSButtonType type)
{
    constexpr NSUInteger pushInGray = NSPushInCellMask | NSChangeGrayCellMask;
    switch (type) {
    case NSMomentaryLightButton: return {NSChangeGrayCellMask | NSChangeBackgroundCellMask, NSNoCellMask};
    case NSPushOnPushOffButton: return {pushInGray, NSChangeBackgroundCellMask};
    case NSToggleButton: return {pushInGray, NSContentsCellMask};
    case NSSwitchButton:
    case NSRadioButton: return {NSContentsCellMask, NSContentsCellMask};
    case NSMomentaryChangeButton: return {NSContentsCellMask, NSNoCellMask};
    case NSOnOffButton: return {NSChangeBackgroundCellMask, NSChangeBackgroundCellMask};
    default: return {pushInGray, NSNoCellMask};
    }
}

constexpr NSUInteger kPressedLook = NSPushInCellMask | NSChangeGrayCellMask | NSChangeBackgroundCellMask;

// The longest start of the text that fits the width with an ellipsis after
// it; the text itself when it fits.
std::u16string truncatedTail(const std::u16string& text, CGFloat width,
                             const std::function<CGFloat(const std::u16string&)>& measure)
{
    if (measure(text) <= width) return text;
    for (size_t n = text.size(); n-- > 0;) {
        std::u16string cut = text.substr(0, n) + u"\u2026";
        if (measure(cut) <= width || n == 0) return cut;
    }
    return u"\u2026";
}
}

Ref<NSCell> NSButtonCell::initTextCell(const Ref<NSString>& text)
{
    NSActionCell::initTextCell(text);
    m_buttonType = NSMomentaryPushInButton;
    m_bezelStyle = NSRoundedBezelStyle;
    m_bordered = true;
    m_alignment = NSCenterTextAlignment;
    m_imagePosition = NSNoImage;
    m_imageDimsWhenDisabled = true;
    const auto masks = masksForType(m_buttonType);
    m_highlightsBy = masks.highlightsBy;
    m_showsStateBy = masks.showsStateBy;
    return this;
}

Ref<NSCell> NSButtonCell::initImageCell(const Id& image)
{
    initTextCell(""_ns);
    m_image = dynamic_ref_cast<NSImage>(image);
    m_imagePosition = NSImageOnly;
    return this;
}

void NSButtonCell::setButtonType(NSButtonType type)
{
    m_buttonType = type;
    const auto masks = masksForType(type);
    m_highlightsBy = masks.highlightsBy;
    m_showsStateBy = masks.showsStateBy;
    if (isCheckOrRadio()) {
        m_bordered = false;
        m_alignment = NSLeftTextAlignment;
    }
    redisplay();
}

bool NSButtonCell::matchesKeyEquivalent(const Ref<NSEvent>& event) const
{
    if (!m_keyEquivalent || m_keyEquivalent->length() == 0 || !event || event->type() != NSKeyDown) return false;
    const NSUInteger relevant = NSShiftKeyMask | NSControlKeyMask | NSAlternateKeyMask | NSCommandKeyMask;
    auto chars = event->charactersIgnoringModifiers();
    if (!chars) return false;
    // Shift may be part of the character itself ("A").
    const NSUInteger held = event->modifierFlags() & relevant & ~NSUInteger(NSShiftKeyMask);
    const NSUInteger wanted = m_keyEquivalentModifierMask & relevant & ~NSUInteger(NSShiftKeyMask);
    if (held != wanted) return false;
    return chars->isEqualToString(m_keyEquivalent) ||
           chars->lowercaseString()->isEqualToString(m_keyEquivalent->lowercaseString());
}

void NSButtonCell::didClickInside()
{
    switch (m_buttonType) {
    case NSRadioButton: setState(NSOnState); break;
    case NSPushOnPushOffButton:
    case NSToggleButton:
    case NSSwitchButton:
    case NSOnOffButton: setNextState(); break;
    default: break;
    }
}

bool NSButtonCell::showsAlternate() const
{
    return (m_highlighted && (m_highlightsBy & NSContentsCellMask)) ||
           (m_state == NSOnState && (m_showsStateBy & NSContentsCellMask));
}

bool NSButtonCell::showsPressed() const
{
    return (m_highlighted && (m_highlightsBy & kPressedLook)) ||
           (m_state == NSOnState && (m_showsStateBy & kPressedLook));
}

Ref<NSDictionary> NSButtonCell::textAttributes() const
{
    auto style = NSMutableParagraphStyle::make<NSMutableParagraphStyle>();
    style->setAlignment(m_alignment);
    const auto color = drawsAsDefault() ? NSColor::whiteColor() : textColorForState();
    return NSDictionary::dictionaryWithObjectsAndKeys(
        {font(), NSFontAttributeName, color, NSForegroundColorAttributeName, style, NSParagraphStyleAttributeName});
}

Ref<NSAttributedString> NSButtonCell::styledTitle(const Ref<NSString>& text) const
{
    return NSAttributedString::initWithString(text ? text : ""_ns, textAttributes());
}

Ref<NSAttributedString> NSButtonCell::attributedTitle() const
{
    if (auto given = dynamic_ref_cast<NSAttributedString>(m_objectValue)) return given;
    return styledTitle(title());
}

Ref<NSAttributedString> NSButtonCell::attributedAlternateTitle() const
{
    return m_attributedAlternateTitle ? m_attributedAlternateTitle : styledTitle(alternateTitle());
}

void NSButtonCell::setAttributedAlternateTitle(const Ref<NSAttributedString>& title)
{
    m_attributedAlternateTitle = title ? NSAttributedString::initWithAttributedString(title) : nullptr;
    m_alternateTitle = title ? title->string() : nullptr;
    redisplay();
}

NSSize NSButtonCell::cellSizeForBounds(const NSRect&) const
{
    const CGFloat textWidth = ControlText::width(title()->utf16(), m_textStyle);
    const CGFloat lineHeight = std::ceil(ControlText::lineHeight(m_textStyle));
    if (isCheckOrRadio())
        return NSMakeSize(std::ceil(kMarkSize + kMarkGap + textWidth + 2), std::max(kMarkSize + 4, lineHeight + 2));
    NSSize imageSize = m_image ? m_image->size() : NSZeroSize;
    if (m_imagePosition == NSImageOnly) return NSMakeSize(imageSize.width + 8, imageSize.height + 8);
    return NSMakeSize(std::ceil(textWidth + 28 + (m_image ? imageSize.width + 4 : 0)),
                      std::max(lineHeight + 8, imageSize.height + 8));
}

NSRect NSButtonCell::titleRectForBounds(const NSRect& bounds) const
{
    if (isCheckOrRadio())
        return NSMakeRect(bounds.origin.x + kMarkSize + kMarkGap, bounds.origin.y,
                          std::max<CGFloat>(0, bounds.size.width - kMarkSize - kMarkGap), bounds.size.height);
    return NSInsetRect(bounds, 6, 2);
}

void NSButtonCell::drawWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    if (m_bordered && !isCheckOrRadio()) drawBezelWithFrame(frame, controlView);
    drawInteriorWithFrame(frame, controlView);
}

void NSButtonCell::drawBezelWithFrame(const NSRect& frame, const Ref<NSView>&)
{
    const NSRect box = NSInsetRect(frame, 1.5, 1.5);
    const bool pressed = showsPressed();
    if (m_showsBorderOnlyWhileMouseInside && !m_mouseInside && !pressed) return;
    if (m_bezelStyle == NSRecessedBezelStyle) {
        // A dark pill sunk into the bar: deeper while pressed or on than
        // under the mouse.
        const CGFloat radius = box.size.height / 2;
        auto pill = NSBezierPath::bezierPathWithRoundedRect(box, radius, radius);
        NSColor::colorWithCalibratedWhite(0.0, pressed ? 0.45 : 0.25)->setFill();
        pill->fill();
        return;
    }
    const CGFloat radius = m_bezelStyle == NSRoundedBezelStyle ? 5 : 2;
    auto path = NSBezierPath::bezierPathWithRoundedRect(box, radius, radius);
    if (drawsAsDefault()) {
        // The button Return presses stands out in the accent colour.
        (pressed ? NSColor::colorWithCalibratedRed(0.12, 0.38, 0.85, 1)
                 : NSColor::colorWithCalibratedRed(0.2, 0.48, 0.96, 1))
            ->setFill();
        path->fill();
        NSColor::colorWithCalibratedRed(0.1, 0.33, 0.78, 1)->setStroke();
        path->setLineWidth(1);
        path->stroke();
        return;
    }
    (pressed ? NSColor::colorWithCalibratedRed(0.73, 0.84, 0.98, 1) : NSColor::whiteColor())->setFill();
    path->fill();
    (m_enabled ? NSColor::grayColor() : NSColor::lightGrayColor())->setStroke();
    path->setLineWidth(1);
    path->stroke();
}

void NSButtonCell::drawMark(const NSRect& frame) const
{
    const NSRect box =
        NSMakeRect(frame.origin.x + 0.5, NSMidY(frame) - kMarkSize / 2 + 0.5, kMarkSize - 1, kMarkSize - 1);
    auto outline = m_buttonType == NSRadioButton ? NSBezierPath::bezierPathWithOvalInRect(box)
                                                 : NSBezierPath::bezierPathWithRoundedRect(box, 2, 2);
    (m_highlighted ? NSColor::controlHighlightColor() : NSColor::whiteColor())->setFill();
    outline->fill();
    (m_enabled ? NSColor::darkGrayColor() : NSColor::lightGrayColor())->setStroke();
    outline->setLineWidth(1);
    outline->stroke();
    if (m_state == NSOffState) return;
    auto ink = m_enabled ? NSColor::blackColor() : NSColor::grayColor();
    if (m_buttonType == NSRadioButton) {
        ink->setFill();
        NSBezierPath::bezierPathWithOvalInRect(NSInsetRect(box, 3.5, 3.5))->fill();
        return;
    }
    auto mark = NSBezierPath::bezierPath();
    const bool flipped = controlView() && controlView()->isFlipped();
    auto at = [&](CGFloat fx, CGFloat fy) {
        return NSMakePoint(box.origin.x + fx * box.size.width,
                           flipped ? box.origin.y + (1 - fy) * box.size.height : box.origin.y + fy * box.size.height);
    };
    if (m_state == NSMixedState) {
        mark->moveToPoint(at(0.25, 0.5));
        mark->lineToPoint(at(0.75, 0.5));
    } else {
        mark->moveToPoint(at(0.22, 0.5));
        mark->lineToPoint(at(0.42, 0.25));
        mark->lineToPoint(at(0.8, 0.78));
    }
    mark->setLineWidth(2);
    ink->setStroke();
    mark->stroke();
}

void NSButtonCell::drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>&)
{
    if (!image) return;
    NSSize s = image->size();
    if (s.width > frame.size.width || s.height > frame.size.height) {
        const CGFloat scale = std::min(frame.size.width / s.width, frame.size.height / s.height);
        s = NSMakeSize(s.width * scale, s.height * scale);
    }
    const NSRect r = NSMakeRect(std::round(NSMidX(frame) - s.width / 2), std::round(NSMidY(frame) - s.height / 2),
                                s.width, s.height);
    const bool dim = !m_enabled && m_imageDimsWhenDisabled;
    image->drawInRect(r, NSZeroRect, NSCompositeSourceOver, dim ? 0.5 : 1.0, true, nullptr);
}

NSRect NSButtonCell::drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame, const Ref<NSView>&)
{
    if (!title || title->length() == 0) return NSMakeRect(frame.origin.x, frame.origin.y, 0, frame.size.height);
    NSUInteger align = m_alignment == NSNaturalTextAlignment ? NSLeftTextAlignment : m_alignment;
    // Rich text the cell was given draws with all its attributes.
    if (m_objectValue && m_objectValue.get() == title.get() && drawAttributedObjectValue(frame, align)) return frame;
    auto color = dynamic_ref_cast<NSColor>(title->attributeAtIndex(NSForegroundColorAttributeName, 0, nullptr));
    if (!color) color = textColorForState();
    std::u16string text = title->utf16();
    if (m_lineBreakMode == NSLineBreakByTruncatingTail)
        text = truncatedTail(text, frame.size.width,
                             [&](const std::u16string& t) { return ControlText::width(t, m_textStyle); });
    const CGFloat x = ControlText::drawInRect(text, frame, m_textStyle, color, align);
    return NSMakeRect(x, frame.origin.y, ControlText::width(text, m_textStyle), frame.size.height);
}

NSRect NSButtonCell::drawAttributedTitle(const Ref<NSAttributedString>& title, const NSRect& frame)
{
    if (!title || title->length() == 0) return NSMakeRect(frame.origin.x, frame.origin.y, 0, frame.size.height);
    Ref<NSAttributedString> text = title;
    if (m_lineBreakMode == NSLineBreakByTruncatingTail && NSAttributedStringExt::size(text).width > frame.size.width) {
        auto attributes = title->attributesAtIndex(0, nullptr);
        auto cut = truncatedTail(title->string()->utf16(), frame.size.width, [&](const std::u16string& t) {
            return NSStringExt::sizeWithAttributes(NSString::stringWithUTF16(t), attributes).width;
        });
        text = NSAttributedString::initWithString(NSString::stringWithUTF16(cut), attributes);
    }
    const NSSize size = NSAttributedStringExt::size(text);
    const NSUInteger align = m_alignment == NSNaturalTextAlignment ? NSLeftTextAlignment : m_alignment;
    CGFloat x = frame.origin.x;
    if (align == NSRightTextAlignment) x = NSMaxX(frame) - size.width;
    else if (align == NSCenterTextAlignment) x = frame.origin.x + (frame.size.width - size.width) / 2;
    const NSRect box = NSMakeRect(x, frame.origin.y + (frame.size.height - size.height) / 2, size.width, size.height);
    NSGraphicsContext::saveGraphicsState();
    NSBezierPath::clipRect(frame);
    NSAttributedStringExt::drawInRect(text, box);
    NSGraphicsContext::restoreGraphicsState();
    return box;
}

void NSButtonCell::mouseEntered(const Ref<NSEvent>&)
{
    m_mouseInside = true;
    redisplay();
}

void NSButtonCell::mouseExited(const Ref<NSEvent>&)
{
    m_mouseInside = false;
    redisplay();
}

void NSButtonCell::drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    if (isCheckOrRadio()) drawMark(frame);
    auto image = showsAlternate() && m_alternateImage ? m_alternateImage : m_image;
    NSRect titleRect = titleRectForBounds(frame);
    if (image && m_imagePosition != NSNoImage) {
        if (m_imagePosition == NSImageOnly || m_imagePosition == NSImageOverlaps) {
            drawImage(image, frame, controlView);
            if (m_imagePosition == NSImageOnly) return;
        } else {
            const CGFloat w = image->size().width + 4;
            NSRect imageRect = titleRect;
            imageRect.size.width = w;
            if (m_imagePosition == NSImageRight) imageRect.origin.x = NSMaxX(titleRect) - w;
            else titleRect.origin.x += w;
            titleRect.size.width -= w;
            drawImage(image, imageRect, controlView);
        }
    }
    auto text = showsAlternate() && m_alternateTitle ? attributedAlternateTitle() : attributedTitle();
    if (text->length()) drawTitle(text, titleRect, controlView);
}

void NSButtonCell::copyValuesFrom(const NSCell& other)
{
    NSActionCell::copyValuesFrom(other);
    auto o = dynamic_cast<const NSButtonCell*>(&other);
    if (!o) return;
    m_buttonType = o->m_buttonType;
    m_bezelStyle = o->m_bezelStyle;
    m_highlightsBy = o->m_highlightsBy;
    m_showsStateBy = o->m_showsStateBy;
    m_imageDimsWhenDisabled = o->m_imageDimsWhenDisabled;
    m_showsBorderOnlyWhileMouseInside = o->m_showsBorderOnlyWhileMouseInside;
    m_mouseInside = o->m_mouseInside;
    m_alternateTitle = copiedString(o->m_alternateTitle);
    m_attributedAlternateTitle = o->m_attributedAlternateTitle;
    m_image = o->m_image;
    m_alternateImage = o->m_alternateImage;
    m_imagePosition = o->m_imagePosition;
    m_keyEquivalent = copiedString(o->m_keyEquivalent);
    m_keyEquivalentModifierMask = o->m_keyEquivalentModifierMask;
}

void NSButtonCell::encodeWithCoder(NSCoder* c) const
{
    NSActionCell::encodeWithCoder(c);
    c->encodeInteger(NSInteger(m_buttonType), "NSButtonType"_ns);
    c->encodeInteger(NSInteger(m_bezelStyle), "NSBezelStyle"_ns);
    c->encodeObject(m_alternateTitle, "NSAlternateContents"_ns);
    c->encodeObject(m_keyEquivalent, "NSKeyEquivalent"_ns);
    c->encodeInteger(NSInteger(m_keyEquivalentModifierMask), "NSKeyEquivalentModifierMask"_ns);
    c->encodeInteger(NSInteger(m_imagePosition), "NSImagePosition"_ns);
    c->encodeInteger(NSInteger(m_highlightsBy), "NSHighlightsBy"_ns);
    c->encodeInteger(NSInteger(m_showsStateBy), "NSShowsStateBy"_ns);
    c->encodeBool(m_imageDimsWhenDisabled, "NSImageDimsWhenDisabled"_ns);
    c->encodeBool(m_showsBorderOnlyWhileMouseInside, "NSShowsBorderOnlyWhileMouseInside"_ns);
    // Images are written only when they can be archived.
    if (dynamic_cast<const NSCoding*>(m_image.get())) c->encodeObject(m_image, "NSNormalImage"_ns);
    if (dynamic_cast<const NSCoding*>(m_alternateImage.get())) c->encodeObject(m_alternateImage, "NSAlternateImage"_ns);
}

Id NSButtonCell::initWithCoder(NSCoder* c)
{
    NSActionCell::initWithCoder(c);
    m_buttonType = NSButtonType(c->decodeIntegerForKey("NSButtonType"_ns));
    m_bezelStyle = NSBezelStyle(c->decodeIntegerForKey("NSBezelStyle"_ns));
    m_alternateTitle = dynamic_ref_cast<NSString>(c->decodeObjectForKey("NSAlternateContents"_ns));
    m_keyEquivalent = dynamic_ref_cast<NSString>(c->decodeObjectForKey("NSKeyEquivalent"_ns));
    m_keyEquivalentModifierMask = NSUInteger(c->decodeIntegerForKey("NSKeyEquivalentModifierMask"_ns));
    m_imagePosition = NSCellImagePosition(c->decodeIntegerForKey("NSImagePosition"_ns));
    m_image = dynamic_ref_cast<NSImage>(c->decodeObjectForKey("NSNormalImage"_ns));
    m_alternateImage = dynamic_ref_cast<NSImage>(c->decodeObjectForKey("NSAlternateImage"_ns));
    const auto masks = masksForType(m_buttonType);
    m_highlightsBy = c->containsValueForKey("NSHighlightsBy"_ns)
                         ? NSUInteger(c->decodeIntegerForKey("NSHighlightsBy"_ns))
                         : masks.highlightsBy;
    m_showsStateBy = c->containsValueForKey("NSShowsStateBy"_ns)
                         ? NSUInteger(c->decodeIntegerForKey("NSShowsStateBy"_ns))
                         : masks.showsStateBy;
    m_imageDimsWhenDisabled =
        !c->containsValueForKey("NSImageDimsWhenDisabled"_ns) || c->decodeBoolForKey("NSImageDimsWhenDisabled"_ns);
    m_showsBorderOnlyWhileMouseInside = c->decodeBoolForKey("NSShowsBorderOnlyWhileMouseInside"_ns);
    // A file that names no alignment means the button's own: a push
    // button's title is centred, a check box's or radio button's follows
    // its mark.
    if (!c->containsValueForKey("NSAlignment"_ns))
        m_alignment = isCheckOrRadio() ? NSLeftTextAlignment : NSCenterTextAlignment;
    return this;
}

bool NSButtonCell::drawsAsDefault() const
{
    return m_enabled && m_bordered && !isCheckOrRadio() && m_keyEquivalent && m_keyEquivalent->isEqualToString("\r"_ns);
}
