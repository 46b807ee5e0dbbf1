#pragma once
// What a window server tells the application and asks of it: everything that
// happens outside the application's own calls (a window manager moves or
// closes a window, the keyboard focus moves, screens change, the session
// ends, the status icon is clicked) comes up through this one interface,
// whichever backend runs. AppKit implements it once (AppKitWindowServerClient);
// the headless server makes each report on a test's request, so the code
// that answers a window manager runs in headless tests too.
//
// Reports come on the main thread, outside the server's own event handling
// where the answer may start a nested run loop (a menu, a modal panel).
#include <memory>

#include "Foundation/NSGeometry.h"
#include "WindowServer/NSWindowStyleMask.h"
#include "WindowServer/PasteboardMirror.h"
#include "WindowServer/WSEvent.h"

class WindowServerClient {
public:
    virtual ~WindowServerClient() = default;

    // --- Questions about a window the server shows ---
    // The window's style mask (NSTitledWindowMask...): what decorations and
    // window-manager functions it gets.
    virtual NSUInteger windowStyleMask(WSWindowID window) const = 0;
    // Whether the window takes the keyboard focus when clicked or activated.
    virtual bool windowTakesFocus(WSWindowID window) const = 0;

    // --- Input ---
    // An event for the application's queue. Unlike the reports, it may come
    // on any thread.
    virtual void eventArrived(const WSEvent& event) = 0;

    // --- Reports ---
    // The server (a window manager, the user dragging its decorations) gave
    // the window this frame, in global points.
    virtual void windowFrameChanged(WSWindowID window, const NSRect& frame) = 0;
    // The user asked to close the window from outside (a close box drawn by
    // the window manager).
    virtual void windowCloseRequested(WSWindowID window) = 0;
    // The keyboard focus came to the window or left it. The server has
    // already noted its key window when gaining.
    virtual void windowFocusChanged(WSWindowID window, bool gained) = 0;
    // Who draws titled windows' title bars changed (a window manager came or
    // went): content areas take or give back the bar's strip.
    virtual void windowDecorationsChanged() = 0;
    // Screens were added, removed, moved or resized, or their visible frames
    // changed.
    virtual void screensChanged() = 0;
    // The session asks the program to quit (the display went away).
    virtual void quitRequested() = 0;
    // The status icon was clicked: the dock menu at the point (global points).
    virtual void dockMenuRequested(NSPoint location) = 0;
    // A place for the status icon appeared or went: the menu bar sets itself
    // up again.
    virtual void dockIconHostChanged() = 0;
    // The server keeps the pasteboard in step with a store outside the
    // process from now on; null when it stops (the server goes away).
    virtual void pasteboardMirrorChanged(WSPasteboard pasteboard, std::unique_ptr<PasteboardMirror> mirror) = 0;
};
