#pragma once
// A decorative container: fills its bounds with a colour or a vertical
// two-colour gradient and strokes any of its four edges. Archive keys (after
// the view's): backgroundColor, borderColor, secondBackgroundColor,
// hasGradient, hasLeftLine, hasRightLine, hasTopLine, hasBottomLine; the
// line widths are not archived (0 after decoding: hairlines).
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"

class ZAKContainerBox : public NSView, public NSCoding {
    NS_OBJECT(ZAKContainerBox, NSView)
protected:
    ZAKContainerBox() = default;

public:
    Id init() override { return initWithFrame(NSZeroRect); }
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // Setting a value does not redraw.
    Ref<NSColor> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Ref<NSColor>& c) { m_backgroundColor = c; }
    Ref<NSColor> borderColor() const { return m_borderColor; }
    void setBorderColor(const Ref<NSColor>& c) { m_borderColor = c; }
    Ref<NSColor> secondBackgroundColor() const { return m_secondBackgroundColor; }
    void setSecondBackgroundColor(const Ref<NSColor>& c) { m_secondBackgroundColor = c; }
    bool hasGradient() const { return m_hasGradient; }
    void setHasGradient(bool flag) { m_hasGradient = flag; }
    bool hasTopLine() const { return m_hasTopLine; }
    void setHasTopLine(bool flag) { m_hasTopLine = flag; }
    bool hasBottomLine() const { return m_hasBottomLine; }
    void setHasBottomLine(bool flag) { m_hasBottomLine = flag; }
    bool hasLeftLine() const { return m_hasLeftLine; }
    void setHasLeftLine(bool flag) { m_hasLeftLine = flag; }
    bool hasRightLine() const { return m_hasRightLine; }
    void setHasRightLine(bool flag) { m_hasRightLine = flag; }
    CGFloat topLineWidth() const { return m_topLineWidth; }
    void setTopLineWidth(CGFloat w) { m_topLineWidth = w; }
    CGFloat bottomLineWidth() const { return m_bottomLineWidth; }
    void setBottomLineWidth(CGFloat w) { m_bottomLineWidth = w; }
    CGFloat leftLineWidth() const { return m_leftLineWidth; }
    void setLeftLineWidth(CGFloat w) { m_leftLineWidth = w; }
    CGFloat rightLineWidth() const { return m_rightLineWidth; }
    void setRightLineWidth(CGFloat w) { m_rightLineWidth = w; }

    static Ref<NSBezierPath> bezierPathWithLineFrom(NSPoint from, NSPoint to);

    // The background, then the lines: a one-point frame when all four are
    // on, else each line at its own width.
    void drawRect(const NSRect& dirtyRect) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Ref<NSColor> m_backgroundColor;
    Ref<NSColor> m_borderColor;
    Ref<NSColor> m_secondBackgroundColor;
    bool m_hasGradient = false;
    bool m_hasTopLine = true;
    bool m_hasBottomLine = true;
    bool m_hasLeftLine = true;
    bool m_hasRightLine = true;
    CGFloat m_topLineWidth = 1;
    CGFloat m_bottomLineWidth = 1;
    CGFloat m_leftLineWidth = 1;
    CGFloat m_rightLineWidth = 1;
};
