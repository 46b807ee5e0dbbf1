#pragma once
// A container box that, while it has no subviews, shows an icon and a short
// centred message ("No Content") in the middle of its background: the empty
// state of a pane.
#include <functional>

#include "AppKit/NSImage.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSAttributedString.h"
#include "ZAKAppKit/ZAKContainerBox/ZAKContainerBox.h"

class ZAKBaseView : public ZAKContainerBox {
    NS_OBJECT(ZAKBaseView, ZAKContainerBox)
protected:
    ZAKBaseView() = default;

public:
    static void initialize();
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    Ref<ZAKBaseView> initWithIcon(const Ref<NSImage>& icon, const Ref<NSString>& text);
    Ref<ZAKBaseView> initWithIcon(const Ref<NSImage>& icon, const Ref<NSAttributedString>& attributedText);

    Ref<NSImage> icon() const { return m_icon; }
    void setIcon(const Ref<NSImage>& icon)
    {
        m_icon = icon;
        setNeedsDisplay(true);
    }
    // Never nil: nil is stored as "".
    Ref<NSString> text() const { return m_text; }
    void setText(const Ref<NSString>& text);
    Ref<NSAttributedString> attributedText() const { return m_attributedText; }
    // Lends its first attributes to the shown text; the shown text stays.
    // An empty one keeps the current attributes.
    void setAttributedText(const Ref<NSAttributedString>& text);
    Ref<NSDictionary> textBoxAttributes() const { return m_textBoxAttributes; }

    CGFloat textBoxWidth() const { return m_textBoxWidth; }
    void setTextBoxWidth(CGFloat width);
    CGFloat iconVerticalOffset() const { return m_iconVerticalOffset; }
    void setIconVerticalOffset(CGFloat offset) { m_iconVerticalOffset = offset; }
    CGFloat iconTextMargin() const { return m_iconTextMargin; }
    void setIconTextMargin(CGFloat margin) { m_iconTextMargin = margin; }
    bool preventDrawingWithSubviews() const { return m_preventDrawingWithSubviews; }
    void setPreventDrawingWithSubviews(bool flag) { m_preventDrawingWithSubviews = flag; }

    // Measures the text (wrapped to textBoxWidth) when there is one, then
    // answers the stored rectangle.
    NSRect calculatedTextBoxRect();
    void setCalculatedTextBoxRect(const NSRect& rect) { m_calculatedTextBoxRect = rect; }
    bool hasIcon() const { return m_icon != nullptr; }
    bool hasText() const { return m_text && m_text->length() > 0; }

    // The start frame for sliding a view in: 2 from above, 3 from the right,
    // 4 from below, 5 from the left; other effects the view's bounds.
    NSRect frameForView(const Ref<NSView>& view, NSInteger effect) const;
    // No sliding is done; the completion handler runs at once.
    void pushChildView(const Ref<NSView>& view, NSInteger effect, const std::function<void()>& completion);
    void popChildViewWithAnimationEffect(NSInteger effect, const std::function<void()>& completion);

    void drawRect(const NSRect& dirtyRect) override;

private:
    void commonConfiguration();
    static Ref<NSDictionary> defaultTextBoxAttributes();

    Ref<NSImage> m_icon;
    Ref<NSString> m_text;
    Ref<NSAttributedString> m_attributedText;
    Ref<NSDictionary> m_textBoxAttributes;
    Ref<NSMutableArray> m_childViewStack;
    bool m_isAnimating = false;
    NSRect m_calculatedTextBoxRect = NSZeroRect;
    CGFloat m_textBoxWidth = 180;
    CGFloat m_iconVerticalOffset = 10;
    CGFloat m_iconTextMargin = 10;
    bool m_preventDrawingWithSubviews = true;
};
