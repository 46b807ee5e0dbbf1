#include "ZAKAppKit/ZAKTButton/ZAKTButtonCell.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"
#include "ZAKAppKit/ZAKThemes/ZAKThemedCellDrawing.h"

NS_CLASS_DEFINE(ZAKTButtonCell)

namespace Drawing = ZAKThemedCellDrawing;

namespace {
const Ref<NSString> kThemeKey = "themeKey"_ns;
const Ref<NSString> kButtonTypeKey = "KQButtonType"_ns;
const Ref<NSString> kHighlightModeKey = "highlightBgMode"_ns;
const Ref<NSString> kStateModeKey = "stateBgMode"_ns;
}

Ref<NSCell> ZAKTButtonCell::initTextCell(const Ref<NSString>& text)
{
    NSButtonCell::initTextCell(text);
    setHighlightsBy(NSChangeGrayCellMask | NSChangeBackgroundCellMask);
    return this;
}

Ref<NSCell> ZAKTButtonCell::initImageCell(const Id& image)
{
    NSButtonCell::initImageCell(image);
    setHighlightsBy(NSChangeGrayCellMask | NSChangeBackgroundCellMask);
    return this;
}

Ref<ZAKTheme> ZAKTButtonCell::theme() const { return Drawing::themeForKey(m_themeKey); }

void ZAKTButtonCell::setThemeKey(const Ref<NSString>& key)
{
    m_themeKey = copiedString(key);
    redisplay();
}

void ZAKTButtonCell::setHighlightBackgroundMode(NSUInteger mode)
{
    m_highlightBackgroundMode = mode;
    redisplay();
}

void ZAKTButtonCell::setBorderSideMask(NSUInteger mask)
{
    m_borderSideMask = mask;
    redisplay();
}

void ZAKTButtonCell::setButtonType(NSButtonType type)
{
    m_buttonType = type;
    NSButtonCell::setButtonType(type);
    if (!isBordered() && !(highlightsBy() & NSChangeBackgroundCellMask))
        setHighlightsBy(highlightsBy() | NSChangeBackgroundCellMask);
}

NSRect ZAKTButtonCell::imageRectForBounds(const NSRect& bounds) const
{
    if (auto r = Drawing::imageRectForBounds(*this, m_highlightBackgroundMode, bounds)) return *r;
    return NSButtonCell::imageRectForBounds(bounds);
}

void ZAKTButtonCell::mouseEntered(const Ref<NSEvent>& event)
{
    NSButtonCell::mouseEntered(event);
    NSLog("mouseEntered");
    if (bezelStyle() != NSRecessedBezelStyle) return;
    m_isMouseIn = true;
    setHighlighted(true);
}

void ZAKTButtonCell::mouseExited(const Ref<NSEvent>& event)
{
    NSButtonCell::mouseExited(event);
    if (bezelStyle() != NSRecessedBezelStyle) return;
    m_isMouseIn = false;
    setHighlighted(false);
}

void ZAKTButtonCell::drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    if (!theme()) return NSButtonCell::drawBezelWithFrame(frame, controlView);
    if (isHighlighted() && Drawing::highlightsBackground(*this))
        drawHighlightedBackgroundForStateMask(Drawing::stateMask(*this), frame, controlView);
}

void ZAKTButtonCell::drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& controlView)
{
    auto theme = this->theme();
    if (!theme) return NSButtonCell::drawInteriorWithFrame(frame, controlView);
    const NSUInteger mask = Drawing::stateMask(*this);
    const NSRect d = drawingRectForBounds(frame);
    if ((mask & ZAKThemeStateHighlighted) && !isBordered() && Drawing::highlightsBackground(*this))
        drawHighlightedBackgroundForStateMask(mask, frame, controlView);
    drawImage(imageForStateMask(mask), frame, controlView);
    if (imagePosition() != NSImageOnly) drawTitle(attributedTitle(), frame, controlView);
    Drawing::drawBorderSides(*theme, mask, m_borderSideMask, d);
}

