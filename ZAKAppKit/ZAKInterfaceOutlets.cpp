#include "ZAKAppKit/ZAKInterfaceOutlets.h"

#include "AppKit/NSNib.h"
#include "AppKit/NSScrollView.h"

namespace ZAKInterfaceOutlets {

void install() {
    static const bool installed = [] {
        NSNib::registerOutletSetter<NSScrollView>("documentView", [](NSScrollView* scrollView, const Id& value) {
            scrollView->setDocumentView(dynamic_ref_cast<NSView>(value));
        });
        return true;
    }();
    (void)installed;
}

}
