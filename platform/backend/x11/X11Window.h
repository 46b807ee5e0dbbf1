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

struct X11WindowServer::Window {
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
    bool uploadPending = false;  // the server may still read the segment
    bool shapeDirty = true;      // painted pixels changed since the shape was set
    bool everFlushed = false;
    // AppKit hears of a place the window manager chose: not sent back.
    bool configuredByServer = false;
    // The place last asked of the server, until a window manager's notice
    // shows it: notices sent before it was handled tell of older places.
    bool requestPending = false;
    XRect requested{};
    std::chrono::steady_clock::time_point requestedAt;
};
