#include "ZAKAppKit/ZAKMenuButtons/ZAKDelayedPopUpButton.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKDelayedPopUpButton)

Ref<NSView> ZAKDelayedPopUpButton::initWithFrame(const NSRect& frame)
{
    // The control's initialisation, without the platform button's default
    // title: the cell takes the button's own title, none here.
    NSControl::initWithFrame(frame);
    if (!popUpCell()) {
        auto cell = NSObject::alloc<ZAKDelayedPopUpButtonCell>();
        cell->initTextCell(m_cell && m_cell->title() ? m_cell->title() : ""_ns);
        cell->setControlSize(0);
        setCell(cell);
    }
    return this;
}
