#pragma once
// The X11 window server: real windows on an X server through xcb. Screens
// come from RandR (y flipped into the global space, the main screen at the
// origin); windows draw into the same ARGB surfaces as headless and upload
// the pixels that changed since the last flush (MIT-SHM when the server has
// it); non-opaque windows take input only where they painted (XShape input
// region). Mouse, key and focus events become event records; XInput2 raw motion
// feeds the global pointer monitors; hot keys are passive key grabs on the
// root window. Everything runs on the main thread, driven by the connection's
// descriptor on the main run loop in the common modes.
#include <xcb/xcb.h>

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Foundation/NSRunLoop.h"
#include "WindowServer/WindowServer.h"

class NSTimer;
class X11Clipboard;
class X11Compose;
class X11Keyboard;
class X11TrayIcon;
class X11Window;

class X11WindowServer : public WindowServer {
public:
    // Connects to $DISPLAY; raises NSInternalInconsistencyException when it
    // cannot.
    X11WindowServer();
    ~X11WindowServer() override;

    // The shared server when it is the X11 one, else null.
    static X11WindowServer* current();

    xcb_connection_t* connection() const { return m_conn; }
    xcb_window_t rootWindow() const { return m_root; }
    // The X window of a window (0 before it was first shown).
    xcb_window_t xWindow(WSWindowID window) const;
    // Whether an EWMH window manager runs (checked at connection and when
    // the root's supporting-WM property changes).
    bool hasWindowManager() const { return m_wmRunning; }
    // Pixels sent to the server since the connection was made (tests watch
    // it to see that only what changed goes up).
    uint64_t uploadedPixels() const { return m_uploadedPixels; }
    // Handles whatever the connection has read or can read now.
    void drainEvents();

    // --- WindowServer ---
    std::string name() const override { return "x11"; }
    std::vector<WSScreen> screens() const override { return m_screens; }
    WSWindowID createWindow(const NSRect& frame, NSInteger level, bool opaque) override;
    void destroyWindow(WSWindowID window) override;
    void setFrame(WSWindowID window, const NSRect& frame) override;
    void setLevel(WSWindowID window, NSInteger level) override;
    void setAlpha(WSWindowID window, CGFloat alpha) override;
    void setOpaque(WSWindowID window, bool opaque) override;
    void setHasShadow(WSWindowID window, bool shadow) override;
    void setIgnoresMouse(WSWindowID window, bool ignores) override;
    void setTitle(WSWindowID window, const std::string& title) override;
    void setRole(WSWindowID window, const std::string& role, WSWindowType type) override;
    // The program's name for WM_CLASS and the status icon: the main bundle's
    // CFBundleName, else the executable's name.
    static const std::string& programName();
    void orderWindow(WSWindowID window, int place, WSWindowID relativeTo) override;
    void orderOut(WSWindowID window) override;
    void setKeyWindow(WSWindowID window) override;
    WSWindowID keyWindow() const override { return m_key; }
    Ref<CGImage> surface(WSWindowID window) override;
    void flushWindow(WSWindowID window) override;
    void flushWindowRect(WSWindowID window, const NSRect& changed) override;
    void flushWindowRects(WSWindowID window, const std::vector<NSRect>& changed) override;
    bool decoratesTitledWindows() const override { return m_wmRunning; }
    std::vector<WSWindowID> windowOrder() const override { return m_order; }
    std::optional<WSWindowInfo> windowInfo(WSWindowID window) const override;
    WSWindowID windowAtPoint(NSPoint globalPoint) const override;
    NSPoint pointerLocation() const override;
    NSInteger registerHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyHandler handler) override;
    void unregisterHotKey(NSInteger registration) override;
    void beep() override;
    bool openURL(const std::string& url) override;
    // The X desktop has no global menu bar; the dock menu goes on a tray
    // icon where a system tray runs (X11TrayIcon.cpp).
    bool wantsMenuBarWindow() const override { return true; }
    bool showDockIcon(const Ref<CGImage>& picture) override;
    void removeDockIcon() override;
    // Sets or clears _NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER on the
    // windows (X11Window::applyHints sets them on new ones).
    void applyActivationPolicy() override;
    // An active pointer grab on the root for the menus' time: presses over
    // other clients' windows come to the menu's window and close the menus.
    void beginMenuTracking(WSWindowID window) override;
    void endMenuTracking() override;

    // --- Coordinates: X root pixels (y down) <-> global points (y up) ---
    NSPoint pointFromX(int x, int y) const;
    NSRect rectFromX(int x, int y, int w, int h) const;
    struct XRect {
        int16_t x, y;
        uint16_t width, height;
    };
    // Sizes below 1 become 1, above 32767 32767.
    XRect rectToX(const NSRect& r) const;

