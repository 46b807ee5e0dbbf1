#include "ZAKAppKit/ZAKWindowFlip/FlipArguments.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(FlipArguments)

Ref<FlipArguments> FlipArguments::initWithToWindow(const Ref<NSWindow>& toWindow, double duration, bool shadowed)
{
    m_toWindow = toWindow;
    m_duration = duration;
    m_shadowed = shadowed;
    return this;
}
