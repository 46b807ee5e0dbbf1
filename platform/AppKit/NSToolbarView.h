#pragma once
// The strip a window shows for its toolbar: each visible item in a slot,
// its view (or image) above its label; spaces and separators take fixed room
// and flexible spaces share what is left. A click on an image item selects
// it when it is selectable, then sends its action; clicks on an item's view
// reach the view. While the toolbar customises on click and drag, dragging a
// movable item along the strip moves it and dragging it off removes it.
#include "AppKit/NSView.h"

class NSToolbar;
class NSToolbarItem;

class NSToolbarView : public NSView {
    NS_OBJECT(NSToolbarView, NSView)
protected:
    NSToolbarView() = default;

public:
    void setToolbar(NSToolbar* toolbar) { m_toolbar = toolbar; }
    // Places the items' views; called when items or modes change.
    void layoutItems();
    // The slot of each visible item, in the strip's coordinates.
    NSRect rectOfItem(const Ref<NSToolbarItem>& item) const;

    static CGFloat heightFor(NSUInteger sizeMode, NSUInteger displayMode);

    bool isFlipped() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseDragged(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;
    // The index an item dropped at the point (strip coordinates) goes to.
    NSInteger insertionIndexForPoint(NSPoint point) const;
    void resizeSubviewsWithOldSize(NSSize oldSize) override { layoutItems(); }

private:
    struct Slot {
        Ref<NSToolbarItem> item;
        NSRect rect;     // the whole slot
        NSRect content;  // the view or image
    };
    std::vector<Slot> slots() const;
    CGFloat iconSide() const;
    bool showsLabels() const;
    bool showsIcons() const;

    NSInteger indexOfItem(const Ref<NSToolbarItem>& item) const;

    NSToolbar* m_toolbar = nullptr;  // the toolbar owns the strip
    Ref<NSToolbarItem> m_pressed;
    NSPoint m_pressPoint{};
    bool m_moving = false;  // the pressed item is being dragged to a new place
};
