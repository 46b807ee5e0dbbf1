#pragma once
// A clip view with optional scrollers and ruler slots around it.
//
// The scroll view is flipped (y down). tile() lays the parts out in its
// bounds:
//   inner   = bounds inset by 1 point on every side unless borderType is none;
//   rulers  = a vertical ruler view at the inner left edge, as wide as its
//             frame, and a horizontal one at the inner top, as tall as its
//             frame, each shown when rulersVisible and has...Ruler are set;
//   scrollers = the vertical one (15 wide) at the inner right edge, the
//             horizontal one (15 tall) at the inner bottom edge, the vertical
//             one stopping above the horizontal one;
//   header  = when the document is a table view with a header view, a clip
//             view as tall as the header at the top of what is left, which
//             scrolls sideways with the document;
//   clip view = what is left.
// With autohidesScrollers a scroller is shown only while the document does
// not fit along its axis.
#include "AppKit/NSClipView.h"
#include "AppKit/NSScroller.h"
#include "Foundation/NSCoding.h"

enum NSBorderType : NSUInteger { NSNoBorder = 0, NSLineBorder = 1, NSBezelBorder = 2, NSGrooveBorder = 3 };

class NSScrollView : public NSView, public NSCoding {
    NS_OBJECT(NSScrollView, NSView)
protected:
    NSScrollView() = default;

public:
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    static void describeClass(NSClassMembers<NSScrollView>& m);

    static CGFloat scrollerWidth() { return NSScroller::kWidth; }
    // The clip view's size for a scroll view of that frame size, and back.
    static NSSize contentSizeForFrameSize(NSSize frameSize, bool hasHorizontalScroller, bool hasVerticalScroller,
                                          NSBorderType borderType);
    static NSSize frameSizeForContentSize(NSSize contentSize, bool hasHorizontalScroller, bool hasVerticalScroller,
                                          NSBorderType borderType);

    Ref<NSClipView> contentView() const { return m_contentView; }
    virtual void setContentView(const Ref<NSClipView>& clipView);
    Ref<NSView> documentView() const;
    void setDocumentView(const Ref<NSView>& view);
    NSRect documentVisibleRect() const;
    NSSize contentSize() const;

    bool hasVerticalScroller() const { return m_hasVerticalScroller; }
    void setHasVerticalScroller(bool flag);
    bool hasHorizontalScroller() const { return m_hasHorizontalScroller; }
    void setHasHorizontalScroller(bool flag);
    Ref<NSScroller> verticalScroller() const { return m_verticalScroller; }
    void setVerticalScroller(const Ref<NSScroller>& scroller);
    Ref<NSScroller> horizontalScroller() const { return m_horizontalScroller; }
    void setHorizontalScroller(const Ref<NSScroller>& scroller);
    bool autohidesScrollers() const { return m_autohidesScrollers; }
    void setAutohidesScrollers(bool flag);
    NSScrollerStyle scrollerStyle() const { return NSScrollerStyleLegacy; }
    void setScrollerStyle(NSScrollerStyle) { }
    NSBorderType borderType() const { return m_borderType; }
    void setBorderType(NSBorderType type);

    bool drawsBackground() const { return m_contentView && m_contentView->drawsBackground(); }
    void setDrawsBackground(bool flag);
    Ref<NSColor> backgroundColor() const { return m_contentView ? m_contentView->backgroundColor() : nullptr; }
    void setBackgroundColor(const Ref<NSColor>& color);

    // Scrolling amounts: a line (wheel unit, 10 points) and the overlap kept
    // when paging (10 points).
    CGFloat verticalLineScroll() const { return m_verticalLineScroll; }
    void setVerticalLineScroll(CGFloat value) { m_verticalLineScroll = value; }
    CGFloat horizontalLineScroll() const { return m_horizontalLineScroll; }
    void setHorizontalLineScroll(CGFloat value) { m_horizontalLineScroll = value; }
    void setLineScroll(CGFloat value) { m_verticalLineScroll = m_horizontalLineScroll = value; }
    CGFloat verticalPageScroll() const { return m_verticalPageScroll; }
    void setVerticalPageScroll(CGFloat value) { m_verticalPageScroll = value; }
    CGFloat horizontalPageScroll() const { return m_horizontalPageScroll; }
    void setHorizontalPageScroll(CGFloat value) { m_horizontalPageScroll = value; }
    void setPageScroll(CGFloat value) { m_verticalPageScroll = m_horizontalPageScroll = value; }

