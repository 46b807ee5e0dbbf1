#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <xcb/shape.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "AppKit/NSWindow.h"
#include "AppKit/WindowStacking.h"
#include "backend/x11/X11Window.h"

// Windows: made on the server when first shown, named and hinted by role,
// stacked by level, drawn by uploading what changed.

namespace {

struct RoleHints {
    const char* key;   // the role, lower case without separators
    const char* name;  // WM_NAME when the window has no title
    const char* type;  // _NET_WM_WINDOW_TYPE_...
};

constexpr RoleHints kRoles[] = {
    {"guideline", "Guidelines", "NOTIFICATION"},
    {"guidelines", "Guidelines", "NOTIFICATION"},
    {"ruler", "Ruler", "UTILITY"},
    {"cornerruler", "Corner Ruler", "UTILITY"},
    {"screenframe", "Screen Frame", "NOTIFICATION"},
    {"frame", "Screen Frame", "NOTIFICATION"},
    {"preferences", "Preferences", "DIALOG"},
    {"about", "About", "DIALOG"},
    {"dialog", "", "DIALOG"},
    {"alert", "", "DIALOG"},
    {"menubar", "", "DOCK"},
    {"menu", "", "POPUP_MENU"},
};

const RoleHints* roleHints(const std::string& role)
{
    std::string key;
    for (char c : role)
        if (std::isalnum(static_cast<unsigned char>(c)))
            key.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    for (const auto& r : kRoles)
        if (key == r.key) return &r;
    return nullptr;
}

NSUInteger styleMaskOf(WSWindowID id)
{
    auto window = NSWindow::windowWithNumber(id);
    return window ? window->styleMask() : NSTitledWindowMask;
}

bool isBorderless(WSWindowID id)
{
    auto window = NSWindow::windowWithNumber(id);
    return window && !(window->styleMask() & NSTitledWindowMask);
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

X11WindowServer::Window* X11WindowServer::find(WSWindowID id)
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second.get();
}

const X11WindowServer::Window* X11WindowServer::find(WSWindowID id) const
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second.get();
}

X11WindowServer::Window* X11WindowServer::findX(xcb_window_t xid)
{
    for (auto& [id, w] : m_windows)
        if (w->xid == xid) return w.get();
    return nullptr;
}

xcb_window_t X11WindowServer::xWindow(WSWindowID window) const
{
    auto* w = find(window);
    return w ? w->xid : 0;
}

WSWindowID X11WindowServer::createWindow(const NSRect& frame, NSInteger level, bool opaque)
{
    const WSWindowID id = m_nextID++;
    auto w = std::make_unique<Window>();
    w->info.windowID = id;
    w->info.frame = frame;
    w->info.level = level;
    w->info.opaque = opaque;
    const XRect x = rectToX(frame);
    w->surface = CGImage::create(x.width, x.height);
    m_windows[id] = std::move(w);
    return id;
}

void X11WindowServer::destroyWindow(WSWindowID window)
{
    auto* w = find(window);
    if (!w) return;
    std::erase(m_order, window);
    if (window == m_suspendingWindow) setSuspended(false);
    unrealize(*w);
    releaseBuffer(*w);
    m_windows.erase(window);
    if (m_key == window) m_key = 0;
    if (m_hover == window) m_hover = 0;
}

bool X11WindowServer::wantsARGB(const Window& w) const { return m_argbVisual && (!w.info.opaque || w.info.alpha < 1); }

void X11WindowServer::realize(Window& w)
{
    if (w.xid) return;
    const XRect r = rectToX(w.info.frame);
    w.argb = wantsARGB(w);
    w.depth = w.argb ? 32 : m_screen->root_depth;
    // Overlays keep out of the way of a window manager that starts later
    // only when none runs now; under one they are managed with EWMH hints.
    w.overrideRedirect = !m_wmRunning && w.info.level > 0 && isBorderless(w.info.windowID);
    auto window = NSWindow::windowWithNumber(w.info.windowID);
    w.takesFocus = window ? window->canBecomeKeyWindow() : w.info.level <= 0;
    w.xid = xcb_generate_id(m_conn);
    const uint32_t events = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                            XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                            XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_FOCUS_CHANGE |
                            XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (w.argb) {
        const uint32_t values[] = {0, 0, w.overrideRedirect, events, m_argbColormap};
        xcb_create_window(
            m_conn, 32, w.xid, m_root, r.x, r.y, r.width, r.height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, m_argbVisual,
            XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP,
            values);
    } else {
        const uint32_t values[] = {w.overrideRedirect, events};
        xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, w.xid, m_root, r.x, r.y, r.width, r.height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    }
    w.gc = xcb_generate_id(m_conn);
    xcb_create_gc(m_conn, w.gc, w.xid, 0, nullptr);
    applyNames(w);
    applyHints(w);
    allocateBuffer(w);
    w.shapeDirty = true;
}

