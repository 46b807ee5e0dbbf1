#include "ZAKAppKit/ZAKBaseView/ZAKBaseView.h"

#include "AppKit/NSAttributedStringKeys.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSShadow.h"
#include "AppKit/NSStringDrawing.h"
#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(ZAKBaseView)

namespace {

struct ClassLook {
    Ref<NSColor> textColor;
    Ref<NSColor> shadowColor;
    Ref<NSFont> font;
};

ClassLook& look()
{
    static ClassLook l;
    return l;
}

}

void ZAKBaseView::initialize()
{
    look().textColor = NSColor::grayColor();
    look().shadowColor = NSColor::whiteColor();
    auto font = NSFont::fontWithName("HelveticaNeue-Medium"_ns, 24);
    look().font = font ? font : NSFont::labelFontOfSize(24);
}

Ref<NSDictionary> ZAKBaseView::defaultTextBoxAttributes()
{
    auto shadow = NSShadow::shadow();
    shadow->setShadowColor(look().shadowColor);
    shadow->setShadowOffset(NSMakeSize(0, -1));
    auto style = dynamic_ref_cast<NSMutableParagraphStyle>(NSParagraphStyle::defaultParagraphStyle()->mutableCopy());
    style->setAlignment(NSCenterTextAlignment);
    return NSDictionary::dictionaryWithObjectsAndKeys({look().font, NSFontAttributeName, look().textColor,
                                                       NSForegroundColorAttributeName, shadow, NSShadowAttributeName,
                                                       style, NSParagraphStyleAttributeName,
                                                       NSNumber::numberWithFloat(0.95f), NSKernAttributeName});
}

Ref<NSView> ZAKBaseView::initWithFrame(const NSRect& frame)
{
    ZAKContainerBox::initWithFrame(frame);
    commonConfiguration();
    return this;
}

void ZAKBaseView::commonConfiguration()
{
    m_icon = nullptr;
    m_textBoxWidth = 180;
    m_iconVerticalOffset = 10;
    m_iconTextMargin = 10;
    m_preventDrawingWithSubviews = true;
    m_childViewStack = NSMutableArray::array();
    m_isAnimating = false;
    setHasGradient(true);
    m_textBoxAttributes = defaultTextBoxAttributes();
    m_text = nullptr;
    setText("No Content"_ns);
    m_calculatedTextBoxRect = NSZeroRect;
}

Ref<ZAKBaseView> ZAKBaseView::initWithIcon(const Ref<NSImage>& icon, const Ref<NSString>& text)
{
    init();
    setIcon(icon);
    setText(text);
    return this;
}

Ref<ZAKBaseView> ZAKBaseView::initWithIcon(const Ref<NSImage>& icon, const Ref<NSAttributedString>& attributedText)
{
    init();
    setIcon(icon);
    setAttributedText(attributedText);
    return this;
}

void ZAKBaseView::setText(const Ref<NSString>& text)
{
    if (text && text == m_text) return;
    m_text = text ? NSString::stringWithString(text) : ""_ns;
    m_attributedText = NSAttributedString::initWithString(m_text, m_textBoxAttributes);
    setNeedsDisplay(true);
}

void ZAKBaseView::setAttributedText(const Ref<NSAttributedString>& text)
{
    if (!text || (m_text && text->string()->isEqualToString(m_text))) return;
    m_attributedText = text;
    if (text->length() > 0) m_textBoxAttributes = text->attributesAtIndex(0, nullptr);
    setNeedsDisplay(true);
}

void ZAKBaseView::setTextBoxWidth(CGFloat width)
{
    if (width == m_textBoxWidth) return;
    m_textBoxWidth = width;
    setNeedsDisplay(true);
}

NSRect ZAKBaseView::calculatedTextBoxRect()
{
    if (hasText())
        m_calculatedTextBoxRect = NSStringExt::boundingRectWithSize(
            m_text, NSMakeSize(m_textBoxWidth, 0), NSStringDrawingUsesLineFragmentOrigin, m_textBoxAttributes);
    return m_calculatedTextBoxRect;
}

NSRect ZAKBaseView::frameForView(const Ref<NSView>& view, NSInteger effect) const
{
    NSRect r = view->bounds();
    const NSRect own = frame();
    auto border = [&](NSRectEdge edge) {
        auto w = window();
        return w ? w->contentBorderThicknessForEdge(edge) : 0.0;
    };
    switch (effect) {
    case 2: r.origin.y = NSMaxY(own) - border(NSMaxYEdge); break;
    case 3: r.origin.x = NSMaxX(own); break;
    case 4: r.origin.y = own.origin.y - own.size.height - border(NSMinYEdge); break;
    case 5: r.origin.x = own.origin.x - own.size.width; break;
    default: break;
    }
    return r;
}

void ZAKBaseView::pushChildView(const Ref<NSView>&, NSInteger, const std::function<void()>& completion)
{
    if (completion) completion();
}

void ZAKBaseView::popChildViewWithAnimationEffect(NSInteger, const std::function<void()>& completion)
{
    if (completion) completion();
}

void ZAKBaseView::drawRect(const NSRect& dirtyRect)
{
    ZAKContainerBox::drawRect(dirtyRect);
    if (!subviews().empty() && m_preventDrawingWithSubviews && !m_isAnimating) return;
    const NSRect b = bounds();
    NSRect t = calculatedTextBoxRect();
    CGFloat textY = (b.size.height - t.size.height) / 2;
    if (m_icon) {
        const NSSize s = m_icon->size();
        NSPoint at = NSMakePoint((b.size.width - s.width) / 2, (b.size.height - s.height) / 2);
        if (hasText()) {
            at.y += m_iconVerticalOffset;
            textY = at.y - t.size.height - m_iconTextMargin;
        }
        m_icon->drawAtPoint(at, b, NSCompositeSourceAtop, 1.0);
        if (!hasText()) return;
    }
    if (!hasText()) return;
    t.origin = NSMakePoint((b.size.width - t.size.width) / 2, textY);
    m_calculatedTextBoxRect = t;
    NSStringExt::drawInRect(m_text, t, m_textBoxAttributes);
}