private:
    // A window reaches the connection, the atoms and the order of its server.
    friend class X11Window;

    struct HotKey {
        xcb_keycode_t keycode;
        uint16_t mask;
        std::vector<uint16_t> grabbed;  // modifier variants held
        HotKeyHandler handler;
    };

    // Connection (X11WindowServer.cpp)
    xcb_atom_t atom(const char* name);
    void connectionLost();
    void endOfTurn();

    // Screens and the window manager (X11WindowServerScreens.cpp)
    // Answers whether the screens differ from those known before.
    bool loadScreens();
    // After RandR or the work area changed: AppKit hears of a difference.
    void reloadScreens();
    void detectWindowManager();
    void windowManagerChanged();

    // Windows (X11WindowServerWindows.cpp)
    X11Window* find(WSWindowID id);
    const X11Window* find(WSWindowID id) const;
    X11Window* findX(xcb_window_t xid);
    void noteConfigure(const xcb_configure_notify_event_t& e);

    // Order (X11WindowServerOrder.cpp)
    // Stacks our windows in their order; under a window manager only the
    // window that moved in it is placed.
    void applyStacking(WSWindowID moved = 0);
    void raiseOverlays();
    // Another client's window came up or moved: the overlays go back on top
    // at the end of the turn, once, unless that window itself asks to stay
    // above (a second instance's overlays), so two such programs settle.
    void noteForeignRestack(xcb_window_t window);
    bool asksToStayAbove(xcb_window_t window);
    void raiseOverlaysIfNoted();
    void placeInOrder(WSWindowID id, int place, WSWindowID relativeTo);

    // Drawing (X11WindowServerDrawing.cpp)
    bool hasCompositor();

    // Events (X11WindowServerEvents.cpp)
    void handle(xcb_generic_event_t* event);
    void handleButton(const xcb_button_press_event_t& e, bool press);
    void handleMotion(const xcb_motion_notify_event_t& e);
    void handleCrossing(const xcb_enter_notify_event_t& e, bool enter);
    void handleKey(const xcb_key_press_event_t& e, bool press);
    // Feeds a key press to the compose sequences; true when it was one of
    // theirs (and became marked or composed text).
    bool composeKey(const xcb_key_press_event_t& e, WSWindowID target, uint16_t mac);
    // A key event for the target window at the event's position, with the
    // flags the X state gives; the caller sets the type and characters.
    WSEvent keyRecord(const xcb_key_press_event_t& e, WSWindowID target, uint16_t mac) const;
    void handleFocus(const xcb_focus_in_event_t& e, bool in);
    void handleGeneric(xcb_generic_event_t* event);
    void postMouse(NSUInteger type, WSWindowID window, NSPoint global, NSUInteger flags, NSInteger clickCount,
                   NSPoint delta, NSInteger trackingNumber = 0);
    // Our window a pointer event is for: its own, or, for events the menu
    // grab brings from elsewhere, the tracking menu's.
    X11Window* pointerTarget(xcb_window_t event);

    // Pointer (X11WindowServerPointer.cpp)
    void setUpPointerMonitor();
    void notifyPointer();
    // Reads the pointer from the server into m_pointer (one round trip).
    bool queryPointer() const;
    // Core pointer events carry the position and buttons: no need to ask.
    void notePointer(int16_t rootX, int16_t rootY, uint16_t mask) const;
    // The server has handled every request up to `sequence`: a reply to a
    // later request has come.
    bool handledRequest(uint32_t sequence) const { return int32_t(m_answeredSequence - sequence) >= 0; }
    // Waits until the server has handled every request sent so far.
    void roundTrip() const;

    // Keyboard (X11WindowServerKeyboard.cpp)
    void setUpKeyboard();
    void refreshNumLockMask();
    void setSuspended(bool suspended);
    // The window became key while the shortcuts are suspended.
    void keepSuspensionWith(WSWindowID window);
    void scheduleKeymapRebuild();

    // Hot keys (X11WindowServerHotKeys.cpp)
    bool handleHotKeyEvent(const xcb_key_press_event_t& e, bool press);

    xcb_connection_t* m_conn = nullptr;
    int m_screenNumber = 0;
    xcb_screen_t* m_screen = nullptr;
    xcb_window_t m_root = 0;
    xcb_visualid_t m_argbVisual = 0;
    xcb_colormap_t m_argbColormap = 0;
    bool m_hasShm = false;
    bool m_hasShape = false;
    uint8_t m_xiOpcode = 0;
    uint8_t m_randrEvent = 0;
    uint8_t m_xkbEvent = 0;
    bool m_wmRunning = false;
    bool m_lost = false;
    int m_originX = 0, m_top = 0;  // X position of the main screen's left and bottom edges
    std::vector<WSScreen> m_screens;
    std::map<std::string, xcb_atom_t> m_atoms;
    NSRunLoop::SourceID m_source = 0, m_observer = 0;

    std::map<WSWindowID, std::unique_ptr<X11Window>> m_windows;
    std::vector<WSWindowID> m_order;  // visible windows, front first
    WSWindowID m_nextID = 1;
    WSWindowID m_key = 0;
    xcb_gcontext_t m_gc = 0;
    uint64_t m_uploadedPixels = 0;

    // Pointer state
    WSWindowID m_hover = 0;
    int m_lastRootX = 0, m_lastRootY = 0;
    xcb_timestamp_t m_lastDownTime = 0;
    int m_lastDownX = -100, m_lastDownY = -100;
    uint8_t m_lastDownButton = 0;
    NSInteger m_clickCount = 0;
    NSInteger m_eventNumber = 0;
    // The server time of the last key or button press, for focus requests.
    xcb_timestamp_t m_userTime = 0;
    bool m_rawMotion = false;
    // The pointer as last read or reported (X root pixels, button mask), so
    // the monitors and whoever they tell share one read. It stands until raw
    // motion says the pointer moved, and for a few milliseconds at most:
    // warps make no motion, and without XInput 2 none comes at all.
    struct PointerSnapshot {
        int x = 0, y = 0;
        uint16_t mask = 0;
        bool current = false;
        std::chrono::steady_clock::time_point readAt;
    };
    static constexpr std::chrono::milliseconds kPointerSnapshotLife{8};
    mutable PointerSnapshot m_pointer;
    bool pointerKnown() const
    {
        return m_pointer.current && std::chrono::steady_clock::now() - m_pointer.readAt < kPointerSnapshotLife;
    }
    // The latest request the server is known to have handled.
    mutable uint32_t m_answeredSequence = 0;
    bool m_overlaysNeedRaise = false;
    // Windows tracking menus, innermost last, and whether the pointer is ours.
    std::vector<WSWindowID> m_menuTracking;
    bool m_pointerGrabbed = false;

    // Keyboard
    std::unique_ptr<X11Keyboard> m_keyboard;
    // Dead keys and compose sequences become marked text, then characters.
    std::unique_ptr<X11Compose> m_compose;
    std::set<xcb_keycode_t> m_keysDown;
    std::map<NSInteger, HotKey> m_hotKeys;
    NSInteger m_nextHotKey = 1;
    xcb_keycode_t m_hotKeyPressed = 0;
    std::vector<NSInteger> m_hotKeysArmed;
    uint16_t m_numLockMask = 0;
    bool m_keyboardGrabbed = false;
    // The window that was key when the grab was taken (the recorder's): only
    // its hiding ends the grab, not that of an alert shown over it.
    WSWindowID m_suspendingWindow = 0;
    Ref<NSTimer> m_keymapTimer;

    std::unique_ptr<X11TrayIcon> m_trayIcon;
    // CLIPBOARD and PRIMARY for the general and selection pasteboards.
    std::unique_ptr<X11Clipboard> m_clipboard;
};
