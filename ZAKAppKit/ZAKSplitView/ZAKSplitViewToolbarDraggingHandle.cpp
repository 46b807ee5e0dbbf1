#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarDraggingHandle.h"

#include <cmath>

#include "AppKit/NSWindow.h"
#include "Foundation/NSClass.h"
#include "ZAKAppKit/ZAKSplitView/ZAKSplitViewToolbarLook.h"

NS_CLASS_DEFINE(ZAKSplitViewToolbarDraggingHandle)

void ZAKSplitViewToolbarDraggingHandle::drawRect(const NSRect&)
{
    auto w = window();
    auto gradient = ZAKSplitViewToolbarLook::handleGradient(w && w->isKeyWindow());
    const NSRect b = bounds();
    constexpr double kLine = 1.0;
    constexpr double kGap = 4.0;
    if (m_vertical) {
        for (int i = 0; i < 3; ++i)
            gradient->drawInRect(NSMakeRect(NSMaxX(b) - (6.0 + kGap * i), b.origin.y + 3.0, kLine, b.size.height - 6.0),
                                 90);
        return;
    }
    const double offset = std::ceil((b.size.height + 1 - 11) * 0.5);
    for (int i = 0; i < 3; ++i)
        gradient->drawInRect(NSMakeRect(b.origin.x + 5.0, b.origin.y + offset + kGap * i, b.size.width - 10.0, kLine),
                             135);
}
