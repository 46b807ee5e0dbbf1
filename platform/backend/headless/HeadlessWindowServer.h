#pragma once
// The headless window server: screens of a configurable size, every window an
// ARGB image, a screen image composited on demand by level, order and alpha,
// and input injected in global coordinates, routed by the same hit test the
// application sees (transparent pixels of non-opaque windows and windows that
// ignore the mouse let clicks through; a mouse-down grabs the pointer for its
// window until the mouse-up). Opened URLs and beeps are recorded.
//
// Everything here runs on the main thread; the test harness calls it there.
#include <bitset>
#include <map>
#include <set>
#include <vector>

#include "WindowServer/WindowServer.h"

class HeadlessWindowServer : public WindowServer {
public:
    HeadlessWindowServer();
    ~HeadlessWindowServer() override;

    // The shared server when it is the headless one, else null.
    static HeadlessWindowServer* current();

    // --- Configuration ---
    // One main screen of the given size in points (1920 x 1080 by default)
    // and physical size in millimetres (0 x 0 allowed).
    void configureMainScreen(NSSize size, NSSize physicalMM);
    // The strip at the top of the main screen kept for the menu bar (24).
    void setMenuBarHeight(CGFloat height);
    // Whether the application shows its own menu-bar window (off by
    // default) and whether a status icon for the dock menu can be put up
    // (off: the menu bar shows the dock menu).
    void setShowsMenuBar(bool shows) { m_showsMenuBar = shows; }
    void setHasDockIconHost(bool has) { m_dockIconHost = has; }
    // The picture the status icon was last asked to show; whether the icon
    // is up (the activation policy, which decides the task-bar listing
    // too, is the base class's record).
    Ref<CGImage> dockIconPicture() const { return m_dockIconPicture; }
    bool dockIconShown() const { return m_dockIconShown; }
    // Replaces every screen; an empty list is allowed.
    void setScreens(std::vector<WSScreen> screens);
    // The colour behind all windows (premultiplied 0xAARRGGBB).
    void setDesktopColor(uint32_t argb) { m_desktop = argb; }

    // --- Reading ---
    // The main screen composited now (or the screen at the index); nil when
    // there is no such screen.
    Ref<CGImage> screenImage(size_t screenIndex = 0) const override;
    bool saveScreenImage(const std::string& pngPath, size_t screenIndex = 0) const;
    // Visible windows front to back, then the hidden ones.
    std::vector<WSWindowInfo> allWindows() const;
    int beepCount() const { return m_beeps; }
    const std::vector<std::string>& openedURLs() const { return m_urls; }
    // How often the window's drawing was flushed.
    int flushCount(WSWindowID window) const;

    // --- Input (global points, y up) ---
    // A mouse event of any mouse type at the point: downs go to the window
    // under the point, drags and ups to the window that took the down.
    // clickCount < 0 counts clicks (0.5 s and 4 points).
    void injectMouse(NSEventType type, NSPoint point, NSUInteger modifierFlags = 0, NSInteger clickCount = -1);
    // Moves the pointer: a drag while a button is held, else a move, and the
    // global pointer monitors hear it.
    void injectPointer(NSPoint point, NSUInteger modifierFlags = 0);
    void injectScroll(NSPoint point, CGFloat dx, CGFloat dy, NSUInteger modifierFlags = 0);
    // A key down or up with characters from the US layout; modifier keys
    // give flags-changed events. Goes to the key window.
    void injectKey(uint16_t keyCode, NSUInteger modifierFlags, bool down, bool isRepeat = false);
    NSUInteger heldButtons() const { return m_buttons; }

    // --- Reports, made as a window manager or the desktop would make them ---
    // A window manager gives the window a new frame (the user dragged its
    // decorations).
    void reportFrameChange(WSWindowID window, const NSRect& frame);
    // The close box of the window manager's decorations was clicked.
    void reportCloseRequest(WSWindowID window);
    // The keyboard focus comes to the window (a click on it, a window
    // manager's choice) or leaves it.
    void reportFocus(WSWindowID window, bool gained);
    // After setScreens or configureMainScreen: the screens changed.
    void reportScreensChanged() { client().screensChanged(); }
    void reportQuitRequest() { client().quitRequested(); }
    // The status icon was clicked at the point (global points).
    void reportDockMenuRequest(NSPoint location) { client().dockMenuRequested(location); }

