#include "InterfaceOutlets.h"

#include "CustomWindow.h"
#include "GuidelineWindow.h"
#include "ResizeButton.h"
#include "ScreenWindow.h"
#include "WhiteView.h"

namespace InterfaceOutlets {
void keepInterfaceOnlyClasses() { (void)interfaceOnlyClasses(); }

std::vector<const NSClass*> interfaceOnlyClasses()
{
    return {&CustomWindow::classRecord(), &GuidelineWindow::classRecord(), &ScreenWindow::classRecord(),
            &ResizeButton::classRecord(), &WhiteView::classRecord()};
}
}  // namespace InterfaceOutlets
