#include "InterfaceOutlets.h"

#include "AppKit/NSTableView.h"
#include "AppKit/NSWindowController.h"
#include "CustomWindow.h"
#include "GuidelineWindow.h"
#include "ResizeButton.h"
#include "ScreenWindow.h"
#include "WhiteView.h"

namespace InterfaceOutlets {
void registerFrameworkOutlets()
{
    static bool done = false;
    if (done) return;
    done = true;
    (void)interfaceOnlyClasses();
    NSNib::registerOutletSetter<NSWindowController>(
        "window", [](NSWindowController* controller, const Id& value) { controller->setWindow(dynamic_ref_cast<NSWindow>(value)); });
    NSNib::registerOutletSetter<NSTableView>("dataSource",
                                            [](NSTableView* table, const Id& value) { table->setDataSource(value); });
}

std::vector<const NSClass*> interfaceOnlyClasses()
{
    return {&CustomWindow::classRecord(), &GuidelineWindow::classRecord(), &ScreenWindow::classRecord(),
            &ResizeButton::classRecord(), &WhiteView::classRecord()};
}
}  // namespace InterfaceOutlets