void X11WindowServer::unrealize(Window& w)
{
    if (!w.xid) return;
    if (w.gc) xcb_free_gc(m_conn, w.gc);
    xcb_destroy_window(m_conn, w.xid);
    w.xid = 0;
    w.gc = 0;
    w.mapped = false;
}

void X11WindowServer::applyNames(Window& w)
{
    if (!w.xid) return;
    const RoleHints* hints = roleHints(w.info.role);
    std::string name = w.info.title;
    if (name.empty() && hints) name = hints->name;
    if (name.empty()) name = w.info.role;
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        uint32_t(name.size()), name.data());
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                        uint32_t(name.size()), name.data());
    // Instance the role (tools find windows by it), class the program.
    const std::string instance = w.info.role.empty() ? "plumbline" : w.info.role;
    std::string wmClass = instance + '\0' + "plumbline" + '\0';
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        uint32_t(wmClass.size()), wmClass.data());
}

void X11WindowServer::applyHints(Window& w)
{
    const bool borderless = isBorderless(w.info.windowID);
    // WM_HINTS: input and initial state.
    const uint32_t wmHints[9] = {1 | 2, w.takesFocus ? 1u : 0u, 1, 0, 0, 0, 0, 0, 0};
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, wmHints);
    applySizeHints(w);
    const xcb_atom_t protocols[] = {atom("WM_DELETE_WINDOW")};
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1, protocols);
    const uint32_t pid = uint32_t(getpid());
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);

    const RoleHints* hints = roleHints(w.info.role);
    std::string type = hints ? hints->type : (borderless && w.info.level > 0 ? "NOTIFICATION" : "NORMAL");
    const xcb_atom_t typeAtom = atom(("_NET_WM_WINDOW_TYPE_" + type).c_str());
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &typeAtom);
    std::vector<xcb_atom_t> states;
    if (w.info.level > 0) states.push_back(atom("_NET_WM_STATE_ABOVE"));
    if (borderless && w.info.level > 0) {
        states.push_back(atom("_NET_WM_STATE_STICKY"));
        states.push_back(atom("_NET_WM_STATE_SKIP_TASKBAR"));
        states.push_back(atom("_NET_WM_STATE_SKIP_PAGER"));
    }
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    applyStrut(w);
    // Borderless windows get no decorations. Titled ones get the window
    // manager's (the layer then draws no title bar), offering only what the
    // style allows: a window that cannot close shows no close button.
    uint32_t motif[5] = {kMotifDecorations, 0, 0, 0, 0};
    if (!borderless) {
        const NSUInteger style = styleMaskOf(w.info.windowID);
        motif[0] = kMotifFunctions;
        motif[1] = kMotifMove | (style & NSClosableWindowMask ? kMotifClose : 0) |
                   (style & NSResizableWindowMask ? kMotifResize | kMotifMaximize : 0) |
                   (style & NSMiniaturizableWindowMask ? kMotifMinimize : 0);
    }
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("_MOTIF_WM_HINTS"), atom("_MOTIF_WM_HINTS"), 32, 5,
                        motif);
}

void X11WindowServer::applyStrut(Window& w)
{
    // The menu bar keeps its strip at the top of the screen for itself.
    const RoleHints* hints = roleHints(w.info.role);
    if (!w.xid || !hints || std::string(hints->type) != "DOCK") return;
    const XRect r = rectToX(w.info.frame);
    const uint32_t bottom = uint32_t(r.y + r.height);
    const uint32_t strut[12] = {0, 0, bottom, 0, 0, 0, 0, 0, uint32_t(r.x), uint32_t(r.x + r.width - 1), 0, 0};
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12,
                        strut);
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32, 4, strut);
}

