#pragma once
// A pop-up button cell drawn through the theme its key names, by the themed
// button cell's rules without title colour or alternate image; no arrows
// while a theme is in use. With no theme under the key it draws as the
// platform's pop-up cell, arrows included. Archive keys (after the platform
// cell's): themeKey, highlightBgMode.
#include "AppKit/NSPopUpButtonCell.h"
#include "ZAKAppKit/ZAKThemes/ZAKTheme.h"

class ZAKTPopUpButtonCell : public NSPopUpButtonCell, public ZAKThemedObject {
    NS_OBJECT(ZAKTPopUpButtonCell, NSPopUpButtonCell)
public:
    ZAKTPopUpButtonCell() = default;

    Ref<NSCell> initTextCell(const Ref<NSString>& text) override;

    Ref<NSString> themeKey() const override { return m_themeKey; }
    void setThemeKey(const Ref<NSString>& key) override;
    // 0 flat fill, 1 glow around the image, 2 gradient.
    NSUInteger highlightBackgroundMode() const { return m_highlightBackgroundMode; }
    void setHighlightBackgroundMode(NSUInteger mode);
    // 1 left, 2 right, 4 smallest-y edge, 8 largest-y edge.
    NSUInteger borderSideMask() const { return m_borderSideMask; }
    void setBorderSideMask(NSUInteger mask);

    NSRect imageRectForBounds(const NSRect& bounds) const override;
    void drawBezelWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    void drawInteriorWithFrame(const NSRect& frame, const Ref<NSView>& controlView) override;
    void drawImage(const Ref<NSImage>& image, const NSRect& frame, const Ref<NSView>& controlView) override;
    virtual void drawHighlightedBackgroundForStateMask(NSUInteger mask, const NSRect& frame,
                                                       const Ref<NSView>& controlView);
    // The pop-up's arrows in the theme's text colour, for subclasses; without
    // a theme it draws nothing.
    void drawArrowsInRect(const NSRect& rect);

    Id copy() const override;
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<NSString> m_themeKey;
    NSUInteger m_highlightBackgroundMode = 0;
    NSUInteger m_borderSideMask = 0;
};
