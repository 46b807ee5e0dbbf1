#include "AppKit/NSText.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSText)

void NSText::setEditable(bool flag)
{
    m_editable = flag;
    if (flag) m_selectable = true;
    setNeedsDisplay(true);
}

void NSText::setSelectable(bool flag)
{
    m_selectable = flag;
    if (!flag) m_editable = false;
    setNeedsDisplay(true);
}

void NSText::setDrawsBackground(bool flag)
{
    m_drawsBackground = flag;
    setNeedsDisplay(true);
}

void NSText::setBackgroundColor(const Ref<NSColor>& color)
{
    m_backgroundColor = color;
    setNeedsDisplay(true);
}