void X11WindowServer::applySizeHints(Window& w)
{
    if (!w.xid) return;
    // The program places its windows itself and remembers where: static
    // gravity keeps the client where asked, the decorations around it, so a
    // saved place comes back unchanged.
    const XRect r = rectToX(w.info.frame);
    uint32_t hints[18] = {kUSPosition | kUSSize | kPPosition | kPSize | kPWinGravity, uint32_t(r.x), uint32_t(r.y),
                          r.width, r.height};
    hints[17] = kStaticGravity;
    // A titled window that does not resize keeps its size under the window
    // manager too.
    const NSUInteger style = styleMaskOf(w.info.windowID);
    if ((style & NSTitledWindowMask) && !(style & NSResizableWindowMask)) {
        hints[0] |= kPMinSize | kPMaxSize;
        hints[5] = hints[7] = r.width;
        hints[6] = hints[8] = r.height;
    }
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, w.xid, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                        hints);
}

void X11WindowServer::windowManagerChanged()
{
    // Titled windows' title bars change hands: the content takes or gives
    // back the bar's strip.
    for (auto& [id, w] : m_windows) {
        auto window = NSWindow::windowWithNumber(id);
        if (!window || !(window->styleMask() & NSTitledWindowMask)) continue;
        const NSRect bounds = NSMakeRect(0, 0, window->frame().size.width, window->frame().size.height);
        if (auto content = window->contentView()) content->setFrame(window->contentRectForFrameRect(bounds));
        window->setViewsNeedDisplay(true);
    }
}

void X11WindowServer::sendWMState(Window& w, bool add, xcb_atom_t state)
{
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = w.xid;
    m.type = atom("_NET_WM_STATE");
    m.data.data32[0] = add ? 1 : 0;
    m.data.data32[1] = state;
    m.data.data32[3] = 1;
    xcb_send_event(m_conn, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&m));
}

// --- Frame and attributes ---