    // --- Cursor ---
    struct CursorRecord {
        WSWindowID window = 0;
        std::string themeName;  // empty for an image cursor
        Ref<CGImage> image;
        NSPoint hotSpot;
    };
    // The cursor last set (the theme's "left_ptr" before any) and how many
    // times one was set.
    const CursorRecord& currentCursor() const { return m_cursor; }
    int cursorChanges() const { return m_cursorChanges; }

    // --- Hot keys ---
    // Marks a combination as held by another client: registering it fails.
    void holdHotKeyElsewhere(uint32_t keyCode, uint32_t carbonModifiers);
    // Forgets every combination held elsewhere.
    void clearHotKeysHeldElsewhere() { m_heldElsewhere.clear(); }
    // Presses and releases a registered hot key; answers whether one fired.
    bool releaseHotKey(uint32_t keyCode, uint32_t carbonModifiers);

    // --- WindowServer ---
    std::string name() const override { return "headless"; }
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
    void orderWindow(WSWindowID window, int place, WSWindowID relativeTo) override;
    void orderOut(WSWindowID window) override;
    void setKeyWindow(WSWindowID window) override { m_key = window; }
    WSWindowID keyWindow() const override { return m_key; }
    Ref<CGImage> surface(WSWindowID window) override;
    void flushWindow(WSWindowID window) override;
    std::vector<WSWindowID> windowOrder() const override { return m_order; }
    std::optional<WSWindowInfo> windowInfo(WSWindowID window) const override;
    WSWindowID windowAtPoint(NSPoint globalPoint) const override;
    NSPoint pointerLocation() const override { return m_pointer; }
    NSInteger registerHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyHandler handler) override;
    void unregisterHotKey(NSInteger registration) override;
    // From the injected key downs and ups (modifier keys included).
    bool isKeyDown(uint16_t macKeyCode) const override { return macKeyCode < 128 && m_keysDown.test(macKeyCode); }
    void setCursor(WSWindowID window, const std::string& themeName, const Ref<CGImage>& image, NSPoint hotSpot) override
    {
        m_cursor = {window, themeName, image, hotSpot};
        ++m_cursorChanges;
    }
    bool wantsMenuBarWindow() const override { return m_showsMenuBar; }
    bool showDockIcon(const Ref<CGImage>& picture) override
    {
        m_dockIconPicture = picture;
        m_dockIconShown = m_dockIconHost;
        return m_dockIconHost;
    }
    void removeDockIcon() override
    {
        m_dockIconPicture = nullptr;
        m_dockIconShown = false;
    }
    void beep() override { ++m_beeps; }
    bool openURL(const std::string& url) override;

private:
    struct Window {
        WSWindowInfo info;
        Ref<CGImage> surface;
        int flushes = 0;
    };
    struct HotKey {
        uint32_t keyCode;
        uint32_t modifiers;
        HotKeyHandler handler;
    };
    Window* find(WSWindowID id);
    const Window* find(WSWindowID id) const;
    void placeInOrder(WSWindowID id, int place, WSWindowID relativeTo);
    void postMouse(NSEventType type, WSWindowID window, NSPoint point, NSUInteger flags, NSInteger clickCount,
                   NSPoint delta, NSInteger trackingNumber = 0);
    void movePointer(NSPoint point, NSUInteger flags);

    std::vector<WSScreen> m_screens;
    CGFloat m_menuBar = 24;
    bool m_showsMenuBar = false;
    bool m_dockIconHost = false;
    Ref<CGImage> m_dockIconPicture;
    bool m_dockIconShown = false;
    uint32_t m_desktop = 0xFF808080;
    std::map<WSWindowID, Window> m_windows;
    std::vector<WSWindowID> m_order;  // visible windows, front first
    WSWindowID m_nextID = 1;
    WSWindowID m_key = 0;
    NSPoint m_pointer{960, 540};
    NSUInteger m_buttons = 0;
    WSWindowID m_grab = 0;
    WSWindowID m_hover = 0;
    NSTimeInterval m_lastDownTime = -1;
    NSPoint m_lastDownPoint;
    NSEventType m_lastDownType = NSEventTypeLeftMouseDown;
    NSInteger m_clickCount = 0;
    NSInteger m_eventNumber = 0;
    int m_beeps = 0;
    std::vector<std::string> m_urls;
    std::map<NSInteger, HotKey> m_hotKeys;
    NSInteger m_nextHotKey = 1;
    std::set<std::pair<uint32_t, uint32_t>> m_heldElsewhere;
    std::bitset<128> m_keysDown;
    CursorRecord m_cursor{0, "left_ptr", nullptr, {0, 0}};
    int m_cursorChanges = 0;
};
