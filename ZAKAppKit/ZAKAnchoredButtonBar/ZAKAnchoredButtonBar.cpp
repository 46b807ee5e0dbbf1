#include "ZAKAppKit/ZAKAnchoredButtonBar/ZAKAnchoredButtonBar.h"

#include <atomic>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKAnchoredButtonBar)

namespace {
std::atomic<bool>& borderedFlag()
{
    static std::atomic<bool> flag{false};
    return flag;
}
}

bool ZAKAnchoredButtonBar::wasBorderedBar() { return borderedFlag(); }

void ZAKAnchoredButtonBar::setIsAtBottom(bool flag)
{
    m_isAtBottom = flag;
    NSRect f = frame();
    f.size.height = flag ? 23 : 24;
    setFrame(f);
    borderedFlag() = !flag;
    setNeedsDisplay(true);
}
