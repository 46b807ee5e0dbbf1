#include "ZAKAppKit/ZAKWindow/ZAKWindow.h"

#include "AppKit/NSButton.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKWindow)

void ZAKWindow::setCanResize(bool flag)
{
    m_canResize = flag;
    setShowsResizeIndicator(flag);
}

void ZAKWindow::setCanZoom(bool flag)
{
    m_canZoom = flag;
    if (auto zoom = standardWindowButton(NSWindowZoomButton)) zoom->setEnabled(flag);
    if (auto frame = frameView()) frame->setNeedsDisplay(true);
}
