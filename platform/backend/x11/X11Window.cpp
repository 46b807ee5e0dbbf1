#include "backend/x11/X11Window.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <xcb/shape.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

// A window on the X server: made when first shown, named and hinted by role,
// given the pixels that changed since the last upload.

namespace {

const char* typeName(WSWindowType type)
{
    switch (type) {
    case WSWindowType::dialog: return "DIALOG";
    case WSWindowType::utility: return "UTILITY";
    case WSWindowType::overlay: return "NOTIFICATION";
    case WSWindowType::dock: return "DOCK";
    case WSWindowType::popUpMenu: return "POPUP_MENU";
    case WSWindowType::normal:
    case WSWindowType::automatic: break;
    }
    return "NORMAL";
}

// Motif hint bits: which part of the structure is set, and the window
// manager functions a titled window offers.
constexpr uint32_t kMotifFunctions = 1, kMotifDecorations = 2;
constexpr uint32_t kMotifResize = 2, kMotifMove = 4, kMotifMinimize = 8, kMotifMaximize = 16, kMotifClose = 32;

// WM_SIZE_HINTS flags.
constexpr uint32_t kUSPosition = 1, kUSSize = 2, kPPosition = 4, kPSize = 8, kPMinSize = 16, kPMaxSize = 32,
                   kPWinGravity = 512;
constexpr uint32_t kStaticGravity = 10;

uint32_t premultiply(uint32_t p, uint32_t a256)
{
    if (a256 >= 256) return p;
    const uint32_t a = ((p >> 24) * a256) >> 8, r = (((p >> 16) & 0xFF) * a256) >> 8,
                   g = (((p >> 8) & 0xFF) * a256) >> 8, b = ((p & 0xFF) * a256) >> 8;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}

bool X11Window::isBorderless() const
{
    return !(m_server.client().windowStyleMask(info.windowID) & NSTitledWindowMask);
}

WSWindowType X11Window::effectiveType() const
{
    if (info.type != WSWindowType::automatic) return info.type;
    return isBorderless() && info.level > 0 ? WSWindowType::overlay : WSWindowType::normal;
}

bool X11Window::wantsARGB() const { return m_server.m_argbVisual && (!info.opaque || info.alpha < 1); }

void X11Window::realize()
{
    if (xid) return;
    const XRect r = m_server.rectToX(info.frame);
    argb = wantsARGB();
    depth = argb ? 32 : m_server.m_screen->root_depth;
    // Overlays keep out of the way of a window manager that starts later
    // only when none runs now; under one they are managed with EWMH hints.
    overrideRedirect = !m_server.m_wmRunning && info.level > 0 && isBorderless();
    takesFocus = m_server.client().windowTakesFocus(info.windowID);
    xid = xcb_generate_id(m_conn);
    const uint32_t events = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                            XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                            XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_FOCUS_CHANGE |
                            XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (argb) {
        const uint32_t values[] = {0, 0, overrideRedirect, events, m_server.m_argbColormap};
        xcb_create_window(m_conn, 32, xid, m_server.m_root, r.x, r.y, r.width, r.height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, m_server.m_argbVisual,
                          XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK |
                              XCB_CW_COLORMAP,
                          values);
    } else {
        const uint32_t values[] = {overrideRedirect, events};
        xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, xid, m_server.m_root, r.x, r.y, r.width, r.height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, m_server.m_screen->root_visual,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    }
    gc = xcb_generate_id(m_conn);
    xcb_create_gc(m_conn, gc, xid, 0, nullptr);
    applyNames();
    applyHints();
    allocateBuffer();
    shapeDirty = true;
}

void X11Window::unrealize()
{
    if (!xid) return;
    if (gc) xcb_free_gc(m_conn, gc);
    xcb_destroy_window(m_conn, xid);
    xid = 0;
    gc = 0;
    mapped = false;
}

void X11Window::applyNames()
{
    if (!xid) return;
    std::string name = info.title;
    if (name.empty()) name = info.role;
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, uint32_t(name.size()),
                        name.data());
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("_NET_WM_NAME"), m_server.atom("UTF8_STRING"),
                        8, uint32_t(name.size()), name.data());
    // Instance the role (tools find windows by it), class the program.
    const std::string instance = info.role.empty() ? std::string(program_invocation_short_name) : info.role;
    std::string wmClass = instance + '\0' + X11WindowServer::programName() + '\0';
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        uint32_t(wmClass.size()), wmClass.data());
}