    // Ruler slots: any view can sit there; tile gives it its frame's
    // thickness. A ruler view placed there takes the scroll view as its own,
    // and is redrawn whenever the clip view scrolls.
    bool hasVerticalRuler() const { return m_hasVerticalRuler; }
    void setHasVerticalRuler(bool flag);
    bool hasHorizontalRuler() const { return m_hasHorizontalRuler; }
    void setHasHorizontalRuler(bool flag);
    bool rulersVisible() const { return m_rulersVisible; }
    void setRulersVisible(bool flag);
    Ref<NSView> verticalRulerView() const { return m_verticalRuler; }
    void setVerticalRulerView(const Ref<NSView>& ruler);
    Ref<NSView> horizontalRulerView() const { return m_horizontalRuler; }
    void setHorizontalRulerView(const Ref<NSView>& ruler);

    virtual void tile();
    // Brings the scrollers in line with the clip view's position and the
    // document's size (and, when autohiding, which scrollers show).
    virtual void reflectScrolledClipView(const Ref<NSClipView>& clipView);
    // The scrollers' action.
    void doScroller(const Id& sender);

    // Positive deltaY shows what lies above, positive deltaX what lies to
    // the left; each unit is one line.
    void scrollWheel(const Ref<NSEvent>& event) override;

    void setFrame(const NSRect& frame) override;
    void setFrameSize(NSSize size) override;
    void resizeSubviewsWithOldSize(NSSize oldSize) override;
    bool isOpaque() const override { return drawsBackground(); }
    bool isFlipped() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;

    // Keys: the view's (ViewCoding), NSContentView, NSVScroller,
    // NSHScroller, NSHasVerticalScroller, NSHasHorizontalScroller,
    // NSAutohidesScrollers, NSBorderType, NSHasVerticalRuler,
    // NSHasHorizontalRuler, NSRulersVisible, NSVerticalLineScroll,
    // NSHorizontalLineScroll, NSVRuler, NSHRuler.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void setUpParts();
    void scrollClipBy(CGFloat dx, CGFloat dy);
    CGFloat borderInset() const { return m_borderType == NSNoBorder ? 0 : 1; }
    bool verticalRulerShown() const { return m_rulersVisible && m_hasVerticalRuler && m_verticalRuler; }
    bool horizontalRulerShown() const { return m_rulersVisible && m_hasHorizontalRuler && m_horizontalRuler; }
    void adoptRuler(const Ref<NSView>& ruler);
    void placeSubview(const Ref<NSView>& view, bool shown, const NSRect& frame);

    Ref<NSClipView> m_contentView;
    Ref<NSClipView> m_headerClipView;
    Ref<NSScroller> m_verticalScroller;
    Ref<NSScroller> m_horizontalScroller;
    Ref<NSView> m_verticalRuler;
    Ref<NSView> m_horizontalRuler;
    bool m_hasVerticalScroller = false;
    bool m_hasHorizontalScroller = false;
    bool m_autohidesScrollers = false;
    bool m_hasVerticalRuler = false;
    bool m_hasHorizontalRuler = false;
    bool m_rulersVisible = false;
    NSBorderType m_borderType = NSNoBorder;
    CGFloat m_verticalLineScroll = 10;
    CGFloat m_horizontalLineScroll = 10;
    CGFloat m_verticalPageScroll = 10;
    CGFloat m_horizontalPageScroll = 10;
    // Whether autohiding shows each scroller now.
    bool m_showVertical = false;
    bool m_showHorizontal = false;
    bool m_tiling = false;
};
