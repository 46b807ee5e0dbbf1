#pragma once
// A table view that reports the delete and forward-delete keys to its
// delegate (when it answers tableViewDidReceiveDeleteEvent); every other key
// is the table view's.
#include "AppKit/NSTableView.h"

class ZAKTableViewExtensionDelegate {
public:
    virtual ~ZAKTableViewExtensionDelegate() = default;
    // Answers false when not implemented.
    virtual bool tableViewDidReceiveDeleteEvent(NSTableView*, const Ref<NSEvent>&) { return false; }
};

class ZAKTableViewExtension : public NSTableView {
    NS_OBJECT(ZAKTableViewExtension, NSTableView)
protected:
    ZAKTableViewExtension() = default;

public:
    void keyDown(const Ref<NSEvent>& event) override;
};