void X11Window::applyHints()
{
    const bool borderless = isBorderless();
    // WM_HINTS: input and initial state.
    const uint32_t wmHints[9] = {1 | 2, takesFocus ? 1u : 0u, 1, 0, 0, 0, 0, 0, 0};
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, wmHints);
    applySizeHints();
    const xcb_atom_t protocols[] = {m_server.atom("WM_DELETE_WINDOW")};
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1,
                        protocols);
    const uint32_t pid = uint32_t(getpid());
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                        &pid);

    const std::string type = typeName(effectiveType());
    const xcb_atom_t typeAtom = m_server.atom(("_NET_WM_WINDOW_TYPE_" + type).c_str());
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &typeAtom);
    std::vector<xcb_atom_t> states;
    if (info.level > 0) states.push_back(m_server.atom("_NET_WM_STATE_ABOVE"));
    if (borderless && info.level > 0) states.push_back(m_server.atom("_NET_WM_STATE_STICKY"));
    if (isUnlisted()) {
        states.push_back(m_server.atom("_NET_WM_STATE_SKIP_TASKBAR"));
        states.push_back(m_server.atom("_NET_WM_STATE_SKIP_PAGER"));
    }
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    applyStrut();
    // Borderless windows get no decorations. Titled ones get the window
    // manager's (the layer then draws no title bar), offering only what the
    // style allows: a window that cannot close shows no close button.
    uint32_t motif[5] = {kMotifDecorations, 0, 0, 0, 0};
    if (!borderless) {
        const NSUInteger style = m_server.client().windowStyleMask(info.windowID);
        motif[0] = kMotifFunctions;
        motif[1] = kMotifMove | (style & NSClosableWindowMask ? kMotifClose : 0) |
                   (style & NSResizableWindowMask ? kMotifResize | kMotifMaximize : 0) |
                   (style & NSMiniaturizableWindowMask ? kMotifMinimize : 0);
    }
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("_MOTIF_WM_HINTS"),
                        m_server.atom("_MOTIF_WM_HINTS"), 32, 5, motif);
}

bool X11Window::isUnlisted() const
{
    // Overlays are never listed; an accessory application lists no window.
    return (isBorderless() && info.level > 0) || m_server.activationPolicy() == WSActivationPolicy::accessory;
}

void X11Window::applyStrut()
{
    // The menu bar keeps its strip at the top of the screen for itself.
    if (!xid || info.type != WSWindowType::dock) return;
    const XRect r = m_server.rectToX(info.frame);
    const uint32_t bottom = uint32_t(r.y + r.height);
    const uint32_t strut[12] = {0, 0, bottom, 0, 0, 0, 0, 0, uint32_t(r.x), uint32_t(r.x + r.width - 1), 0, 0};
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL,
                        32, 12, strut);
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, m_server.atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32, 4,
                        strut);
}

void X11Window::applySizeHints()
{
    if (!xid) return;
    // The program places its windows itself and remembers where: static
    // gravity keeps the client where asked, the decorations around it, so a
    // saved place comes back unchanged.
    const XRect r = m_server.rectToX(info.frame);
    uint32_t hints[18] = {kUSPosition | kUSSize | kPPosition | kPSize | kPWinGravity, uint32_t(r.x), uint32_t(r.y),
                          r.width, r.height};
    hints[17] = kStaticGravity;
    // A titled window that does not resize keeps its size under the window
    // manager too.
    const NSUInteger style = m_server.client().windowStyleMask(info.windowID);
    if ((style & NSTitledWindowMask) && !(style & NSResizableWindowMask)) {
        hints[0] |= kPMinSize | kPMaxSize;
        hints[5] = hints[7] = r.width;
        hints[6] = hints[8] = r.height;
    }
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, xid, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                        hints);
}

void X11Window::sendWMState(bool add, xcb_atom_t state)
{
    sendToRoot(m_server.atom("_NET_WM_STATE"), add ? 1 : 0, state, 0, 1);
}

void X11Window::sendListing()
{
    sendToRoot(m_server.atom("_NET_WM_STATE"), isUnlisted() ? 1 : 0, m_server.atom("_NET_WM_STATE_SKIP_TASKBAR"),
               m_server.atom("_NET_WM_STATE_SKIP_PAGER"), 1);
}

void X11Window::sendToRoot(xcb_atom_t type, uint32_t d0, uint32_t d1, uint32_t d2, uint32_t d3) const
{
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = xid;
    m.type = type;
    m.data.data32[0] = d0;
    m.data.data32[1] = d1;
    m.data.data32[2] = d2;
    m.data.data32[3] = d3;
    xcb_send_event(m_conn, 0, m_server.m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&m));
}

