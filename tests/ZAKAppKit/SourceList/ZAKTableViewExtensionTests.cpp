// A table view that reports the delete keys to its delegate.
#include "AppKit/NSScrollView.h"
#include "WindowingFixture.h"
#include "ZAKAppKit/ZAKTableViewExtension/ZAKTableViewExtension.h"

namespace {

class DeleteListener : public NSObject, public NSTableViewDataSource, public ZAKTableViewExtensionDelegate {
    NS_OBJECT(DeleteListener, NSObject)
protected:
    DeleteListener() = default;

public:
    std::vector<unsigned short> keys;
    std::optional<NSInteger> numberOfRowsInTableView(NSTableView*) override { return 5; }
    bool tableViewDidReceiveDeleteEvent(NSTableView*, const Ref<NSEvent>& event) override
    {
        keys.push_back(event->keyCode());
        return true;
    }
};

NS_CLASS_DEFINE(DeleteListener)

}

TEST_F(WindowingTest, TableViewExtensionReportsDeleteKeysToItsDelegate)
{
    auto window = NSObject::alloc<NSWindow>()->initWithContentRect(NSMakeRect(100, 100, 300, 200), NSTitledWindowMask,
                                                                   NSBackingStoreBuffered, false);
    auto table = NSObject::alloc<ZAKTableViewExtension>();
    table->initWithFrame(NSMakeRect(0, 0, 300, 200));
    table->addTableColumn(NSObject::alloc<NSTableColumn>()->initWithIdentifier("name"_ns));
    auto listener = NSObject::make<DeleteListener>();
    table->setDataSource(listener);
    table->setDelegate(listener);
    window->contentView()->addSubview(table);
    window->makeKeyAndOrderFront(nullptr);
    window->makeFirstResponder(table);
    table->selectRowIndexes(NSIndexSet::indexSetWithIndex(1), false);
    pump();
    key(kVK_Delete);
    key(kVK_ForwardDelete);
    key(kVK_DownArrow);
    EXPECT_EQ(listener->keys, (std::vector<unsigned short>{kVK_Delete, kVK_ForwardDelete}));
    EXPECT_EQ(table->selectedRow(), 2);
    EXPECT_EQ(server().beepCount(), 0);
    // Without a listening delegate the key is the table's: nobody deletes.
    table->setDelegate(nullptr);
    key(kVK_Delete);
    EXPECT_EQ(listener->keys.size(), 2u);
    EXPECT_EQ(server().beepCount(), 1);
}
