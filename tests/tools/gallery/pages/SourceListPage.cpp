// The source list: a sidebar of three groups (the last always expanded)
// with icons and number badges, one row selected, beside a table whose
// rows use the labeled image text cell with colour labels.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSTableView.h"
#include "Foundation/NSClass.h"
#include "GalleryPage.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKLabeledImageTextCell.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceList.h"
#include "ZAKAppKit/ZAKOutlineSourceList/ZAKOutlineSourceListItem.h"

namespace {

using Item = ZAKOutlineSourceListItem;

// A small square icon in a colour, with a lighter inner square.
Ref<NSImage> icon(const Ref<NSColor>& colour)
{
    return NSImage::imageWithSize(NSMakeSize(16, 16), false, [colour](NSRect r) {
        colour->setFill();
        NSBezierPath::bezierPathWithRoundedRect(NSInsetRect(r, 1, 1), 3, 3)->fill();
        NSColor::colorWithCalibratedWhite(1, 0.6)->setFill();
        NSRectFill(NSInsetRect(r, 5, 5));
        return true;
    });
}

// Serves the sidebar's items and the table's files; keeps both alive with the page.
class SourceListPageView : public NSView,
                           public ZAKOutlineSourceListDataSource,
                           public ZAKOutlineSourceListDelegate,
                           public NSTableViewDataSource,
                           public NSTableViewDelegate {
    NS_OBJECT(SourceListPageView, NSView)
protected:
    SourceListPageView() = default;

public:
    Ref<Item> root;
    struct File {
        const char* name;
        const char* info;
        int32_t label;
    };
    std::vector<File> files = {{"Holiday photos", "12 items", 0}, {"Tax return 2026", "PDF", 2},
                               {"Project plan", "Draft", 3},      {"Invoices", "4 items", 5},
                               {"Family videos", "3.2 GB", 6},    {"Recipes", "", 7}};
    Ref<ZAKLabeledImageTextCell> fileCell;

    static Ref<Item> item(const char* title, int64_t badge = -1, const Ref<NSColor>& colour = nullptr)
    {
        auto i = NSObject::alloc<Item>()->initWithTitle(NSString::stringWithUTF8String(title));
        i->setBadgeValue(badge);
        if (colour) i->setIcon(icon(colour));
        return i;
    }
    Ref<Item> itemOrRoot(const Id& item) const { return item ? dynamic_ref_cast<Item>(item) : root; }

    NSUInteger sourceListNumberOfChildrenOfItem(ZAKOutlineSourceList*, const Id& i) override
    {
        return itemOrRoot(i)->countOfChildren();
    }
    Id sourceListChildOfItem(ZAKOutlineSourceList*, NSInteger index, const Id& i) override
    {
        return itemOrRoot(i)->childAtIndex(NSUInteger(index));
    }
    Id sourceListObjectValueForItem(ZAKOutlineSourceList*, const Id& i) override
    {
        return dynamic_ref_cast<Item>(i)->title();
    }
    bool sourceListIsItemExpandable(ZAKOutlineSourceList*, const Id& i) override
    {
        return dynamic_ref_cast<Item>(i)->hasChildren();
    }
    std::optional<bool> sourceListItemHasBadge(ZAKOutlineSourceList*, const Id& i) override
    {
        return dynamic_ref_cast<Item>(i)->hasBadge();
    }
    std::optional<NSInteger> sourceListBadgeValueForItem(ZAKOutlineSourceList*, const Id& i) override
    {
        return NSInteger(dynamic_ref_cast<Item>(i)->badgeValue());
    }
    std::optional<bool> sourceListItemHasIcon(ZAKOutlineSourceList*, const Id& i) override
    {
        return dynamic_ref_cast<Item>(i)->hasIcon();
    }
    std::optional<Ref<NSImage>> sourceListIconForItem(ZAKOutlineSourceList*, const Id& i) override
    {
        return dynamic_ref_cast<Item>(i)->icon();
    }
    std::optional<bool> sourceListIsGroupAlwaysExpanded(ZAKOutlineSourceList*, const Id& group) override
    {
        return dynamic_ref_cast<Item>(group)->title()->isEqual("PLACES"_ns.get());
    }

    std::optional<NSInteger> numberOfRowsInTableView(NSTableView*) override { return NSInteger(files.size()); }
    std::optional<Id> tableViewObjectValueForTableColumnRow(NSTableView*, NSTableColumn*, NSInteger row) override
    {
        return Id(NSString::stringWithUTF8String(files[size_t(row)].name));
    }
    void tableViewWillDisplayCellForTableColumnRow(NSTableView*, const Id& cell, NSTableColumn*, NSInteger row) override
    {
        auto labeled = dynamic_ref_cast<ZAKLabeledImageTextCell>(cell);
        if (!labeled) return;
        labeled->setColorLabelType(files[size_t(row)].label);
        labeled->setInfoText(NSString::stringWithUTF8String(files[size_t(row)].info));
    }

    void drawRect(const NSRect& r) override
    {
        NSColor::colorWithCalibratedWhite(0.93, 1)->setFill();
        NSRectFill(r);
    }
};
NS_CLASS_DEFINE(SourceListPageView)

Ref<NSScrollView> scrollViewFor(const Ref<NSView>& document, const NSRect& frame)
{
    auto scroll = NSObject::alloc<NSScrollView>();
    scroll->initWithFrame(frame);
    scroll->setHasVerticalScroller(true);
    scroll->setDocumentView(document);
    return scroll;
}

Ref<NSView> makeSourceListPage(NSRect bounds)
{
    auto page = static_ref_cast<SourceListPageView>(NSObject::alloc<SourceListPageView>()->initWithFrame(bounds));
    using P = SourceListPageView;
    page->root = P::item("root");
    auto library = P::item("LIBRARY");
    auto devices = P::item("DEVICES");
    auto places = P::item("PLACES");
    for (auto& g : {library, devices, places}) page->root->silentAddChild(g);
    library->silentAddChild(P::item("Music", 5, NSColor::colorWithCalibratedRed(0.85, 0.25, 0.35, 1)));
    library->silentAddChild(P::item("Movies", 12, NSColor::colorWithCalibratedRed(0.3, 0.45, 0.85, 1)));
    library->silentAddChild(P::item("Podcasts", -1, NSColor::colorWithCalibratedRed(0.55, 0.3, 0.8, 1)));
    library->silentAddChild(P::item("Books", 128, NSColor::colorWithCalibratedRed(0.9, 0.55, 0.15, 1)));
    devices->silentAddChild(P::item("Backup Disk", -1, NSColor::colorWithCalibratedWhite(0.5, 1)));
    devices->silentAddChild(P::item("Phone", 3, NSColor::colorWithCalibratedRed(0.2, 0.6, 0.4, 1)));
    places->silentAddChild(P::item("Home", -1, NSColor::colorWithCalibratedRed(0.35, 0.55, 0.75, 1)));
    places->silentAddChild(P::item("Desktop", -1, NSColor::colorWithCalibratedRed(0.35, 0.55, 0.75, 1)));
    places->silentAddChild(P::item("Documents", 1024, NSColor::colorWithCalibratedRed(0.35, 0.55, 0.75, 1)));

    const CGFloat sidebarWidth = 220;
    auto list = NSObject::alloc<ZAKOutlineSourceList>();
    list->initWithFrame(NSMakeRect(0, 0, sidebarWidth, bounds.size.height));
    list->setHeaderView(nullptr);
    list->setRowHeight(20);
    list->setBackgroundColor(NSColor::colorWithCalibratedRed(0.87, 0.89, 0.93, 1));
    auto column = NSObject::alloc<NSTableColumn>()->initWithIdentifier("title"_ns);
    column->setWidth(sidebarWidth - 20);
    list->addTableColumn(column);
    list->setDelegate(page);
    list->setDataSource(page);
    list->expandItem(library);
    list->expandItem(devices);
    list->selectRowIndexes(NSIndexSet::indexSetWithIndex(NSUInteger(list->rowForItem(library->childAtIndex(1)))),
                           false);
    page->addSubview(scrollViewFor(list, NSMakeRect(0, 0, sidebarWidth, bounds.size.height)));

    // The files, in labeled image text cells.
    auto table = NSObject::alloc<NSTableView>();
    const NSRect tableFrame =
        NSMakeRect(sidebarWidth + 10, 10, bounds.size.width - sidebarWidth - 20, bounds.size.height - 20);
    table->initWithFrame(NSMakeRect(0, 0, tableFrame.size.width, tableFrame.size.height));
    table->setRowHeight(20);
    auto files = NSObject::alloc<NSTableColumn>()->initWithIdentifier("file"_ns);
    files->setWidth(tableFrame.size.width - 20);
    auto cell = static_ref_cast<ZAKLabeledImageTextCell>(NSObject::make<ZAKLabeledImageTextCell>());
    cell->setImage(icon(NSColor::colorWithCalibratedRed(0.35, 0.55, 0.75, 1)));
    cell->setMinImageWidth(18);
    cell->setMiddleAlignedText(true);
    files->setDataCell(cell);
    files->headerCell()->setStringValue("Files"_ns);
    table->addTableColumn(files);
    table->setDelegate(page);
    table->setDataSource(page);
    table->selectRowIndexes(NSIndexSet::indexSetWithIndex(2), false);
    page->addSubview(scrollViewFor(table, tableFrame));
    return page;
}

}  // namespace

GALLERY_PAGE(sourceList, {"source-list", "Source list", {560, 300}, makeSourceListPage});