void X11Window::remakeIfVisualChanged()
{
    // The visual is fixed when the X window is made: a window that turns
    // translucent needs a new one.
    if (!xid || argb == wantsARGB()) return;
    const bool wasMapped = mapped;
    unrealize();
    releaseBuffer();
    if (!wasMapped) return;
    realize();
    xcb_map_window(m_conn, xid);
    mapped = true;
    m_server.flushWindow(info.windowID);
    upload(0, 0, int(shownWidth), int(shownHeight));
    updateShape();
    m_server.applyStacking(info.windowID);
    if (info.windowID == m_server.m_key) giveFocus();
}

void X11Window::restackUnderManager() const
{
    // Just below the window in front of it at its level, or on top of its
    // layer. Asked as a pager would: a window manager may refuse a plain
    // configure request (or stack a new window below the focused one) when
    // the window does not take the focus, but it honours a pager.
    xcb_window_t sibling = XCB_NONE;
    uint32_t detail = XCB_STACK_MODE_ABOVE;
    auto it = std::find(m_server.m_order.begin(), m_server.m_order.end(), info.windowID);
    if (it != m_server.m_order.end() && it != m_server.m_order.begin()) {
        const X11Window* front = m_server.find(*(it - 1));
        if (front && front->mapped && front->info.level == info.level) {
            sibling = front->xid;
            detail = XCB_STACK_MODE_BELOW;
        }
    }
    constexpr uint32_t kFromPager = 2;
    sendToRoot(m_server.atom("_NET_RESTACK_WINDOW"), kFromPager, sibling, detail);
}

void X11Window::giveFocus()
{
    if (!mapped || !takesFocus) return;
    if (!m_server.m_wmRunning) {
        // Nobody else gives our windows the keyboard.
        xcb_set_input_focus(m_conn, XCB_INPUT_FOCUS_PARENT, xid, XCB_CURRENT_TIME);
        return;
    }
    // A window manager decides; the time of the user's last press tells it
    // the request answers the user.
    constexpr uint32_t kFromApplication = 1;
    sendToRoot(m_server.atom("_NET_ACTIVE_WINDOW"), kFromApplication, m_server.m_userTime, 0);
}

void X11Window::allocateBuffer()
{
    shownWidth = surface ? surface->width() : 1;
    shownHeight = surface ? surface->height() : 1;
    const size_t bytes = shownWidth * shownHeight * 4;
    if (m_server.m_hasShm) {
        shmID = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (shmID >= 0) {
            void* address = shmat(shmID, nullptr, 0);
            if (address != reinterpret_cast<void*>(-1)) {
                segment = xcb_generate_id(m_conn);
                auto cookie = xcb_shm_attach_checked(m_conn, segment, uint32_t(shmID), 0);
                xcb_generic_error_t* error = xcb_request_check(m_conn, cookie);
                // Marked for removal now: it goes away with the last detach.
                shmctl(shmID, IPC_RMID, nullptr);
                if (!error) {
                    shown = static_cast<uint32_t*>(address);
                    std::memset(shown, 0, bytes);
                    return;
                }
                std::free(error);
                // A remote server cannot share memory: upload through requests.
                m_server.m_hasShm = false;
                shmdt(address);
                segment = 0;
            } else {
                shmctl(shmID, IPC_RMID, nullptr);
            }
            shmID = -1;
        }
    }
    ownBuffer.assign(shownWidth * shownHeight, 0);
    shown = ownBuffer.data();
}

void X11Window::releaseBuffer()
{
    if (segment) {
        xcb_shm_detach(m_conn, segment);
        // The server detaches in order; make sure it did before we do.
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        shmdt(shown);
        segment = 0;
        shmID = -1;
    }
    ownBuffer.clear();
    ownBuffer.shrink_to_fit();
    shown = nullptr;
    uploadPending = false;
}

