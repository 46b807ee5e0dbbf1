#include "TitleLessWindow.h"
#include "Foundation/NSClass.h"

#include "CustomWindow.h"

NS_CLASS_DEFINE(TitleLessWindow)

Ref<NSWindow> TitleLessWindow::initWithContentRect(const NSRect& contentRect, NSUInteger styleMask, NSBackingStoreType,
                                                   bool)
{
    NSWindow::initWithContentRect(contentRect, styleMask, NSBackingStoreBuffered, false);
    setOpaque(false);
    setHasShadow(true);
    setMovableByWindowBackground(true);
    return this;
}

Ref<TitleLessWindow> TitleLessWindow::create(const NSRect& contentRect, NSUInteger styleMask)
{
    auto window = alloc<TitleLessWindow>();
    window->initWithContentRect(contentRect, styleMask, NSBackingStoreBuffered, false);
    return window;
}

void TitleLessWindow::mouseDown(const Ref<NSEvent>& event)
{
    m_initialLocation = WindowMove::begin(*this, event);
    NSWindow::mouseDown(event);
}

void TitleLessWindow::mouseDragged(const Ref<NSEvent>& event)
{
    WindowMove::drag(*this, m_initialLocation);
    NSWindow::mouseDragged(event);
}