void X11WindowServer::setFrame(WSWindowID window, const NSRect& frame)
{
    auto* w = find(window);
    if (!w) return;
    const XRect old = rectToX(w->info.frame);
    const XRect r = rectToX(frame);
    w->info.frame = frame;
    const bool resized = r.width != old.width || r.height != old.height;
    // The old surface stays alive for whoever still draws into it.
    if (resized) w->surface = CGImage::create(r.width, r.height);
    if (!w->xid) return;
    // A place the window manager chose is already the window's.
    if (!w->configuredByServer) {
        if (resized) applySizeHints(*w);
        applyStrut(*w);
        w->requestPending = true;
        w->requested = r;
        w->requestedAt = std::chrono::steady_clock::now();
        const uint32_t values[] = {uint32_t(r.x), uint32_t(r.y), r.width, r.height};
        xcb_configure_window(
            m_conn, w->xid,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    }
    if (resized) {
        releaseBuffer(*w);
        allocateBuffer(*w);
        w->shapeDirty = true;
    }
}

void X11WindowServer::setLevel(WSWindowID window, NSInteger level)
{
    auto* w = find(window);
    if (!w || w->info.level == level) return;
    const bool wasAbove = w->info.level > 0;
    w->info.level = level;
    if (w->xid && m_wmRunning && wasAbove != (level > 0)) sendWMState(*w, level > 0, atom("_NET_WM_STATE_ABOVE"));
    if (std::find(m_order.begin(), m_order.end(), window) != m_order.end()) {
        placeInOrder(window, 1, 0);
        applyStacking(window);
    }
}

void X11WindowServer::setAlpha(WSWindowID window, CGFloat alpha)
{
    auto* w = find(window);
    if (!w || w->info.alpha == alpha) return;
    w->info.alpha = std::clamp<CGFloat>(alpha, 0, 1);
    remakeIfVisualChanged(*w);
    // The alpha is in the uploaded pixels: show them again.
    if (w->xid) flushWindow(window);
}

void X11WindowServer::remakeIfVisualChanged(Window& w)
{
    // The visual is fixed when the X window is made: a window that turns
    // translucent needs a new one.
    if (!w.xid || w.argb == wantsARGB(w)) return;
    const bool wasMapped = w.mapped;
    unrealize(w);
    releaseBuffer(w);
    if (!wasMapped) return;
    realize(w);
    xcb_map_window(m_conn, w.xid);
    w.mapped = true;
    flushWindow(w.info.windowID);
    upload(w, 0, 0, int(w.shownWidth), int(w.shownHeight));
    updateShape(w);
    applyStacking(w.info.windowID);
    if (w.info.windowID == m_key) giveFocus(w);
}

void X11WindowServer::setOpaque(WSWindowID window, bool opaque)
{
    auto* w = find(window);
    if (!w || w->info.opaque == opaque) return;
    w->info.opaque = opaque;
    w->shapeDirty = true;
    remakeIfVisualChanged(*w);
    if (w->mapped) updateShape(*w);
}

void X11WindowServer::setHasShadow(WSWindowID window, bool shadow)
{
    if (auto* w = find(window)) w->info.hasShadow = shadow;
}

void X11WindowServer::setIgnoresMouse(WSWindowID window, bool ignores)
{
    auto* w = find(window);
    if (!w || w->info.ignoresMouse == ignores) return;
    w->info.ignoresMouse = ignores;
    w->shapeDirty = true;
    if (w->xid) updateShape(*w);
}

void X11WindowServer::setTitle(WSWindowID window, const std::string& title)
{
    auto* w = find(window);
    if (!w) return;
    w->info.title = title;
    applyNames(*w);
}

void X11WindowServer::setRole(WSWindowID window, const std::string& role)
{
    auto* w = find(window);
    if (!w) return;
    w->info.role = role;
    applyNames(*w);
    if (w->xid) applyHints(*w);
}

std::optional<WSWindowInfo> X11WindowServer::windowInfo(WSWindowID window) const
{
    auto* w = find(window);
    if (!w) return std::nullopt;
    WSWindowInfo info = w->info;
    info.key = window == m_key;
    return info;
}

WSWindowID X11WindowServer::windowAtPoint(NSPoint p) const
{
    // Our own windows only: what other programs show is not ours to name.
    for (auto id : m_order) {
        const Window* w = find(id);
        const NSRect f = w->info.frame;
        if (w->info.ignoresMouse || !NSMouseInRect(p, f, false)) continue;
        if (w->info.opaque || !w->shown) return id;
        const auto col = size_t(std::floor(p.x - f.origin.x));
        const auto row = size_t(std::floor(NSMaxY(f) - p.y));
        if (col < w->shownWidth && row < w->shownHeight && (w->shown[row * w->shownWidth + col] >> 24)) return id;
    }
    return 0;
}

// --- Order ---

void X11WindowServer::placeInOrder(WSWindowID id, int place, WSWindowID relativeTo)
{
    auto* w = find(id);
    if (!w) return;
    WindowStacking::placeInOrder(m_order, id, w->info.level, place, relativeTo,
                                 [&](WSWindowID other) { return find(other)->info.level; });
}

void X11WindowServer::orderWindow(WSWindowID window, int place, WSWindowID relativeTo)
{
    auto* w = find(window);
    if (!w) return;
    realize(*w);
    w->info.visible = true;
    placeInOrder(window, place, relativeTo);
    if (!w->mapped) {
        xcb_map_window(m_conn, w->xid);
        w->mapped = true;
        // What was drawn while hidden.
        upload(*w, 0, 0, int(w->shownWidth), int(w->shownHeight));
        updateShape(*w);
        // Made key before it was shown: the focus can go to it only now.
        if (window == m_key) giveFocus(*w);
    }
    applyStacking(window);
}

void X11WindowServer::applyStacking(WSWindowID moved)
{
    if (m_wmRunning) {
        // The window manager stacks by its own rules (layers from
        // _NET_WM_STATE_ABOVE); the window that moved goes to its place among
        // ours.
        if (const Window* w = find(moved); w && w->mapped) restackUnderManager(*w);
        return;
    }
    // Back to front, each raised to the top: ours end in order, above the rest.
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        const uint32_t mode = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_conn, find(*it)->xid, XCB_CONFIG_WINDOW_STACK_MODE, &mode);
    }
}

