#pragma once
// The window-server interface both backends implement (headless, x11).
// AppKit talks only to this, and the backends speak to AppKit only through
// it and its client (WindowServerClient.h), in plain types; a backend registers itself by name from a static
// initialiser of its library, and shared() picks one on first use:
// PLUMBLINE_BACKEND=headless|x11 forces a choice; otherwise x11 when it is
// registered and DISPLAY is set, else headless.
//
// Coordinates are global points: origin at the bottom left of the main
// screen, y up. Every window has a y-down premultiplied ARGB image surface
// (a CGImage) of its frame's size that AppKit draws into on the main thread;
// flushWindow tells the server the drawing is complete. Window calls and
// service callbacks belong to the main thread; postEvent may be called from
// any thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CoreGraphics/CGImage.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSObject.h"
#include "WindowServer/WindowServerClient.h"

// How a window manager treats a window: how it stacks, decorates and lists
// it. Automatic: a borderless window above the normal level is an overlay,
// any other a normal window.
enum class WSWindowType { automatic, normal, dialog, utility, overlay, dock, popUpMenu };

// How the desktop lists the application: a regular application's windows
// appear in the task bar and pager and its dock icon is up; an accessory's
// windows do not and it has no dock icon.
enum class WSActivationPolicy { regular, accessory };

struct WSScreen {
    uint32_t displayID = 0;
    NSRect frame;           // global points
    NSRect visibleFrame;    // the frame less menu bar and docks
    NSSize physicalSizeMM;  // 0 x 0 when unknown
};

struct WSWindowInfo {
    WSWindowID windowID = 0;
    NSRect frame;
    NSInteger level = 0;
    CGFloat alpha = 1;
    bool opaque = true;
    bool ignoresMouse = false;
    bool hasShadow = true;
    bool visible = false;
    bool key = false;
    std::string title;
    std::string role;
    WSWindowType type = WSWindowType::automatic;
};

class WindowServer {
public:
    using Factory = std::function<std::unique_ptr<WindowServer>()>;

    virtual ~WindowServer();

    // The process's server, chosen on first use; raises when no backend is
    // linked in.
    static WindowServer& shared();
    // Whether a server has been chosen yet (nothing is made by asking).
    static bool hasShared();
    // Backends call this from a static initialiser; answers true.
    static bool registerBackend(const std::string& name, Factory factory);
    static std::vector<std::string> registeredBackends();

    virtual std::string name() const = 0;

    // --- Screens: the main screen first; the list may be empty. ---
    virtual std::vector<WSScreen> screens() const = 0;

    // --- Windows ---
    virtual WSWindowID createWindow(const NSRect& frame, NSInteger level, bool opaque) = 0;
    virtual void destroyWindow(WSWindowID window) = 0;
    // Sizes below 1 point are raised to 1 by the caller. A size change
    // replaces the surface (cleared); the caller redraws.
    virtual void setFrame(WSWindowID window, const NSRect& frame) = 0;
    virtual void setLevel(WSWindowID window, NSInteger level) = 0;
    virtual void setAlpha(WSWindowID window, CGFloat alpha) = 0;
    virtual void setOpaque(WSWindowID window, bool opaque) = 0;
    virtual void setHasShadow(WSWindowID window, bool shadow) = 0;
    // An ignoring window passes every click to what lies below. A non-opaque
    // window takes input only where its last flushed pixels are not fully
    // transparent (its input region).
    virtual void setIgnoresMouse(WSWindowID window, bool ignores) = 0;
    virtual void setTitle(WSWindowID window, const std::string& title) = 0;
    // What the window says of itself: a role name that outside tools find
    // it by ("Ruler"), also its name while it has no title, and its type.
    virtual void setRole(WSWindowID window, const std::string& role, WSWindowType type) = 0;
    // Order front within the window's level (relativeTo 0), or just above
    // (place > 0) / below (place < 0) another window of the same level.
    virtual void orderWindow(WSWindowID window, int place, WSWindowID relativeTo) = 0;
    virtual void orderOut(WSWindowID window) = 0;
    virtual void setKeyWindow(WSWindowID window) = 0;
    virtual WSWindowID keyWindow() const = 0;
    // The surface AppKit draws into; it stays valid while referenced even
    // after a resize has replaced it.
    virtual Ref<CGImage> surface(WSWindowID window) = 0;
    // Drawing into the surface is complete: show it.
    virtual void flushWindow(WSWindowID window) = 0;
    // Drawing is complete and changed nothing outside the rectangle (window
    // coordinates, y up from the bottom left): a server may look only there.
    virtual void flushWindowRect(WSWindowID window, const NSRect& changed)
    {
        (void)changed;
        flushWindow(window);
    }
    // The same for rectangles apart from each other (a marker's old and new
    // place); a server that does not look at each looks at their union.
    virtual void flushWindowRects(WSWindowID window, const std::vector<NSRect>& changed)
    {
        NSRect all = NSZeroRect;
        for (const NSRect& r : changed) all = NSUnionRect(all, r);
        flushWindowRect(window, all);
    }
    // Whether titled windows get their title bar and close box from outside
    // (a window manager's decorations). The layer then draws none, and a
    // titled window's frame is its content.
    virtual bool decoratesTitledWindows() const { return false; }
    // Front to back, visible windows only.
    virtual std::vector<WSWindowID> windowOrder() const = 0;
    virtual std::optional<WSWindowInfo> windowInfo(WSWindowID window) const = 0;
    // The front-most visible window taking a click at the point, honouring
    // ignores-mouse and transparent pixels of non-opaque windows.
    virtual WSWindowID windowAtPoint(NSPoint globalPoint) const = 0;

