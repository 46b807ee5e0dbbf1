#pragma once
// A filter bar: a row of groups of toggle buttons with optional labels and
// separators on a light gradient, an optional accessory view at the right
// end, and an overflow pull-down for what does not fit. The buttons are
// cells drawn into the bar, not subviews. Groups get their objects from
// their bindings or from the bar's data source; the delegate may veto
// selections, collapses and expansions and hears every selection change of
// this bar. Layout is lazy: a change marks the bar, and the next drawing
// lays it out (KRScopeBarLayout.cpp); hover and clicks go through tracking
// areas (KRScopeBarTracking.cpp).
#include <vector>

#include "AppKit/NSControl.h"
#include "AppKit/NSGradient.h"
#include "Foundation/NSFormatter.h"
#include "KRScopeBar/KRButtonCell.h"
#include "KRScopeBar/KROverflowPullDownCell.h"
#include "KRScopeBar/KRPopUpButtonCell.h"
#include "KRScopeBar/KRScopeBarGroup.h"
#include "KRScopeBar/KRScopeBarGroupHelper.h"

class KRScopeBar : public NSControl {
    NS_OBJECT(KRScopeBar, NSControl)
public:
    KRScopeBar() = default;
    ~KRScopeBar() override;

    static void initialize();
    // The bar-wide metrics (the small control font size, truncated, and 5).
    static NSUInteger barMargin();
    static NSUInteger groupSpacing();
    static NSUInteger accessoryGap();
    static NSUInteger overflowGap() { return 5; }
    // The overflow button's face: the image "overflowImage" of the bar's bundle.
    static Ref<NSImage> overflowImage();

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // --- Groups ---
    Ref<KRScopeBarGroup> addGroup();
    void addGroup(const Ref<KRScopeBarGroup>& group);
    void insertGroup(const Ref<KRScopeBarGroup>& group, NSUInteger index);
    void removeGroup(const Ref<KRScopeBarGroup>& group);
    void removeGroupAtIndex(NSUInteger index);
    NSUInteger numberOfGroups() const { return m_groups ? m_groups->count() : 0; }
    // nil before the first insertion.
    Ref<NSArray> groups() const;
    void setGroups(const Ref<NSArray>& groups);
    Ref<KRScopeBarGroup> groupWithIdentifier(const Ref<NSString>& identifier) const;
    Ref<KRScopeBarGroup> groupAtIndex(NSUInteger index) const;
    NSUInteger indexOfGroup(const Ref<KRScopeBarGroup>& group) const;
    void moveGroupWithIndex(NSUInteger from, NSUInteger to);

    // --- Reloading ---
    void reloadData();
    void reloadDataForGroup(NSUInteger index);
    // Marks layout and tracking areas stale and asks for a redraw.
    void adjustSubviews();
    void resizeWithOldSuperviewSize(NSSize oldSize) override;

    // --- Cells ---
    Ref<KRButtonCell> buttonCell() const;
    void setButtonCell(const Ref<NSButtonCell>& cell);
    Ref<KRPopUpButtonCell> popUpButtonCell() const;
    void setPopUpButtonCell(const Ref<NSPopUpButtonCell>& cell);
    Ref<KROverflowPullDownCell> overflowPullDownCell() const { return m_overflowPullDownCell; }
    void setOverflowPullDownCell(const Ref<NSPopUpButtonCell>& cell);
    Ref<NSButtonCell> preparedButtonCellForGroup(NSUInteger group, NSUInteger object) const;
    Ref<NSPopUpButtonCell> preparedPopUpCellForGroup(NSUInteger group) const;
    NSRect overflowPullDownRect() const { return m_overflowPullDownRect; }

    // --- Appearance ---
    Ref<NSView> accessoryView() const { return m_accessoryView; }
    void setAccessoryView(const Ref<NSView>& view);
    NSUInteger minimumButtonWidth() const { return m_minimumButtonWidth; }
    void setMinimumButtonWidth(NSUInteger width);
    NSUInteger minimumPopUpWidth() const { return m_minimumPopUpWidth; }
    void setMinimumPopUpWidth(NSUInteger width);
    NSUInteger intercellSpacing() const { return m_intercellSpacing; }
    void setIntercellSpacing(NSUInteger spacing);
    Ref<NSFormatter> formatter() const { return m_formatter; }
    void setFormatter(const Ref<NSFormatter>& formatter);
    Ref<NSGradient> backgroundGradient() const { return m_backgroundGradient; }
    void setBackgroundGradient(const Ref<NSGradient>& gradient);
    Ref<NSColor> backgroundTopColor() const;
    void setBackgroundTopColor(const Ref<NSColor>& color);
    Ref<NSColor> backgroundBottomColor() const;
    void setBackgroundBottomColor(const Ref<NSColor>& color);
    Ref<NSColor> borderColor() const { return m_borderColor; }
    void setBorderColor(const Ref<NSColor>& color);
    Ref<NSColor> separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(const Ref<NSColor>& color);
    Ref<NSColor> labelColor() const { return m_labelColor; }
    void setLabelColor(const Ref<NSColor>& color);
    bool autoResizesGroups() const { return m_autoResizesGroups; }
    void setAutoResizesGroups(bool flag) { m_autoResizesGroups = flag; }
    bool ibInitialized() const { return m_ibInitialized; }
    void setIbInitialized(bool flag) { m_ibInitialized = flag; }

