#pragma once
// The window of a pop-up or context menu: borderless, at the pop-up menu
// level (above status-level overlays), holding an NSMenuView. trackMenu runs
// the menu's tracking loop in the event-tracking run-loop mode: the pointer
// highlights items, a mouse-up on an enabled item chooses it, a mouse-down
// outside or Escape dismisses (the mouse-up of the click that opened the
// menu chooses only after the pointer was dragged), the arrow keys move the highlight over the
// enabled items and Return, Enter or Space choose the highlighted one.
#include "AppKit/NSMenuView.h"
#include "AppKit/NSWindow.h"

class NSMenuWindow : public NSWindow {
    NS_OBJECT(NSMenuWindow, NSWindow)
public:
    NSMenuWindow() = default;

    // A window whose item `index` (or the top edge, for -1) is at the screen
    // point, kept on the main screen when one exists.
    Ref<NSMenuWindow> initWithMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint);
    Ref<NSMenuView> menuView() const { return m_menuView; }

    // Shows the (already validated) menu and tracks it; answers the index of
    // the chosen item, or -1 when dismissed.
    static NSInteger trackMenu(const Ref<NSMenu>& menu, NSInteger index, NSPoint screenPoint);

private:
    // The item under a screen point, or -1.
    NSInteger itemAtScreenPoint(NSPoint point) const;
    // The next enabled item from the highlighted one in the direction.
    NSInteger nextEnabledItem(int direction) const;
    NSInteger track();

    Ref<NSMenuView> m_menuView;
};
