#pragma once
// One column of a table view: an identifier, a width kept between its
// minimum and maximum, a header cell holding the title, a data cell that
// draws (and edits) every row's value, whether its cells can be edited in
// place, and how it takes part in resizing.
#include "AppKit/NSTableHeaderCell.h"
#include "AppKit/NSTextFieldCell.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSString.h"

class NSTableView;

enum NSTableColumnResizingOptions : NSUInteger {
    NSTableColumnNoResizing = 0,
    NSTableColumnAutoresizingMask = 1,
    NSTableColumnUserResizingMask = 2,
};

class NSTableColumn : public NSObject, public NSCoding {
    NS_OBJECT(NSTableColumn, NSObject)
protected:
    NSTableColumn() = default;

public:
    Ref<NSTableColumn> initWithIdentifier(const Id& identifier);
    Id init() override { return initWithIdentifier(nullptr); }
    static void describeClass(NSClassMembers<NSTableColumn>& m);

    Id identifier() const { return m_identifier; }
    void setIdentifier(const Id& identifier) { m_identifier = identifier; }
    // Not retained: the table holds its columns.
    Ref<NSTableView> tableView() const;
    void setTableView(const Ref<NSTableView>& tableView);

    CGFloat width() const { return m_width; }
    // Kept within minWidth...maxWidth; the table re-lays itself out.
    void setWidth(CGFloat width);
    CGFloat minWidth() const { return m_minWidth; }
    void setMinWidth(CGFloat width);
    CGFloat maxWidth() const { return m_maxWidth; }
    void setMaxWidth(CGFloat width);

    // The header cell's string.
    Ref<NSString> title() const;
    void setTitle(const Ref<NSString>& title);
    Ref<NSCell> headerCell() const { return m_headerCell; }
    void setHeaderCell(const Ref<NSCell>& cell);
    Ref<NSCell> dataCell() const { return m_dataCell; }
    void setDataCell(const Ref<NSCell>& cell);
    // The cell for a row: the data cell.
    virtual Ref<NSCell> dataCellForRow(NSInteger row) const;
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag) { m_editable = flag; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool flag);
    NSUInteger resizingMask() const { return m_resizingMask; }
    void setResizingMask(NSUInteger mask) { m_resizingMask = mask; }

    // Keys: NSIdentifier, NSWidth, NSMinWidth, NSMaxWidth, NSHeaderCell,
    // NSDataCell, NSIsEditable, NSHidden, NSResizingMask.
    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

private:
    void changed();

    Id m_identifier;
    Weak<NSTableView> m_tableView;
    CGFloat m_width = 100;
    CGFloat m_minWidth = 10;
    CGFloat m_maxWidth = 100000;
    Ref<NSCell> m_headerCell;
    Ref<NSCell> m_dataCell;
    bool m_editable = true;
    bool m_hidden = false;
    NSUInteger m_resizingMask = NSTableColumnAutoresizingMask | NSTableColumnUserResizingMask;
};
