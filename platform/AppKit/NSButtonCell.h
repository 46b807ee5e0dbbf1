#pragma once
// The cell of push buttons, check boxes, radio buttons and image buttons.
// The button type decides how a click changes the state and how the state
// shows; the title is the cell's contents, the alternate title shows while
// the state is on (toggle and momentary-change types).
//
// Two masks say how the cell shows pressing (highlightsBy) and the on state
// (showsStateBy); setButtonType sets both for its type:
//   type                 highlightsBy        showsStateBy
//   momentary light 0    gray|background     none
//   push on/off 1        push-in|gray        background
//   toggle 2             push-in|gray        contents
//   switch 3, radio 4    contents            contents
//   momentary change 5   contents            none
//   on/off 6             background          background
//   momentary push-in 7  push-in|gray        none
// Contents (1) shows the alternate title and image; push-in (2), change
// gray (4) and change background (8) give the pressed look.
//
// Baseline look: a push button is a rounded rectangle (white, grey border,
// light blue while it shows pressing or the on state as above) with its title
// centred; a check box is a 14-point square left of the title with a check
// mark when on and a dash when mixed; a radio button is a 14-point circle
// with a dot when on. An image is drawn centred in the rectangle it is given,
// scaled down to fit keeping its aspect, at half opacity while disabled
// unless imageDimsWhenDisabled is NO, or beside the title as imagePosition
// says. The title is drawn in the colour of the attributed title's first
// character; a title given as an attributed string draws with all its
// attributes.
//
// Keyed-coding keys (after NSActionCell's): NSButtonType, NSBezelStyle,
// NSAlternateContents, NSKeyEquivalent, NSKeyEquivalentModifierMask,
// NSImagePosition, NSNormalImage, NSAlternateImage, NSHighlightsBy,
// NSShowsStateBy (the type's masks when missing), NSImageDimsWhenDisabled
// (YES when missing), NSShowsBorderOnlyWhileMouseInside.
#include "AppKit/NSActionCell.h"
#include "AppKit/NSImage.h"
#include "Foundation/NSAttributedString.h"

enum NSButtonType : NSUInteger {
    NSMomentaryLightButton = 0,
    NSPushOnPushOffButton = 1,
    NSToggleButton = 2,
    NSSwitchButton = 3,
    NSRadioButton = 4,
    NSMomentaryChangeButton = 5,
    NSOnOffButton = 6,
    NSMomentaryPushInButton = 7,
};

enum NSBezelStyle : NSUInteger {
    NSRoundedBezelStyle = 1,
    NSRegularSquareBezelStyle = 2,
    NSShadowlessSquareBezelStyle = 6,
    NSTexturedSquareBezelStyle = 8,
    NSSmallSquareBezelStyle = 10,
    NSRecessedBezelStyle = 13,
};

enum NSCellImagePosition : NSUInteger {
    NSNoImage = 0,
    NSImageOnly = 1,
    NSImageLeft = 2,
    NSImageRight = 3,
    NSImageBelow = 4,
    NSImageAbove = 5,
    NSImageOverlaps = 6,
};

class NSButtonCell : public NSActionCell {
    NS_OBJECT(NSButtonCell, NSActionCell)
protected:
    NSButtonCell() = default;

public:
    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    Ref<NSCell> initImageCell(const Id& image) override;

