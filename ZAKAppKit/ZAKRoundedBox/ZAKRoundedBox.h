#pragma once
// A box with a rounded border (radius 4) and its title in a tab at the top
// left, or in a bar across the whole top when asked or when the box is too
// narrow for a tab. Selected, the border and the tab take the alternate
// selected control colour.
//
// The defaults are applied by initWithFrame and again by awakeFromNib, so a
// box from an interface file starts with them whatever the file set.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSBox.h"

class ZAKRoundedBox : public NSBox {
    NS_OBJECT(ZAKRoundedBox, NSBox)
protected:
    ZAKRoundedBox() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    void awakeFromNib() override;
    // Title drawn, truncating at the tail, not editable, bold at the small
    // control size in white; border 2 points in gray; background calibrated
    // white 0.9; tab title; not selected.
    void setDefaults();

    // These redraw (the title and the bar also reset the cursor rectangles).
    void setTitle(const Ref<NSString>& title);
    bool drawsFullTitleBar() const { return m_drawsFullTitleBar; }
    void setDrawsFullTitleBar(bool flag);
    bool isSelected() const { return m_selected; }
    void setSelected(bool flag);
    Ref<NSColor> borderColor() const { return m_borderColor; }
    void setBorderColor(const Ref<NSColor>& color);
    Ref<NSColor> titleColor() const { return m_titleColor; }
    void setTitleColor(const Ref<NSColor>& color);
    // Shows at the next redraw.
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& color) { m_backgroundColor = color; }
    CGFloat borderWidth() const { return m_borderWidth; }
    void setBorderWidth(CGFloat width) { m_borderWidth = width; }
    bool drawsTitle() const { return m_drawsTitle; }
    void setDrawsTitle(bool flag) { m_drawsTitle = flag; }
    // The bounds of the title shape of the last drawing.
    NSRect titlePathRect() const { return m_titlePathRect; }

    bool preservesContentDuringLiveResize() const { return true; }

    // The tab (rounded lower right and upper left) or the full bar (rounded
    // upper corners) in the box rectangle r around the title rectangle t.
    Ref<NSBezierPath> titlePathWithinRectCornerRadiusTitleRect(const NSRect& r, CGFloat radius, const NSRect& t) const;
    void drawRect(const NSRect& dirtyRect) override;

private:
    bool m_drawsTitle = true;
    CGFloat m_borderWidth = 2;
    Ref<NSColor> m_borderColor;
    Ref<NSColor> m_titleColor;
    Ref<NSColor> m_backgroundColor;
    bool m_drawsFullTitleBar = false;
    bool m_selected = false;
    NSRect m_titlePathRect = NSZeroRect;
};