void X11WindowServer::restackUnderManager(const Window& w)
{
    // Just below the window in front of it at its level, or on top of its
    // layer. Asked as a pager would: a window manager may refuse a plain
    // configure request (or stack a new window below the focused one) when
    // the window does not take the focus, but it honours a pager.
    xcb_window_t sibling = XCB_NONE;
    uint32_t detail = XCB_STACK_MODE_ABOVE;
    auto it = std::find(m_order.begin(), m_order.end(), w.info.windowID);
    if (it != m_order.end() && it != m_order.begin()) {
        const Window* front = find(*(it - 1));
        if (front && front->mapped && front->info.level == w.info.level) {
            sibling = front->xid;
            detail = XCB_STACK_MODE_BELOW;
        }
    }
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = w.xid;
    m.type = atom("_NET_RESTACK_WINDOW");
    m.data.data32[0] = 2;  // from a pager
    m.data.data32[1] = sibling;
    m.data.data32[2] = detail;
    xcb_send_event(m_conn, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&m));
}

void X11WindowServer::raiseOverlays()
{
    // A window manager keeps the overlays it manages above; those made
    // before it started are ours to raise.
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        const Window* w = find(*it);
        if (w->info.level <= 0 || !w->xid || (m_wmRunning && !w->overrideRedirect)) continue;
        const uint32_t mode = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_conn, w->xid, XCB_CONFIG_WINDOW_STACK_MODE, &mode);
    }
}

void X11WindowServer::orderOut(WSWindowID window)
{
    auto* w = find(window);
    if (!w) return;
    w->info.visible = false;
    std::erase(m_order, window);
    if (m_hover == window) m_hover = 0;
    if (!w->mapped) return;
    // The recording window going away never leaves the keyboard grabbed.
    if (window == m_suspendingWindow) setSuspended(false);
    xcb_unmap_window(m_conn, w->xid);
    w->mapped = false;
    if (m_wmRunning) {
        // ICCCM withdrawal: the window manager also hears a synthetic unmap.
        xcb_unmap_notify_event_t e{};
        e.response_type = XCB_UNMAP_NOTIFY;
        e.event = m_root;
        e.window = w->xid;
        xcb_send_event(m_conn, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&e));
    }
}

void X11WindowServer::setKeyWindow(WSWindowID window)
{
    if (window == m_key) return;
    m_key = window;
    if (auto* w = find(window)) giveFocus(*w);
    if (window) keepSuspensionWith(window);
}

void X11WindowServer::giveFocus(Window& w)
{
    if (!w.mapped || !w.takesFocus) return;
    if (!m_wmRunning) {
        // Nobody else gives our windows the keyboard.
        xcb_set_input_focus(m_conn, XCB_INPUT_FOCUS_PARENT, w.xid, XCB_CURRENT_TIME);
        return;
    }
    // A window manager decides; the time of the user's last press tells it
    // the request answers the user.
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = w.xid;
    m.type = atom("_NET_ACTIVE_WINDOW");
    m.data.data32[0] = 1;  // from an application
    m.data.data32[1] = m_userTime;
    xcb_send_event(m_conn, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&m));
}

void X11WindowServer::noteConfigure(const xcb_configure_notify_event_t& e)
{
    // Only a window manager moves our windows; its synthetic notices carry
    // root coordinates. AppKit hears of the new place.
    if (!m_wmRunning || !(e.response_type & 0x80)) return;
    Window* w = findX(e.window);
    if (!w) return;
    auto same = [&](const XRect& r) { return r.x == e.x && r.y == e.y && r.width == e.width && r.height == e.height; };
    if (w->requestPending) {
        // A notice of an older place (the manager had not yet handled our
        // last request) would undo what AppKit asked for since. One that
        // differs long after the request is the manager's own choice.
        constexpr auto kSettle = std::chrono::seconds(1);
        if (same(w->requested)) w->requestPending = false;
        if (same(w->requested) || std::chrono::steady_clock::now() - w->requestedAt < kSettle) return;
        w->requestPending = false;
    }
    const NSRect frame = rectFromX(e.x, e.y, e.width, e.height);
    if (same(rectToX(w->info.frame))) return;
    auto window = NSWindow::windowWithNumber(w->info.windowID);
    if (!window) return;
    w->configuredByServer = true;
    window->setFrame(frame, true);
    w->configuredByServer = false;
}