    NSButtonType buttonType() const { return m_buttonType; }
    virtual void setButtonType(NSButtonType type);
    NSUInteger highlightsBy() const { return m_highlightsBy; }
    void setHighlightsBy(NSUInteger mask)
    {
        m_highlightsBy = mask;
        redisplay();
    }
    NSUInteger showsStateBy() const { return m_showsStateBy; }
    void setShowsStateBy(NSUInteger mask)
    {
        m_showsStateBy = mask;
        redisplay();
    }
    bool imageDimsWhenDisabled() const { return m_imageDimsWhenDisabled; }
    void setImageDimsWhenDisabled(bool flag)
    {
        m_imageDimsWhenDisabled = flag;
        redisplay();
    }
    NSBezelStyle bezelStyle() const { return m_bezelStyle; }
    void setBezelStyle(NSBezelStyle style)
    {
        m_bezelStyle = style;
        redisplay();
    }
    Ref<NSString> title() const override { return stringValue(); }
    Ref<NSString> alternateTitle() const { return m_alternateTitle ? m_alternateTitle : ""_ns; }
    void setAlternateTitle(const Ref<NSString>& title)
    {
        m_alternateTitle = copiedString(title);
        redisplay();
    }
    // The title with the cell's font, alignment and text colour, or the
    // attributed string the title was given as.
    Ref<NSAttributedString> attributedTitle() const;
    void setAttributedTitle(const Ref<NSAttributedString>& title) { setObjectValue(title); }
    Ref<NSAttributedString> attributedAlternateTitle() const;
    void setAttributedAlternateTitle(const Ref<NSAttributedString>& title);
    Ref<NSImage> image() const { return m_image; }
    void setImage(const Ref<NSImage>& image)
    {
        m_image = image;
        redisplay();
    }
    Ref<NSImage> alternateImage() const { return m_alternateImage; }
    void setAlternateImage(const Ref<NSImage>& image)
    {
        m_alternateImage = image;
        redisplay();
    }
    NSCellImagePosition imagePosition() const { return m_imagePosition; }
    void setImagePosition(NSCellImagePosition p)
    {
        m_imagePosition = p;
        redisplay();
    }
    // The key that clicks the button: "\r" for Return, "\x1b" for Escape,
    // else the character, with the modifier flags that must be held.
    Ref<NSString> keyEquivalent() const { return m_keyEquivalent ? m_keyEquivalent : ""_ns; }
    void setKeyEquivalent(const Ref<NSString>& key) { m_keyEquivalent = copiedString(key); }
    NSUInteger keyEquivalentModifierMask() const { return m_keyEquivalentModifierMask; }
    void setKeyEquivalentModifierMask(NSUInteger mask) { m_keyEquivalentModifierMask = mask; }
    // Whether the key event is the cell's key equivalent.
    bool matchesKeyEquivalent(const Ref<NSEvent>& event) const;

    // A bezel drawn only while the mouse is over the button (or it shows
    // pressing or the on state); the view that tracks the mouse reports it
    // through mouseEntered/mouseExited.
    bool showsBorderOnlyWhileMouseInside() const { return m_showsBorderOnlyWhileMouseInside; }
    void setShowsBorderOnlyWhileMouseInside(bool flag)
    {
        m_showsBorderOnlyWhileMouseInside = flag;
        redisplay();
    }
    bool isMouseInside() const { return m_mouseInside; }
    void mouseEntered(const Ref<NSEvent>& event) override;
    void mouseExited(const Ref<NSEvent>& event) override;

    // Check boxes, radio buttons and on/off types change state on a click;
    // a radio button only turns on.
    void didClickInside() override;
    bool acceptsFirstResponder() const override { return false; }

    NSSize cellSizeForBounds(const NSRect& bounds) const override;
    NSRect titleRectForBounds(const NSRect& bounds) const override;
    void drawWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    void drawInteriorWithFrame(const NSRect& cellFrame, const Ref<NSView>& controlView) override;
    // The title's attributes: the cell's font, its text colour for the
    // state and a paragraph style with its alignment.
    virtual Ref<NSDictionary> textAttributes() const;
    // Where the pressed look goes; the bounds themselves here.
    virtual NSRect highlightRectForBounds(const NSRect& bounds) const { return bounds; }
    // The overridable parts of the look.
    virtual void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView);
    virtual void drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView);
    // Answers the rectangle the title took.
    virtual NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame, const Ref<NSView>& controlView);
    // A title drawn with every attribute it has (font, colour, shadow), one
    // line centred in the frame's height and aligned as the cell says, cut
    // as the line-break mode says; answers the rectangle it took.
    NSRect drawAttributedTitle(const Ref<NSAttributedString>& title, const NSRect& frame);

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

protected:
    void copyValuesFrom(const NSCell& other) override;

private:
    bool isCheckOrRadio() const { return m_buttonType == NSSwitchButton || m_buttonType == NSRadioButton; }
    // The default button of its window: an enabled push button that Return presses.
    bool drawsAsDefault() const;
    bool showsAlternate() const;
    bool showsPressed() const;
    Ref<NSAttributedString> styledTitle(const Ref<NSString>& text) const;
    void drawMark(const NSRect& box) const;

    NSButtonType m_buttonType = NSMomentaryPushInButton;
    NSBezelStyle m_bezelStyle = NSRoundedBezelStyle;
    NSUInteger m_highlightsBy = NSPushInCellMask | NSChangeGrayCellMask;
    NSUInteger m_showsStateBy = NSNoCellMask;
    bool m_imageDimsWhenDisabled = true;
    Ref<NSString> m_alternateTitle;
    Ref<NSAttributedString> m_attributedAlternateTitle;
    Ref<NSImage> m_image;
    Ref<NSImage> m_alternateImage;
    NSCellImagePosition m_imagePosition = NSNoImage;
    Ref<NSString> m_keyEquivalent;
    NSUInteger m_keyEquivalentModifierMask = 0;
    bool m_showsBorderOnlyWhileMouseInside = false;
    bool m_mouseInside = false;
};