    // --- Delegate and data source (not retained) ---
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate);
    Id dataSource() const { return m_dataSource.get(); }
    void setDataSource(const Id& dataSource);
    KRScopeBarDelegate* scopeBarDelegate() const;
    KRScopeBarDataSource* scopeBarDataSource() const;
    bool delegateImplementsShouldSelect_() const { return m_delegateImplementsShouldSelect; }
    bool delegateImplementsShouldCollapse_() const { return m_delegateImplementsShouldCollapse; }
    bool delegateImplementsShouldExpand_() const { return m_delegateImplementsShouldExpand; }
    bool dataSourceImplementsImageForObject_() const { return m_dataSourceImplementsImageForObject; }
    // The delegate's answer, YES when it does not say.
    bool delegateAllowsSelecting(const Id& object);

    // --- Layout (KRScopeBarLayout.cpp) ---
    void calcSize();
    bool groupsNeedUpdate_() const { return m_groupsNeedUpdate; }
    void setGroupsNeedUpdate_(bool flag) { m_groupsNeedUpdate = flag; }
    Ref<KRScopeBarGroupHelper> groupHelperForGroup_(const Ref<KRScopeBarGroup>& group) const;
    const std::vector<Ref<KRScopeBarGroupHelper>> helpers() const;
    NSUInteger sumOfMinimumWidthForAllGroups_() const;
    NSUInteger sumOfMaximumWidthForAllGroups_() const;
    NSUInteger countOfUnpeeledGroups_() const;

    // --- Tracking (KRScopeBarTracking.cpp) ---
    void updateTrackingAreas() override;
    void mouseEntered(const Ref<NSEvent>& event) override;
    void mouseExited(const Ref<NSEvent>& event) override;
    void mouseDown(const Ref<NSEvent>& event) override;
    void overflowPullDownItemSelected(const Id& sender);
    Ref<KRScopeBarGroup> groupContainingObject_(const Id& object) const;
    Ref<KRScopeBarGroupHelper> trackingGroup() const { return m_trackingGroup.get(); }
    bool trackingOverflow() const { return m_trackingOverflow; }

    // --- View ---
    bool isFlipped() const override { return false; }
    bool acceptsFirstResponder() const override { return false; }
    void drawRect(const NSRect& dirtyRect) override;
    void drawBackground();
    void viewWillMoveToSuperview(const Ref<NSView>& newSuperview) override;
    void viewDidMoveToSuperview() override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<KRScopeBar>& m);

private:
    friend class KRScopeBarGroupHelper;
    void applySingleSelectionRule(const Ref<KRScopeBarGroup>& group);
    void registerDelegateForNotification();
    void unregisterDelegateForNotification();
    Ref<NSString> titleForObject(const Id& object) const;
    bool collapseRightMostGroup_();
    void resetGroupsToMaxWidth_();
    void peelOffItemsToFitInWidth_(int64_t width);
    void resetOverflowPullDownCell_();
    NSInteger overflowMenuCount() const;

    Ref<NSView> m_accessoryView;
    NSUInteger m_minimumButtonWidth = 0;
    NSUInteger m_minimumPopUpWidth = 0;
    NSUInteger m_intercellSpacing = 0;
    Ref<NSMutableArray> m_groups;  // of KRScopeBarGroupHelper
    Ref<NSGradient> m_backgroundGradient;
    Ref<NSColor> m_borderColor, m_separatorColor, m_labelColor;
    Ref<NSFormatter> m_formatter;
    Ref<KRButtonCell> m_buttonCell;
    Ref<KRPopUpButtonCell> m_popUpButtonCell;
    Ref<KROverflowPullDownCell> m_overflowPullDownCell;
    NSRect m_overflowPullDownRect{};
    bool m_trackingOverflow = false;
    Weak<NSObject> m_delegate;
    Weak<NSObject> m_dataSource;
    bool m_groupsNeedUpdate = false;
    Weak<KRScopeBarGroupHelper> m_trackingGroup;
    bool m_trackingAreasNeedUpdate = false;
    bool m_autoResizesGroups = false;
    bool m_delegateImplementsShouldSelect = false;
    bool m_delegateImplementsShouldCollapse = false;
    bool m_delegateImplementsShouldExpand = false;
    bool m_dataSourceImplementsImageForObject = false;
    bool m_ibInitialized = false;
    Id m_delegateToken;
};
