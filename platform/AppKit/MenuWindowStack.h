#pragma once
// The cascade of menu windows a tracking loop has open, outermost first. The
// pop-up menu's loop and the menu bar's loop share it: what differs between
// them is only where the outermost window comes from and what the keys do at
// the outermost level.
#include <vector>

#include "AppKit/MenuWindow.h"
#include "AppKit/NSEvent.h"

class MenuWindowStack {
public:
    MenuWindowStack() = default;
    MenuWindowStack(const MenuWindowStack&) = delete;
    MenuWindowStack& operator=(const MenuWindowStack&) = delete;
    ~MenuWindowStack() { closeFrom(0); }

    bool empty() const { return m_windows.empty(); }
    size_t size() const { return m_windows.size(); }
    const Ref<MenuWindow>& at(size_t level) const { return m_windows[level]; }
    const Ref<MenuWindow>& innermost() const { return m_windows.back(); }

    // Shows the window on top of the cascade.
    void push(Ref<MenuWindow> window);
    // Closes the windows from `level` inwards.
    void closeFrom(size_t level);

    // The events a menu tracking loop takes.
    static constexpr NSEventMask kTrackingMask = NSLeftMouseDownMask | NSLeftMouseUpMask | NSRightMouseDownMask |
                                                 NSRightMouseUpMask | NSMouseMovedMask | NSLeftMouseDraggedMask |
                                                 NSRightMouseDraggedMask | NSKeyDownMask | NSOtherMouseDownMask;
    // The next such event, or nil once the application has terminated.
    static Ref<NSEvent> nextTrackingEvent();
    // Where an event happened, in screen coordinates.
    static NSPoint screenLocation(const Ref<NSEvent>& event);

    // The innermost window holding the screen point (level -1 for none) and
    // the item under it there (-1 for none).
    struct Hit {
        int level = -1;
        NSInteger index = -1;
    };
    Hit hitTest(NSPoint point) const;
    // The item at `index` of the window at `level`; nil for -1.
    Ref<NSMenuItem> itemAt(size_t level, NSInteger index) const;
    // An item a release or Return chooses: enabled, not a separator, no submenu.
    static bool isChoosable(const Ref<NSMenuItem>& item);
    MenuWindow::Choice choice(size_t level, NSInteger index) const;

    // Highlights the item at `level` and shows its submenu, if any, beside it.
    void highlight(size_t level, NSInteger index);
    // Moves the innermost highlight to the next enabled item.
    void moveHighlight(int direction);
    // Opens the innermost highlighted item's submenu with its first enabled
    // item highlighted; NO when that item holds no enabled submenu.
    bool enterSubmenu();

    void displayIfNeeded();

private:
    std::vector<Ref<MenuWindow>> m_windows;
};
