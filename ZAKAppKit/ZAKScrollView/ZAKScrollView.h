#pragma once
// A scroll view with room for small accessory views beside its scrollers:
// views in a horizontal slot sit in line with the horizontal scroller, which
// is shortened by their widths; views in a vertical slot sit in line with the
// vertical scroller, shortened by their heights. An optional header laid
// across the top pushes the clip view and the rulers down, and an optional
// view fills the corner between the scrollers. No keys of its own are
// archived.
#include "AppKit/NSScrollView.h"
#include "Foundation/NSArray.h"

enum ZAKScrollViewSlot : NSUInteger {
    ZAKScrollViewHorizontalLeft = 0,
    ZAKScrollViewHorizontalRight = 1,
    ZAKScrollViewVerticalTop = 2,
    ZAKScrollViewVerticalBottom = 3,
};

class ZAKScrollView : public NSScrollView {
    NS_OBJECT(ZAKScrollView, NSScrollView)
protected:
    ZAKScrollView() = default;

public:
    // Both scrollers, width and height sizable.
    Ref<NSView> initWithFrame(const NSRect& frame) override;
    Id initWithCoder(NSCoder* coder) override;

    // A position other than 0 to 3 raises "not an allowed position" and
    // changes nothing.
    void addView(const Ref<NSView>& view, NSUInteger position);
    // Takes the view out of its superview even when the slot does not hold it.
    void removeView(const Ref<NSView>& view, NSUInteger position);

    // The slot arrays themselves, in the order views were added.
    Ref<NSMutableArray> horLeftSlots() const { return m_horLeftSlots; }
    Ref<NSMutableArray> horRightSlots() const { return m_horRightSlots; }
    Ref<NSMutableArray> verTopSlots() const { return m_verTopSlots; }
    Ref<NSMutableArray> verBottomSlots() const { return m_verBottomSlots; }
    Ref<NSView> headerView() const { return m_headerView; }
    // Below all other subviews, across the top.
    void setHeaderView(const Ref<NSView>& view);
    Ref<NSView> bottomRightCornerView() const { return m_bottomRightCornerView; }
    void setBottomRightCornerView(const Ref<NSView>& view);

    // Nothing without a clip view and a document view.
    void tile() override;
    void horTileWithContentRect(const NSRect& content);
    void verTileWithContentRect(const NSRect& content);
    // Places the slot's views and answers the union of their frames.
    NSRect tileSlotsFor(NSUInteger position, const NSRect& content);

private:
    void setup();
    Ref<NSMutableArray> slots(NSUInteger position) const;
    static void checkPosition(NSUInteger position);

    Ref<NSMutableArray> m_horLeftSlots;
    Ref<NSMutableArray> m_horRightSlots;
    Ref<NSMutableArray> m_verTopSlots;
    Ref<NSMutableArray> m_verBottomSlots;
    Ref<NSView> m_headerView;
    Ref<NSView> m_bottomRightCornerView;
};
