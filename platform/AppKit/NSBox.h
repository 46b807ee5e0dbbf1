#pragma once
// A box: a border (and a title) around a content view, or a separator line.
//
// Geometry, in the box's (unflipped) bounds, T being the title's line
// height when there is a title (a title position other than none, a title
// that is not empty, a box that is not a separator) and 0 otherwise:
//   border rectangle = bounds, less T at the top for "above top", T/2 for
//                      "at top" (the border runs through the title), and the
//                      same at the bottom for the bottom positions;
//   title rectangle  = T high, 8 points in from the left edge, as wide as
//                      the title, at the top (or bottom) of the bounds for
//                      above and at positions, inside the border for below;
//   content view     = the border rectangle inset by the border's thickness
//                      (none 0, line 1, bezel or groove 2; borderWidth for a
//                      custom box), kept below (or above) the title, then
//                      inset by contentViewMargins (5, 5 by default).
#include "AppKit/NSColor.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTextFieldCell.h"
#include "Foundation/NSCoding.h"

enum NSBoxType : NSUInteger {
    NSBoxPrimary = 0,
    NSBoxSecondary = 1,
    NSBoxSeparator = 2,
    NSBoxOldStyle = 3,
    NSBoxCustom = 4
};

enum NSTitlePosition : NSUInteger {
    NSNoTitle = 0,
    NSAboveTop = 1,
    NSAtTop = 2,
    NSBelowTop = 3,
    NSAboveBottom = 4,
    NSAtBottom = 5,
    NSBelowBottom = 6,
};

class NSBox : public NSView, public NSCoding {
    NS_OBJECT(NSBox, NSView)
protected:
    NSBox() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    static void describeClass(NSClassMembers<NSBox>& m);

    NSBoxType boxType() const { return m_boxType; }
    void setBoxType(NSBoxType type);
    NSBorderType borderType() const { return m_borderType; }
    void setBorderType(NSBorderType type);
    NSTitlePosition titlePosition() const { return m_titlePosition; }
    void setTitlePosition(NSTitlePosition position);
    Ref<NSString> title() const;
    void setTitle(const Ref<NSString>& title);
    Ref<NSTextFieldCell> titleCell() const { return m_titleCell; }
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool flag);

    // Custom boxes.
    Ref<NSColor> fillColor() const { return m_fillColor; }
    void setFillColor(const Ref<NSColor>& color);
    Ref<NSColor> borderColor() const { return m_borderColor; }
    void setBorderColor(const Ref<NSColor>& color);
    CGFloat borderWidth() const { return m_borderWidth; }
    void setBorderWidth(CGFloat width);
    CGFloat cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(CGFloat radius);

    Ref<NSView> contentView() const { return m_contentView; }
    // Replaces the content view and places it in the content area.
    void setContentView(const Ref<NSView>& view);
    NSSize contentViewMargins() const { return m_margins; }
    void setContentViewMargins(NSSize margins);
    bool preservesContentDuringLiveResize() const { return false; }

    NSRect borderRect() const;
    NSRect titleRect() const;
    // Where the content view goes, in the box's coordinates.
    NSRect contentRect() const;
    // Sets the frame so that the content view gets that frame (in the
    // superview's coordinates).
    void setFrameFromContentFrame(const NSRect& contentFrame);
    void sizeToFit();

    void resizeSubviewsWithOldSize(NSSize oldSize) override;
    bool isOpaque() const override { return false; }
    void drawRect(const NSRect& dirtyRect) override;

    // Keys: the view's (ViewCoding), NSBoxType, NSBorderType,
    // NSTitlePosition, NSTitleCell, NSContentView, NSOffsets (margins),
    // NSTransparent, NSBorderWidth, NSCornerRadius.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    bool showsTitle() const;
    CGFloat titleHeight() const;
    CGFloat borderThickness() const;
    void placeContentView();
    void makeTitleCell();

    NSBoxType m_boxType = NSBoxPrimary;
    NSBorderType m_borderType = NSLineBorder;
    NSTitlePosition m_titlePosition = NSAtTop;
    Ref<NSTextFieldCell> m_titleCell;
    Ref<NSView> m_contentView;
    NSSize m_margins{5, 5};
    bool m_transparent = false;
    Ref<NSColor> m_fillColor;
    Ref<NSColor> m_borderColor;
    CGFloat m_borderWidth = 1;
    CGFloat m_cornerRadius = 0;
};
