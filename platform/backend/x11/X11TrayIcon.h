#pragma once
// The dock menu's status icon: a small window docked into the XEmbed system
// tray of the screen (the owner of the _NET_SYSTEM_TRAY_S<n> selection)
// with a SYSTEM_TRAY_REQUEST_DOCK message. A click on it opens the dock menu
// as a context menu. The tray may come (its MANAGER announcement on the
// root) and go (its manager window destroyed) while the program runs; the
// menu bar is then set up again, which docks the icon or shows the dock menu
// in the bar.
#include <xcb/xcb.h>

#include <functional>

#include "CoreGraphics/CGImage.h"
#include "Foundation/NSGeometry.h"
#include "WindowServer/WindowServerClient.h"

class X11TrayIcon {
public:
    using AtomLookup = std::function<xcb_atom_t(const char*)>;
    using ToGlobal = std::function<NSPoint(int rootX, int rootY)>;

    X11TrayIcon(xcb_connection_t* connection, const xcb_screen_t* screen, int screenNumber, AtomLookup atom,
                ToGlobal toGlobal, WindowServerClient& client);
    ~X11TrayIcon();
    X11TrayIcon(const X11TrayIcon&) = delete;
    X11TrayIcon& operator=(const X11TrayIcon&) = delete;

    // What the icon shows, scaled to its size (nil: its plain background).
    void setPicture(const Ref<CGImage>& picture);
    // Docks the icon when a tray exists; answers whether it is docked.
    bool dock();
    bool isDocked() const { return m_manager != 0; }
    xcb_window_t window() const { return m_window; }
    // Handles the events about the icon and the tray; answers whether the
    // event was one of those.
    bool handle(const xcb_generic_event_t* event);

private:
    xcb_window_t trayOwner();
    void createWindow();
    void destroyWindow();
    void draw();
    void menuBarChanged();

    xcb_connection_t* m_conn;
    const xcb_screen_t* m_screen;
    xcb_atom_t m_selection;
    AtomLookup m_atom;
    ToGlobal m_toGlobal;
    WindowServerClient& m_client;
    xcb_window_t m_window = 0;
    xcb_gcontext_t m_gc = 0;
    Ref<CGImage> m_picture;
    xcb_window_t m_manager = 0;
    bool m_wanted = false;
    uint16_t m_width = 22, m_height = 22;
};
