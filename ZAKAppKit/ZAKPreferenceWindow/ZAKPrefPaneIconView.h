#pragma once
// The show-all page of the preference window: the panes' icons in a grid of
// a fixed number of columns, as one block sorted by title or as one block
// per category with a caption, alternate blocks tinted. A click on an icon
// sends its action (the window selects that pane); dragging an icon offers
// its toolbar item identifier for dropping into a customisable toolbar.
//
// The layout is rebuilt lazily: changes only mark it stale, and the next
// frame, bounds or drawing rebuilds blocks and geometry. The row height only
// grows; the view is 3 points shorter per block after the first than its
// blocks, and hit frames in later blocks lie 2 points below the drawing.
#include <vector>

#include "AppKit/NSView.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "ZAKAppKit/ZAKPrefPaneIcon/ZAKPrefPaneIcon.h"

class ZAKPreferenceWindowController;

class ZAKPrefPaneIconView : public NSView {
    NS_OBJECT(ZAKPrefPaneIconView, NSView)
protected:
    ZAKPrefPaneIconView();

public:
    ~ZAKPrefPaneIconView() override;

    Ref<ZAKPrefPaneIconView> initWithControllerIconsColumns(const Ref<ZAKPreferenceWindowController>& controller,
                                                            const Ref<NSArray>& icons, NSInteger columns);
    // Ignores the frame: no controller, no icons, 7 columns.
    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // Not retained: the controller owns the view. Answers category
    // display names; without one a category names itself.
    Ref<ZAKPreferenceWindowController> prefsController() const;
    void setPrefsController(const Ref<ZAKPreferenceWindowController>& controller);
    Ref<NSArray> icons() const { return m_icons; }
    void setIcons(const Ref<NSArray>& icons);
    void addIcon(const Ref<ZAKPrefPaneIcon>& icon);
    void removeAllIcons();
    NSInteger columns() const { return m_columns; }
    // Below 1 counts as 1.
    void setColumns(NSInteger columns);
    bool sortByCategory() const { return m_sortByCategory; }
    void setSortByCategory(bool flag);
    Ref<NSArray> categorySortOrder() const { return m_categorySortOrder; }
    void setCategorySortOrder(const Ref<NSArray>& order);
    Ref<NSMutableArray> iconListList() const { return m_iconListList; }
    void setIconListList(const Ref<NSMutableArray>& blocks) { m_iconListList = blocks; }
    Ref<ZAKPrefPaneIcon> selectedIcon() const { return m_selectedIcon; }
    void setSelectedIcon(const Ref<ZAKPrefPaneIcon>& icon) { m_selectedIcon = icon; }
    bool dataChanged() const { return m_dataChanged; }

    float iconSpacing() const { return m_iconSpacing; }
    float iconHeight() const { return m_iconHeight; }
    float horizontalPadding() const { return m_horizontalPadding; }
    float captionHeight() const { return m_captionHeight; }

    void rebuild();
    void sortCategories();
    void calculateGeometry();

    NSRect frameForCategoryWithIndex(NSInteger block) const;
    NSPoint positionForIconInCategoryWithIndexAtIndex(NSInteger block, NSInteger index) const;
    NSRect imageFrameForIconInCategoryWithIndexAtIndex(NSInteger block, NSInteger index) const;
    NSRect labelFrameForIconInCategoryWithIndexAtIndex(NSInteger block, NSInteger index) const;
    // The icon under the point, writing its block and index where asked;
    // nil (and nothing written) when none.
    Ref<ZAKPrefPaneIcon> iconAt(NSPoint point, NSInteger* block, NSInteger* index) const;

    NSRect frame() const override;
    NSRect bounds() const override;
    bool isFlipped() const override { return true; }
    void drawRect(const NSRect& dirtyRect) override;
    void drawBackgroundForCategoryWithIndex(NSInteger block);
    void drawIconAtPositionHighlighted(const Ref<ZAKPrefPaneIcon>& icon, NSPoint position, bool highlighted);

    void mouseDown(const Ref<NSEvent>& event) override;
    void mouseUp(const Ref<NSEvent>& event) override;

private:
    void markChanged() { m_dataChanged = true; }
    void rebuildIfNeeded() const;
    Ref<NSString> displayNameOfBlock(NSInteger block) const;
    NSSize titleSize(const Ref<ZAKPrefPaneIcon>& icon) const;
    NSInteger rowsOfBlock(NSInteger block) const;
    Ref<NSArray> block(NSInteger index) const;

    Weak<ZAKPreferenceWindowController> m_prefsController;
    Ref<NSMutableArray> m_icons;
    bool m_sortByCategory = false;
    Ref<NSArray> m_categorySortOrder;
    Ref<NSMutableArray> m_iconListList;
    NSInteger m_columns = 7;
    float m_iconSpacing = 0;
    float m_iconHeight = 0;
    float m_horizontalPadding = 0;
    float m_captionHeight = 0;
    bool m_dataChanged = false;
    Ref<NSDictionary> m_iconLabelAttributes;
    Ref<NSDictionary> m_captionAttributes;
    Ref<ZAKPrefPaneIcon> m_selectedIcon;
    NSInteger m_selectedIconCategory = 0;
    NSInteger m_selectedIconIndex = 0;
    NSPoint m_mouseDownPoint{};
};
