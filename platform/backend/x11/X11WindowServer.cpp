#include "backend/x11/X11WindowServer.h"

#include <xcb/randr.h>
#include <xcb/shape.h>
#include <xcb/shm.h>
#include <xcb/xinput.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Carbon/KeyState.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSTimer.h"
#include "backend/x11/X11Clipboard.h"
#include "backend/x11/X11Compose.h"
#include "backend/x11/X11Keyboard.h"
#include "backend/x11/X11Reply.h"
#include "backend/x11/X11TrayIcon.h"
#include "backend/x11/X11Window.h"

namespace {

[[maybe_unused]] const bool g_registered =
    WindowServer::registerBackend("x11", [] { return std::unique_ptr<WindowServer>(new X11WindowServer); });

}

X11WindowServer::X11WindowServer()
{
    m_conn = xcb_connect(nullptr, &m_screenNumber);
    if (!m_conn || xcb_connection_has_error(m_conn)) {
        if (m_conn) xcb_disconnect(m_conn);
        m_conn = nullptr;
        NSException::raise(NSInternalInconsistencyException, "Cannot connect to the X display");
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(m_conn));
    for (int i = 0; i < m_screenNumber && it.rem; ++i) xcb_screen_next(&it);
    m_screen = it.data;
    m_root = m_screen->root;

    // A 32-bit TrueColor visual for windows that show what lies below.
    for (auto d = xcb_screen_allowed_depths_iterator(m_screen); d.rem && !m_argbVisual; xcb_depth_next(&d)) {
        if (d.data->depth != 32) continue;
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR) {
                m_argbVisual = v.data->visual_id;
                break;
            }
    }
    if (m_argbVisual) {
        m_argbColormap = xcb_generate_id(m_conn);
        xcb_create_colormap(m_conn, XCB_COLORMAP_ALLOC_NONE, m_argbColormap, m_root, m_argbVisual);
    }

    if (auto shm = reply(xcb_shm_query_version_reply(m_conn, xcb_shm_query_version(m_conn), nullptr)))
        m_hasShm = !std::getenv("PLUMBLINE_X11_NO_SHM");
    if (auto shape = reply(xcb_shape_query_version_reply(m_conn, xcb_shape_query_version(m_conn), nullptr)))
        m_hasShape = true;
    if (auto* randr = xcb_get_extension_data(m_conn, &xcb_randr_id); randr && randr->present) {
        m_randrEvent = randr->first_event;
        xcb_randr_select_input(m_conn, m_root,
                               XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                                   XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
    }

    // The root's substructure tells when other clients map or raise windows
    // (overlays are raised again when no window manager does it), its
    // properties when the work area or the window manager changes, its
    // structure when a system tray starts (MANAGER).
    const uint32_t rootEvents =
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &rootEvents);

    m_gc = xcb_generate_id(m_conn);
    xcb_create_gc(m_conn, m_gc, m_root, 0, nullptr);

    detectWindowManager();
    loadScreens();
    setUpKeyboard();
    setUpPointerMonitor();
    m_clipboard = std::make_unique<X11Clipboard>(
        m_conn, m_root, [this](const char* name) { return atom(name); },
        [this](xcb_generic_event_t* e) {
            if (!m_trayIcon || !m_trayIcon->handle(e)) handle(e);
        });
    m_clipboard->attach(client());
    xcb_flush(m_conn);

    auto loop = NSRunLoop::mainRunLoop();
    m_source = loop->addFileDescriptorSource(xcb_get_file_descriptor(m_conn), {NSRunLoopCommonModes},
                                             [this] { drainEvents(); });
    // After display (order 0): uploads are flushed, and events xcb read while
    // waiting for a reply (the descriptor no longer readable) are handled.
    m_observer = loop->addObserver(
        {NSRunLoopCommonModes}, [this] { endOfTurn(); }, 100);
}

X11WindowServer::~X11WindowServer()
{
    auto loop = NSRunLoop::mainRunLoop();
    if (m_source) loop->removeSource(m_source);
    if (m_observer) loop->removeSource(m_observer);
    if (m_keymapTimer) m_keymapTimer->invalidate();
    SymbolicHotKeys::setSuspensionHandler(nullptr);
    KeyState::setQuery(nullptr);
    setSuspended(false);
    m_trayIcon.reset();
    m_clipboard->detach(client());
    m_clipboard.reset();
    for (auto& [id, w] : m_windows) {
        w->unrealize();
        w->releaseBuffer();
    }
    m_windows.clear();
    m_keyboard.reset();
    if (m_conn) xcb_disconnect(m_conn);
}

X11WindowServer* X11WindowServer::current() { return dynamic_cast<X11WindowServer*>(&WindowServer::shared()); }

xcb_atom_t X11WindowServer::atom(const char* name)
{
    auto it = m_atoms.find(name);
    if (it != m_atoms.end()) return it->second;
    auto r =
        reply(xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(std::strlen(name)), name), nullptr));
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    m_atoms[name] = a;
    return a;
}

NSPoint X11WindowServer::pointFromX(int x, int y) const { return NSMakePoint(x - m_originX, m_top - y); }

NSRect X11WindowServer::rectFromX(int x, int y, int w, int h) const
{
    return NSMakeRect(x - m_originX, m_top - (y + h), w, h);
}

X11WindowServer::XRect X11WindowServer::rectToX(const NSRect& r) const
{
    // Bounded before rounding: far-off or invalid values must not overflow
    // on the way to 16 bits. The server takes no window wider or taller than
    // 32767, and no surface is made larger.
    auto whole = [](CGFloat v) { return std::isnan(v) ? 0 : int(std::lround(std::clamp<CGFloat>(v, -1e6, 1e6))); };
    const int w = std::clamp(whole(r.size.width), 1, 32767);
    const int h = std::clamp(whole(r.size.height), 1, 32767);
    const int x = whole(r.origin.x) + m_originX;
    const int y = m_top - whole(r.origin.y) - h;
    auto clamp16 = [](int v) { return int16_t(std::clamp(v, -32768, 32767)); };
    return {clamp16(x), clamp16(y), uint16_t(w), uint16_t(h)};
}

void X11WindowServer::drainEvents()
{
    if (m_lost) return;
    while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
        if (!m_clipboard->handle(e) && (!m_trayIcon || !m_trayIcon->handle(e))) handle(e);
        std::free(e);
    }
    if (m_rawMotion) notifyPointer();
    raiseOverlaysIfNoted();
    xcb_flush(m_conn);
    if (xcb_connection_has_error(m_conn)) connectionLost();
}

void X11WindowServer::endOfTurn()
{
    if (m_lost) return;
    xcb_flush(m_conn);
    while (xcb_generic_event_t* e = xcb_poll_for_queued_event(m_conn)) {
        if (!m_clipboard->handle(e) && (!m_trayIcon || !m_trayIcon->handle(e))) handle(e);
        std::free(e);
    }
    if (m_rawMotion) notifyPointer();
    raiseOverlaysIfNoted();
    xcb_flush(m_conn);
    if (xcb_connection_has_error(m_conn)) connectionLost();
}

void X11WindowServer::connectionLost()
{
    if (m_lost) return;
    m_lost = true;
    auto loop = NSRunLoop::mainRunLoop();
    // The descriptor stays readable (hung up): stop watching it.
    if (m_source) loop->removeSource(std::exchange(m_source, 0));
    NSLog("The connection to the X display was lost");
    // Quitting the normal way saves what the program keeps.
    loop->performBlock({NSRunLoopCommonModes}, [this] { client().quitRequested(); });
}
