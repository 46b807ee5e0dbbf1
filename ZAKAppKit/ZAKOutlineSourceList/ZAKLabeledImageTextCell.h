#pragma once
// A text cell for table and outline rows: an image at the left, the editable
// text, an optional information text, then a status image and a right image
// at the right, with a colour label drawn as a gradient pill behind the text
// (in a highlighted row a small pill at the right end instead). Editing and
// selecting happen in the text part only, in the same rectangle the text is
// drawn in.
#include "AppKit/NSImage.h"
#include "AppKit/NSTextFieldCell.h"
#include "Foundation/NSDictionary.h"

class ZAKLabeledImageTextCell : public NSTextFieldCell {
    NS_OBJECT(ZAKLabeledImageTextCell, NSTextFieldCell)
protected:
    ZAKLabeledImageTextCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    int32_t colorLabelType() const { return m_colorLabelType; }
    // A new type takes its label colour (none outside 1 to 7).
    void setColorLabelType(int32_t type);
    Ref<NSColor> labelColor() const { return m_labelColor; }
    Ref<NSImage> image() const { return m_image; }
    void setImage(const Ref<NSImage>& image) { m_image = image; }
    Ref<NSImage> rightImage() const { return m_rightImage; }
    void setRightImage(const Ref<NSImage>& image) { m_rightImage = image; }
    Ref<NSString> infoText() const { return m_infoText; }
    void setInfoText(const Ref<NSString>& text) { m_infoText = copiedString(text); }
    Ref<NSImage> statusImage() const { return m_statusImage; }
    void setStatusImage(const Ref<NSImage>& image) { m_statusImage = image; }
    double minImageWidth() const { return m_minImageWidth; }
    void setMinImageWidth(double width) { m_minImageWidth = width; }
    double leftInset() const { return m_leftInset; }
    void setLeftInset(double inset) { m_leftInset = inset; }
    double rightInset() const { return m_rightInset; }
    void setRightInset(double inset) { m_rightInset = inset; }
    bool middleAlignedText() const { return m_middleAlignedText; }
    void setMiddleAlignedText(bool flag) { m_middleAlignedText = flag; }

    // The layout of the last calcDrawInfo.
    NSRect imageRect() const { return m_imageRect; }
    NSRect rightImageRect() const { return m_rightImageRect; }
    NSRect infoTextRect() const { return m_infoTextRect; }
    NSRect statusImageRect() const { return m_statusImageRect; }
    NSRect textRect() const { return m_textRect; }
    NSRect labelRect() const { return m_labelRect; }
    double capRadius() const { return m_capRadius; }

    void calcDrawInfo(const NSRect& rect) override;
    void drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    void drawLabelColorWithFrame(const NSRect& rect, const Ref<NSView>& controlView);
    void editWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                       const Id& delegate, const Ref<NSEvent>& event) override;
    void selectWithFrame(const NSRect& frame, const Ref<NSView>& controlView, const Ref<NSText>& textObj,
                         const Id& delegate, NSInteger start, NSInteger length) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    void clearLayout();
    void drawImage(const Ref<NSImage>& image, const NSRect& rect) const;

    int32_t m_colorLabelType = 0;
    Ref<NSImage> m_image;
    Ref<NSImage> m_rightImage;
    Ref<NSString> m_infoText;
    Ref<NSColor> m_labelColor;
    Ref<NSImage> m_statusImage;
    double m_minImageWidth = 0;
    double m_leftInset = 0;
    double m_rightInset = 0;
    bool m_middleAlignedText = false;
    double m_capRadius = 0;
    NSRect m_imageRect = NSZeroRect;
    NSRect m_rightImageRect = NSZeroRect;
    NSRect m_infoTextRect = NSZeroRect;
    NSRect m_statusImageRect = NSZeroRect;
    NSRect m_textRect = NSZeroRect;
    NSRect m_labelRect = NSZeroRect;
    Ref<NSMutableDictionary> m_textAttrs;
};