// --- Drawing ---

Ref<CGImage> X11WindowServer::surface(WSWindowID window)
{
    auto* w = find(window);
    return w ? w->surface : nullptr;
}

void X11WindowServer::allocateBuffer(Window& w)
{
    w.shownWidth = w.surface ? w.surface->width() : 1;
    w.shownHeight = w.surface ? w.surface->height() : 1;
    const size_t bytes = w.shownWidth * w.shownHeight * 4;
    if (m_hasShm) {
        w.shmID = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (w.shmID >= 0) {
            void* address = shmat(w.shmID, nullptr, 0);
            if (address != reinterpret_cast<void*>(-1)) {
                w.segment = xcb_generate_id(m_conn);
                auto cookie = xcb_shm_attach_checked(m_conn, w.segment, uint32_t(w.shmID), 0);
                xcb_generic_error_t* error = xcb_request_check(m_conn, cookie);
                // Marked for removal now: it goes away with the last detach.
                shmctl(w.shmID, IPC_RMID, nullptr);
                if (!error) {
                    w.shown = static_cast<uint32_t*>(address);
                    std::memset(w.shown, 0, bytes);
                    return;
                }
                std::free(error);
                // A remote server cannot share memory: upload through requests.
                m_hasShm = false;
                shmdt(address);
                w.segment = 0;
            } else {
                shmctl(w.shmID, IPC_RMID, nullptr);
            }
            w.shmID = -1;
        }
    }
    w.ownBuffer.assign(w.shownWidth * w.shownHeight, 0);
    w.shown = w.ownBuffer.data();
}

void X11WindowServer::releaseBuffer(Window& w)
{
    if (w.segment) {
        xcb_shm_detach(m_conn, w.segment);
        // The server detaches in order; make sure it did before we do.
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        shmdt(w.shown);
        w.segment = 0;
        w.shmID = -1;
    }
    w.ownBuffer.clear();
    w.ownBuffer.shrink_to_fit();
    w.shown = nullptr;
    w.uploadPending = false;
}

void X11WindowServer::upload(Window& w, int x, int y, int width, int height)
{
    // Exposures follow the X window's size, which a window manager or
    // another client may have made larger than the pixels we hold.
    const int right = std::min(x + width, int(w.shownWidth)), bottom = std::min(y + height, int(w.shownHeight));
    x = std::max(x, 0);
    y = std::max(y, 0);
    width = right - x;
    height = bottom - y;
    if (!w.xid || !w.shown || width <= 0 || height <= 0) return;
    m_uploadedPixels += uint64_t(width) * uint64_t(height);
    if (w.segment) {
        xcb_shm_put_image(m_conn, w.xid, w.gc, uint16_t(w.shownWidth), uint16_t(w.shownHeight), uint16_t(x),
                          uint16_t(y), uint16_t(width), uint16_t(height), int16_t(x), int16_t(y), w.depth,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, w.segment, 0);
        w.uploadPending = true;
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
            std::memcpy(&band[size_t(r) * width], &w.shown[size_t(top + r) * w.shownWidth + x], size_t(width) * 4);
        xcb_put_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, w.xid, w.gc, uint16_t(width), uint16_t(rows), int16_t(x),
                      int16_t(top), 0, w.depth, uint32_t(band.size() * 4),
                      reinterpret_cast<const uint8_t*>(band.data()));
    }
}

void X11WindowServer::flushWindow(WSWindowID window)
{
    auto* w = find(window);
    if (!w || !w->surface) return;
    flushWindowRect(window, NSMakeRect(0, 0, CGFloat(w->surface->width()), CGFloat(w->surface->height())));
}

