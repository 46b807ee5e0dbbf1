#pragma once
// A button cell that draws its highlighted background, image, title and
// one-point border sides with the theme its key names; with no theme under
// the key it draws as the platform's cell. Archive keys (after the platform
// cell's): themeKey, KQButtonType, highlightBgMode, stateBgMode.
#include "AppKit/NSButtonCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

class ZAKTButtonCell : public NSButtonCell, public ZAKThemedObject {
    NS_OBJECT(ZAKTButtonCell, NSButtonCell)
public:
    ZAKTButtonCell() = default;

    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;
    Ref<NSCell> initImageCell(const Id& image) override;

    Ref<NSString> themeKey() const override { return m_themeKey; }
    void setThemeKey(const Ref<NSString>& key) override;
    // 0 flat fill, 1 glow around the image, 2 gradient; others draw nothing.
    NSUInteger highlightBackgroundMode() const { return m_highlightBackgroundMode; }
    void setHighlightBackgroundMode(NSUInteger mode);
    // Stored, archived and copied; no drawing reads it.
    NSUInteger stateBackgroundMode() const { return m_stateBackgroundMode; }
    void setStateBackgroundMode(NSUInteger mode) { m_stateBackgroundMode = mode; }
    // 1 left, 2 right, 4 smallest-y edge, 8 largest-y edge.
    NSUInteger borderSideMask() const { return m_borderSideMask; }
    void setBorderSideMask(NSUInteger mask);
    // An unbordered cell also highlights by its background.
    void setButtonType(NSButtonType type) override;
    // The type last given to setButtonType (0 until then).
    NSUInteger recordedButtonType() const { return m_buttonType; }
    bool isMouseIn() const { return m_isMouseIn; }

    NSRect imageRectForBounds(const NSRect& bounds) const override;
    void mouseEntered(const Ref<NSEvent>& event) override;
    void mouseExited(const Ref<NSEvent>& event) override;
    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    void drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    // Answers the title rectangle, also when nothing was drawn.
    NSRect drawTitle(const Ref<NSAttributedString>& title, const NSRect& frame,
                     const Ref<NSView>& controlView) override;
    void drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView) override;
    virtual void drawHighlightedBackgroundForStateMask(NSUInteger mask, const NSRect& frame,
                                                       const Ref<NSView>& controlView);
    // The alternate image while on (when there is one), else the image.
    virtual Ref<NSImage> imageForStateMask(NSUInteger mask) const;

    // Painters of whole buttons of one bezel kind in the theme's colours,
    // for subclasses; without a theme they draw nothing.
    void drawTexturedRoundedButtonInFrame(const NSRect& frame);
    void drawRoundRectButtonInFrame(const NSRect& frame);
    void drawSmallSquareButtonInFrame(const NSRect& frame);
    void drawRoundedButtonInFrame(const NSRect& frame);
    void drawRecessedButtonInFrame(const NSRect& frame);
    void drawCheckInFrame(const NSRect& frame, bool isRadio);

    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<ZAKTheme> theme() const;
    // The painters' fill mask: 1 disabled; for a cell that shows and
    // highlights by gray and background, 4 when on; else 8 when highlighted.
    NSUInteger painterFillMask() const;
    void outlinePath(const ZAKTheme& theme, const Ref<class NSBezierPath>& path, NSUInteger mask,
                     bool shadowWhenEnabled) const;
    void paintTitleAndImage(const NSRect& titleRect, const NSRect& imageRect);

    Ref<NSString> m_themeKey;
    NSUInteger m_buttonType = 0;
    NSUInteger m_highlightBackgroundMode = 0;
    NSUInteger m_stateBackgroundMode = 0;
    NSUInteger m_borderSideMask = 0;
    bool m_isMouseIn = false;
};