void ZAKTButtonCell::drawHighlightedBackgroundForStateMask(NSUInteger mask, const NSRect& frame,
                                                           const Ref<NSView>& controlView)
{
    auto theme = this->theme();
    if (!theme) return;
    Drawing::drawHighlightedBackground(*this, *theme, mask, m_highlightBackgroundMode, imageForStateMask(mask), frame,
                                       controlView);
}

Ref<NSImage> ZAKTButtonCell::imageForStateMask(NSUInteger) const
{
    return state() == NSOnState && alternateImage() ? alternateImage() : image();
}

void ZAKTButtonCell::drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView)
{
    if (!theme()) return NSButtonCell::drawImage(image, frame, controlView);
    Drawing::drawImage(*this, image, frame, controlView);
}

NSRect ZAKTButtonCell::drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                                 const Ref<NSView>& controlView)
{
    auto theme = this->theme();
    if (!theme) return NSButtonCell::drawTitle(title, frame, controlView);
    const NSUInteger mask = Drawing::stateMask(*this);
    NSRect t = frame;
    if (m_buttonType != NSSwitchButton && m_buttonType != NSRadioButton) {
        t.origin.x += 5;
        t.size.width -= 10;
        t.size.height -= 2;
    }
    auto text =
        NSMutableAttributedString::initWithAttributedString(title ? title : NSAttributedString::initWithString(""_ns));
    const bool hasAlternate = alternateTitle()->length() > 0;
    const bool pressedShowsAlternate = showsStateBy() == 0 && highlightsBy() == 1 && isHighlighted();
    const bool onShowsAlternate = showsStateBy() == 1 && highlightsBy() == 3 && state() == NSOnState;
    if (hasAlternate && (pressedShowsAlternate || onShowsAlternate))
        text->setAttributedString(attributedAlternateTitle());
    if (text->length() > 0) {
        text->addAttribute(NSForegroundColorAttributeName, theme->textColorForBackgroundStyle(backgroundStyle(), mask),
                           NSMakeRange(0, text->length()));
        NSButtonCell::drawTitle(text, t, controlView);
    }
    return t;
}

Id ZAKTButtonCell::copy() const
{
    auto clone = dynamic_ref_cast<ZAKTButtonCell>(NSButtonCell::copy());
    if (!clone) return nullptr;
    clone->setThemeKey(m_themeKey);
    clone->setButtonType(NSButtonType(m_buttonType));
    clone->setHighlightBackgroundMode(m_highlightBackgroundMode);
    clone->setStateBackgroundMode(m_stateBackgroundMode);
    return clone;
}

void ZAKTButtonCell::encodeWithCoder(NSCoder* coder) const
{
    NSButtonCell::encodeWithCoder(coder);
    coder->encodeObject(m_themeKey, kThemeKey);
    coder->encodeInteger(NSInteger(m_buttonType), kButtonTypeKey);
    coder->encodeInteger(NSInteger(m_highlightBackgroundMode), kHighlightModeKey);
    coder->encodeInteger(NSInteger(m_stateBackgroundMode), kStateModeKey);
}

Id ZAKTButtonCell::initWithCoder(NSCoder* coder)
{
    NSButtonCell::initWithCoder(coder);
    m_themeKey = Drawing::decodeString(coder, kThemeKey);
    m_buttonType = NSUInteger(Drawing::decodeInteger(coder, kButtonTypeKey, 0));
    m_highlightBackgroundMode = NSUInteger(Drawing::decodeInteger(coder, kHighlightModeKey, 0));
    m_stateBackgroundMode = NSUInteger(Drawing::decodeInteger(coder, kStateModeKey, 0));
    if (!isBordered() && !(highlightsBy() & NSChangeBackgroundCellMask))
        setHighlightsBy(highlightsBy() | NSChangeBackgroundCellMask);
    return this;
}