void X11WindowServer::flushWindowRect(WSWindowID window, const NSRect& changed)
{
    auto* w = find(window);
    if (!w || !w->surface) return;
    w->everFlushed = true;
    if (!w->xid) realize(*w);
    if (!w->shown) return;
    if (w->uploadPending) {
        // The server may still read the segment: wait until it has.
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        w->uploadPending = false;
    }
    // The rectangle (y up) in surface pixels (y down), widened to whole
    // pixels: antialiased edges touch the pixels they overlap.
    const auto width = double(std::min(w->shownWidth, w->surface->width()));
    const auto height = double(std::min(w->shownHeight, w->surface->height()));
    const double surfaceHeight = double(w->surface->height());
    const double left = std::clamp(std::floor(changed.origin.x), 0.0, width);
    const double right = std::clamp(std::ceil(NSMaxX(changed)), 0.0, width);
    const double top = std::clamp(std::floor(surfaceHeight - NSMaxY(changed)), 0.0, height);
    const double bottom = std::clamp(std::ceil(surfaceHeight - changed.origin.y), 0.0, height);
    if (left < right && top < bottom) updateShown(*w, size_t(left), size_t(top), size_t(right), size_t(bottom));
    if (w->mapped && w->shapeDirty) updateShape(*w);
}

void X11WindowServer::updateShown(Window& w, size_t left, size_t top, size_t right, size_t bottom)
{
    const size_t stride = w.surface->bytesPerRow();
    const uint8_t* data = w.surface->data();
    const uint32_t a256 = uint32_t(std::lround(w.info.alpha * 256));
    // Compare band by band; what changed in a band goes up as one rectangle.
    constexpr size_t kBand = 32;
    for (size_t bandTop = top; bandTop < bottom; bandTop += kBand) {
        size_t minX = right, maxX = 0, minY = bottom, maxY = 0;
        const size_t bandBottom = std::min(bottom, bandTop + kBand);
        for (size_t row = bandTop; row < bandBottom; ++row) {
            const auto* src = reinterpret_cast<const uint32_t*>(data + row * stride);
            uint32_t* dst = w.shown + row * w.shownWidth;
            for (size_t col = left; col < right; ++col) {
                const uint32_t v = premultiply(src[col], a256);
                if (v == dst[col]) continue;
                if ((v >> 24 == 0) != (dst[col] >> 24 == 0)) w.shapeDirty = true;
                dst[col] = v;
                minX = std::min(minX, col);
                maxX = std::max(maxX, col);
                minY = std::min(minY, row);
                maxY = row;
            }
        }
        if (minX <= maxX && w.mapped) upload(w, int(minX), int(minY), int(maxX - minX + 1), int(maxY - minY + 1));
    }
}

bool X11WindowServer::hasCompositor()
{
    const std::string name = "_NET_WM_CM_S" + std::to_string(m_screenNumber);
    auto* r = xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, atom(name.c_str())), nullptr);
    const bool owned = r && r->owner != XCB_NONE;
    std::free(r);
    return owned;
}

void X11WindowServer::updateShape(Window& w)
{
    if (!m_hasShape || !w.xid || !w.shown) return;
    w.shapeDirty = false;
    std::vector<xcb_rectangle_t> painted;
    if (!w.info.opaque) painted = paintedRectangles(w);
    // Without a compositor clear pixels would show black: the window's shape
    // then leaves them out too.
    if (w.argb && !w.info.opaque && !hasCompositor())
        xcb_shape_rectangles(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, w.xid, 0, 0,
                             uint32_t(painted.size()), painted.data());
    else xcb_shape_mask(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, w.xid, 0, 0, XCB_NONE);
    if (w.info.ignoresMouse) {
        xcb_shape_rectangles(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, w.xid, 0, 0, 0,
                             nullptr);
        return;
    }
    if (w.info.opaque) {
        xcb_shape_mask(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, w.xid, 0, 0, XCB_NONE);
        return;
    }
    xcb_shape_rectangles(m_conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, w.xid, 0, 0,
                         uint32_t(painted.size()), painted.data());
}

std::vector<xcb_rectangle_t> X11WindowServer::paintedRectangles(const Window& w) const
{
    // Runs of painted pixels, joined with the identical run of the rows above.
    std::vector<xcb_rectangle_t> done, open, next;
    for (size_t row = 0; row < w.shownHeight; ++row) {
        next.clear();
        const uint32_t* line = w.shown + row * w.shownWidth;
        size_t col = 0;
        while (col < w.shownWidth) {
            while (col < w.shownWidth && !(line[col] >> 24)) ++col;
            if (col == w.shownWidth) break;
            const size_t start = col;
            while (col < w.shownWidth && (line[col] >> 24)) ++col;
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