void X11Window::upload(int x, int y, int width, int height)
{
    // Exposures follow the X window's size, which a window manager or
    // another client may have made larger than the pixels we hold.
    const int right = std::min(x + width, int(shownWidth)), bottom = std::min(y + height, int(shownHeight));
    x = std::max(x, 0);
    y = std::max(y, 0);
    width = right - x;
    height = bottom - y;
    if (!xid || !shown || width <= 0 || height <= 0) return;
    m_server.m_uploadedPixels += uint64_t(width) * uint64_t(height);
    if (segment) {
        uploadSequence = xcb_shm_put_image(m_conn, xid, gc, uint16_t(shownWidth), uint16_t(shownHeight), uint16_t(x),
                                           uint16_t(y), uint16_t(width), uint16_t(height), int16_t(x), int16_t(y),
                                           depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, 0)
                             .sequence;
        uploadPending = true;
        return;
    }
    // Requests are bounded in size: send bands of rows.
    const size_t maxBytes = size_t(xcb_get_maximum_request_length(m_conn)) * 4 - 64;
    const int rowsPer = std::max(1, int(maxBytes / (size_t(width) * 4)));
    std::vector<uint32_t> band;
    for (int top = y; top < y + height; top += rowsPer) {
        const int rows = std::min(rowsPer, y + height - top);
        band.resize(size_t(width) * rows);
        for (int r = 0; r < rows; ++r)
            std::memcpy(&band[size_t(r) * width], &shown[size_t(top + r) * shownWidth + x], size_t(width) * 4);
        xcb_put_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, xid, gc, uint16_t(width), uint16_t(rows), int16_t(x),
                      int16_t(top), 0, depth, uint32_t(band.size() * 4), reinterpret_cast<const uint8_t*>(band.data()));
    }
}

void X11Window::updateShown(size_t left, size_t top, size_t right, size_t bottom)
{
    const size_t stride = surface->bytesPerRow();
    const uint8_t* data = surface->data();
    const uint32_t a256 = uint32_t(std::lround(info.alpha * 256));
    // Compare band by band; what changed in a band goes up as one rectangle.
    constexpr size_t kBand = 32;
    for (size_t bandTop = top; bandTop < bottom; bandTop += kBand) {
        size_t minX = right, maxX = 0, minY = bottom, maxY = 0;
        const size_t bandBottom = std::min(bottom, bandTop + kBand);
        for (size_t row = bandTop; row < bandBottom; ++row) {
            const auto* src = reinterpret_cast<const uint32_t*>(data + row * stride);
            uint32_t* dst = shown + row * shownWidth;
            for (size_t col = left; col < right; ++col) {
                const uint32_t v = premultiply(src[col], a256);
                if (v == dst[col]) continue;
                if ((v >> 24 == 0) != (dst[col] >> 24 == 0)) shapeDirty = true;
                dst[col] = v;
                minX = std::min(minX, col);
                maxX = std::max(maxX, col);
                minY = std::min(minY, row);
                maxY = row;
            }
        }
        if (minX <= maxX && mapped) upload(int(minX), int(minY), int(maxX - minX + 1), int(maxY - minY + 1));
    }
}

void X11Window::updateShape()
{
    if (!m_server.m_hasShape || !xid || !shown) return;
    shapeDirty = false;
    std::vector<xcb_rectangle_t> painted;
    if (!info.opaque) painted = paintedRectangles();
    // Without a compositor clear pixels would show black: the window's shape
    // then leaves them out too.
    if (argb && !info.opaque && !m_server.hasCompositor())
        xcb_shape_rectangles(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, xid, 0, 0,
                             uint32_t(painted.size()), painted.data());
    else xcb_shape_mask(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, xid, 0, 0, XCB_NONE);
    if (info.ignoresMouse) {
        xcb_shape_rectangles(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, xid, 0, 0, 0,
                             nullptr);
        return;
    }
    if (info.opaque) {
        xcb_shape_mask(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, xid, 0, 0, XCB_NONE);
        return;
    }
    xcb_shape_rectangles(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, xid, 0, 0,
                         uint32_t(painted.size()), painted.data());
}

std::vector<xcb_rectangle_t> X11Window::paintedRectangles() const
{
    // Runs of painted pixels, joined with the identical run of the rows above.
    std::vector<xcb_rectangle_t> done, open, next;
    for (size_t row = 0; row < shownHeight; ++row) {
        next.clear();
        const uint32_t* line = shown + row * shownWidth;
        size_t col = 0;
        while (col < shownWidth) {
            while (col < shownWidth && !(line[col] >> 24)) ++col;
            if (col == shownWidth) break;
            const size_t start = col;
            while (col < shownWidth && (line[col] >> 24)) ++col;
            auto match = std::find_if(open.begin(), open.end(), [&](const xcb_rectangle_t& r) {
                return size_t(r.x) == start && size_t(r.width) == col - start;
            });
            if (match != open.end()) {
                ++match->height;
                next.push_back(*match);
                open.erase(match);
            } else {
                next.push_back({int16_t(start), int16_t(row), uint16_t(col - start), 1});
            }
        }
        done.insert(done.end(), open.begin(), open.end());
        open.swap(next);
    }
    done.insert(done.end(), open.begin(), open.end());
    return done;
}