    // --- Pointer ---
    virtual NSPoint pointerLocation() const = 0;
    // The modifier keys (NSEventModifierFlags) of the latest event the
    // application dispatched: AppKit notes them. Any thread.
    static NSUInteger currentModifierFlags();
    static void noteModifierFlags(NSUInteger flags);
    // Listen-only monitor of pointer moves and left drags anywhere on the
    // screens, called on the main thread with the global location.
    using PointerMonitor = std::function<void(NSPoint location, NSUInteger eventType)>;
    NSInteger addGlobalPointerMonitor(PointerMonitor monitor);
    void removeGlobalPointerMonitor(NSInteger token);

    // --- Hot keys (Mac virtual key codes, Carbon modifier flags) ---
    // Answers a registration number, or 0 when the combination is held by
    // another client. The handler runs on the main thread when the key is
    // released.
    using HotKeyHandler = std::function<void()>;
    virtual NSInteger registerHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyHandler handler) = 0;
    virtual void unregisterHotKey(NSInteger registration) = 0;

    // --- Keyboard state ---
    // Whether the key of a Mac virtual key code is down now; a backend that
    // cannot tell answers false.
    virtual bool isKeyDown(uint16_t macKeyCode) const
    {
        (void)macKeyCode;
        return false;
    }

    // --- Cursor ---
    // Shows a cursor over the window (0: wherever the pointer is): a named
    // one from the cursor theme ("left_ptr", "pointer", "sb_h_double_arrow",
    // "sb_v_double_arrow", "grab", "grabbing", "xterm", "crosshair"), or,
    // when the name is empty, the image (y-down ARGB) with its hot spot in
    // image pixels from the top left. A backend without cursors ignores it.
    virtual void setCursor(WSWindowID window, const std::string& themeName, const Ref<CGImage>& image, NSPoint hotSpot)
    {
        (void)window, (void)themeName, (void)image, (void)hotSpot;
    }

    // --- Menu bar and dock menu ---
    // Whether the application shows a menu-bar window of its own across the
    // top of the main screen (a desktop without a global menu bar).
    virtual bool wantsMenuBarWindow() const { return false; }
    // Puts up a status icon showing the picture (the application's icon,
    // scaled to the icon's size; nil shows a plain icon) whose click opens
    // the dock menu (MenuBarWindow::popUpDockMenu), when the desktop has a
    // place for one; answers whether the icon is up. When not, the menu bar
    // shows the dock menu as its last menu.
    virtual bool showDockIcon(const Ref<CGImage>& picture)
    {
        (void)picture;
        return false;
    }
    // Takes the status icon down (an accessory application has none).
    virtual void removeDockIcon() { }

    // --- Activation policy ---
    WSActivationPolicy activationPolicy() const { return m_activationPolicy; }
    // Records the policy, applies it to the windows and has the client set
    // up the menu bar again, which puts the dock icon up or takes it down.
    void setActivationPolicy(WSActivationPolicy policy);

    // --- Menu tracking ---
    // A menu opened in the window and tracks the mouse until endMenuTracking:
    // a press anywhere, also over other programs' windows, comes to the
    // application (to that window when no window of its own is under it),
    // so the menus can close.
    virtual void beginMenuTracking(WSWindowID window) { (void)window; }
    virtual void endMenuTracking() { }

    // --- Services ---
    virtual void beep() = 0;
    // Answers whether the URL could be handed to a handler.
    virtual bool openURL(const std::string& url) = 0;

    // --- Reading the screen ---
    // The screen at the index as the user sees it now; nil when there is no
    // such screen or the server cannot read it back.
    virtual Ref<CGImage> screenImage(size_t screenIndex = 0) const
    {
        (void)screenIndex;
        return nullptr;
    }

    // --- Events in: into the application's queue; any thread. ---
    void postEvent(const WSEvent& event) const { m_client->eventArrived(event); }

    // --- Reports out ---
    // Where the server reports what happens outside the application's calls
    // (the default client unless another is set).
    WindowServerClient& client() const { return *m_client; }
    void setClient(WindowServerClient& client) { m_client = &client; }
    // The client every server starts with; AppKit installs its own when it
    // loads. Until then reports go nowhere.
    static void setDefaultClient(WindowServerClient& client);

protected:
    WindowServer();
    void notifyPointerMonitors(NSPoint location, NSUInteger eventType);
    // Lists the windows in the task bar and pager or takes them out.
    virtual void applyActivationPolicy() { }

private:
    std::vector<std::pair<NSInteger, PointerMonitor>> m_monitors;
    NSInteger m_nextMonitor = 1;
    WindowServerClient* m_client;
    WSActivationPolicy m_activationPolicy = WSActivationPolicy::regular;
};
