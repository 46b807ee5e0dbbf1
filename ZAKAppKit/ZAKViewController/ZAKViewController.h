#pragma once
// A view controller that brackets the loading of its view with two hooks
// for subclasses; each runs once per load.
#include "AppKit/NSViewController.h"

class ZAKViewController : public NSViewController {
    NS_OBJECT(ZAKViewController, NSViewController)
protected:
    ZAKViewController() = default;

public:
    // viewWillLoad, the platform's loading, then viewDidLoad.
    void loadView() override;
    virtual void viewWillLoad() { }
};
