#pragma once
// One window of the X11 server: what AppKit set, its surface, the X window
// made for it when first shown, and the pixels last uploaded (in a shared
// memory segment when the server has MIT-SHM), which tell what changed at
// the next flush.
#include <xcb/shm.h>

#include <chrono>
#include <vector>

#include "CoreGraphics/CGImage.h"
#include "backend/x11/X11WindowServer.h"

class X11Window {
public:
    using XRect = X11WindowServer::XRect;

    explicit X11Window(X11WindowServer& server)
        : m_server(server)
        , m_conn(server.connection())
    { }
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    // Makes the X window (once) and gives it its names, hints and buffer.
    void realize();
    void unrealize();
    // Whether the window needs a visual with alpha: it shows what lies below.
    bool wantsARGB() const;
    // Without a title bar: no decorations, and above the normal level an
    // overlay that keeps out of a window manager's way.
    bool isBorderless() const;
    // The type the window asked for, or the one its style and level imply.
    WSWindowType effectiveType() const;
    // A window that turned translucent or opaque gets an X window of the
    // other visual, shown again as it was.
    void remakeIfVisualChanged();
    void applyNames();
    void applyHints();
    // Whether the task bar and pager leave the window out; asks the window
    // manager of a mapped window to apply it.
    bool isUnlisted() const;
    void sendListing();
    void applySizeHints();
    // The menu bar's reserved strip, from its frame.
    void applyStrut();
    void sendWMState(bool add, xcb_atom_t state);
    // Asks the window manager to stack the window just below the one in
    // front of it at its level.
    void restackUnderManager() const;
    void giveFocus();

    void allocateBuffer();
    void releaseBuffer();
    void upload(int x, int y, int width, int height);
    // Copies what changed in the surface's pixel rectangle [left, right) x
    // [top, bottom) (y down) and uploads it.
    void updateShown(size_t left, size_t top, size_t right, size_t bottom);
    void updateShape();
    std::vector<xcb_rectangle_t> paintedRectangles() const;

    WSWindowInfo info;
    Ref<CGImage> surface;
    xcb_window_t xid = 0;
    xcb_gcontext_t gc = 0;
    uint8_t depth = 24;
    bool takesFocus = true;
    bool argb = false;  // depth 32 with its own colormap
    bool overrideRedirect = false;
    bool mapped = false;
    // The pixels on the server, premultiplied by the window's alpha.
    uint32_t* shown = nullptr;
    size_t shownWidth = 0, shownHeight = 0;
    std::vector<uint32_t> ownBuffer;  // without shared memory
    int shmID = -1;
    xcb_shm_seg_t segment = 0;
    bool uploadPending = false;   // the server may still read the segment
    uint32_t uploadSequence = 0;  // the request that reads it
    bool shapeDirty = true;       // painted pixels changed since the shape was set
    bool everFlushed = false;
    // AppKit hears of a place the window manager chose: not sent back.
    bool configuredByServer = false;
    // The place last asked of the server, until a window manager's notice
    // shows it: notices sent before it was handled tell of older places.
    bool requestPending = false;
    XRect requested{};
    std::chrono::steady_clock::time_point requestedAt;

private:
    // Sends a client message about this window to the root, as EWMH asks.
    void sendToRoot(xcb_atom_t type, uint32_t d0, uint32_t d1, uint32_t d2, uint32_t d3 = 0) const;

    X11WindowServer& m_server;
    xcb_connection_t* const m_conn;
};
