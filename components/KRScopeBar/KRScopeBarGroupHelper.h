#pragma once
// The layout record of one scope bar group: it measures the group (header,
// minimum and maximum width), divides the group's frame into separator,
// label and button areas, hands out the objects that no longer fit as
// menu items, draws the group, and tracks the mouse over its buttons.
#include <vector>

#include "AppKit/NSButtonCell.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSMenu.h"
#include "Foundation/NSGeometry.h"
#include "KRScopeBar/KRScopeBarGroup.h"

class KRScopeBar;

class KRScopeBarGroupHelper : public NSObject {
    NS_OBJECT(KRScopeBarGroupHelper, NSObject)
public:
    KRScopeBarGroupHelper() = default;

    // Raises "KRScopeBarException": a record belongs to a group and a bar.
    Id init() override;
    Ref<KRScopeBarGroupHelper> initWithGroup(const Ref<KRScopeBarGroup>& group, const Ref<KRScopeBar>& bar);

    Ref<KRScopeBarGroup> group() const { return m_group; }
    Ref<KRScopeBar> scopeBar() const;
    NSRect frame() const { return m_frame; }
    void setFrame(const NSRect& frame);
    NSRect buttonRect() const { return m_buttonRect; }
    NSRect separatorRect() const { return m_separatorRect; }
    NSRect labelRect() const { return m_labelRect; }
    const std::vector<NSRect>& buttonRects() const { return m_buttonRects; }
    NSUInteger headerWidth() const { return m_headerWidth; }
    void setHeaderWidth(NSUInteger w) { m_headerWidth = w; }
    NSUInteger maximumWidth() const { return m_maximumWidth; }
    void setMaximumWidth(NSUInteger w) { m_maximumWidth = w; }
    NSUInteger minimumWidth() const { return m_minimumWidth; }
    void setMinimumWidth(NSUInteger w) { m_minimumWidth = w; }
    NSUInteger numberOfItemsPeeledOff() const { return m_numberOfItemsPeeledOff; }

    void updateGroupDimensions();
    void unpeel() { m_numberOfItemsPeeledOff = 0; }
    bool isPeeled() const { return visibleCount() == 0; }
    // The next objects for the overflow menu, nil when none is visible.
    Ref<NSArray> peelOffNextItem();
    Ref<NSMenuItem> menuItemForObject_(NSUInteger index) const;
    void drawGroup();

    // --- Tracking ---
    void addTrackingAreas();
    void mouseEntered(const Ref<NSEvent>& event);
    void mouseExited(const Ref<NSEvent>& event);
    void mouseDown(const Ref<NSEvent>& event);
    void popUpMenuItemSelected(const Id& sender);
    void generatePopUpTrackingCellForEvent_(const Ref<NSEvent>& event);
    void removeTrackingCell_();
    Ref<NSMenu> menu_() const;
    Ref<NSButtonCell> trackingCell() const { return m_trackingCell; }
    NSInteger trackingIndex() const { return m_trackingIndex; }

    static void describeClass(NSClassMembers<KRScopeBarGroupHelper>& m);

private:
    NSUInteger groupIndex() const;
    NSUInteger objectCount() const;
    NSUInteger visibleCount() const;
    void recalculateRects_();
    void updateButtonFrames_();
    NSRect hitRect(const NSRect& button) const;

    Weak<KRScopeBar> m_scopeBar;
    Ref<KRScopeBarGroup> m_group;
    NSRect m_frame{};
    NSRect m_buttonRect{};
    NSRect m_separatorRect{};
    NSRect m_labelRect{};
    std::vector<NSRect> m_buttonRects;
    Ref<NSButtonCell> m_trackingCell;
    NSInteger m_trackingIndex = -1;
    NSUInteger m_headerWidth = 0;
    NSUInteger m_maximumWidth = 0;
    NSUInteger m_minimumWidth = 0;
    NSUInteger m_numberOfItemsPeeledOff = 0;
};
