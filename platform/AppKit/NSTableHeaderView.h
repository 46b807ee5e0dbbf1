#pragma once
// The strip of column titles above a table view. The scroll view shows it
// above its clip view and scrolls it sideways with the table. A click on a
// title selects that column when the table allows column selection.
#include "AppKit/NSView.h"
#include "Foundation/NSCoding.h"

class NSTableView;

class NSTableHeaderView : public NSView, public NSCoding {
    NS_OBJECT(NSTableHeaderView, NSView)
protected:
    NSTableHeaderView() = default;

public:
    static constexpr CGFloat kHeight = 17;

    Ref<NSView> initWithFrame(const NSRect& frame) override;

    // Not retained: the table holds its header view.
    Ref<NSTableView> tableView() const;
    void setTableView(const Ref<NSTableView>& tableView);

    // The title rectangle of the column: the table's column rectangle at the
    // header's height.
    NSRect headerRectOfColumn(NSInteger column) const;
    NSInteger columnAtPoint(NSPoint point) const;

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void mouseDown(const Ref<NSEvent>& event) override;
    void drawRect(const NSRect& dirtyRect) override;

    // Keys: the view's (ViewCoding); the table connects itself.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    Weak<NSTableView> m_tableView;
};
