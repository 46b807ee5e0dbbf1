#include "backend/x11/X11TrayIcon.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/NSRunLoop.h"
#include "backend/x11/X11Window.h"
#include "backend/x11/X11WindowServer.h"

namespace {

constexpr uint32_t kSystemTrayRequestDock = 0;
constexpr uint32_t kXEmbedMapped = 1;

// The events AppKit runs in answer start nested loops (a menu's tracking):
// they run from the run loop, not from inside the event handler.
void performSoon(std::function<void()> block)
{
    NSRunLoop::mainRunLoop()->performBlock({NSDefaultRunLoopMode, NSModalPanelRunLoopMode}, std::move(block));
}

}

X11TrayIcon::X11TrayIcon(xcb_connection_t* connection, const xcb_screen_t* screen, int screenNumber, AtomLookup atom,
                         ToGlobal toGlobal, WindowServerClient& client)
    : m_conn(connection)
    , m_screen(screen)
    , m_atom(std::move(atom))
    , m_toGlobal(std::move(toGlobal))
    , m_client(client)
{
    m_selection = m_atom(("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber)).c_str());
}

X11TrayIcon::~X11TrayIcon() { destroyWindow(); }

void X11TrayIcon::destroyWindow()
{
    if (m_gc) xcb_free_gc(m_conn, m_gc);
    if (m_window) xcb_destroy_window(m_conn, m_window);
    m_gc = 0;
    m_window = 0;
}

xcb_window_t X11TrayIcon::trayOwner()
{
    auto* r = xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, m_selection), nullptr);
    const xcb_window_t owner = r ? r->owner : 0;
    std::free(r);
    return owner;
}

void X11TrayIcon::createWindow()
{
    m_window = xcb_generate_id(m_conn);
    const uint32_t values[] = {m_screen->black_pixel, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                                          XCB_EVENT_MASK_BUTTON_RELEASE |
                                                          XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_window, m_screen->root, 0, 0, m_width, m_height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    m_gc = xcb_generate_id(m_conn);
    xcb_create_gc(m_conn, m_gc, m_window, 0, nullptr);
    const std::string& name = X11WindowServer::programName();
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        uint32_t(name.size()), name.data());
    const std::string wmClass = std::string("trayicon") + '\0' + name + '\0';
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        uint32_t(wmClass.size()), wmClass.data());
    // XEmbed version 0; the embedder maps the icon.
    const uint32_t info[2] = {0, kXEmbedMapped};
    const xcb_atom_t xembedInfo = m_atom("_XEMBED_INFO");
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, m_window, xembedInfo, xembedInfo, 32, 2, info);
}

bool X11TrayIcon::dock()
{
    m_wanted = true;
    if (m_manager) return true;
    const xcb_window_t owner = trayOwner();
    if (!owner) return false;
    if (!m_window) createWindow();
    // Told when the tray goes away. A tray gone since it was asked for would
    // never tell, and the next one's announcement would be ignored.
    const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (xcb_generic_error_t* error = xcb_request_check(
            m_conn, xcb_change_window_attributes_checked(m_conn, owner, XCB_CW_EVENT_MASK, &events))) {
        std::free(error);
        return false;
    }
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = owner;
    m.type = m_atom("_NET_SYSTEM_TRAY_OPCODE");
    m.data.data32[0] = XCB_CURRENT_TIME;
    m.data.data32[1] = kSystemTrayRequestDock;
    m.data.data32[2] = m_window;
    xcb_send_event(m_conn, 0, owner, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&m));
    xcb_flush(m_conn);
    m_manager = owner;
    return true;
}

void X11TrayIcon::setPicture(const Ref<CGImage>& picture)
{
    m_picture = picture;
    draw();
}

void X11TrayIcon::draw()
{
    if (!m_window) return;
    xcb_clear_area(m_conn, 0, m_window, 0, 0, 0, 0);
    if (m_picture && m_picture->width() && m_picture->height() && m_screen->root_depth == 24) {
        // Scaled into the server's 32-bit pixels of a 24-bit visual.
        cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_RGB24, m_width, m_height);
        cairo_t* cr = cairo_create(pixels);
        cairo_scale(cr, double(m_width) / double(m_picture->width()), double(m_height) / double(m_picture->height()));
        cairo_set_source_surface(cr, m_picture->surface(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(pixels);
        const int stride = cairo_image_surface_get_stride(pixels);
        xcb_put_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_gc, m_width, m_height, 0, 0, 0, 24,
                      uint32_t(stride * m_height), cairo_image_surface_get_data(pixels));
        cairo_surface_destroy(pixels);
    }
    xcb_flush(m_conn);
}

void X11TrayIcon::menuBarChanged()
{
    performSoon([&client = m_client] { client.dockIconHostChanged(); });
}

bool X11TrayIcon::handle(const xcb_generic_event_t* event)
{
    const uint8_t type = event->response_type & 0x7F;
    switch (type) {
    case XCB_CLIENT_MESSAGE: {
        const auto& e = *reinterpret_cast<const xcb_client_message_event_t*>(event);
        // A tray announces itself: MANAGER with its selection.
        if (e.type != m_atom("MANAGER") || e.data.data32[1] != m_selection) return false;
        if (m_wanted && !m_manager) menuBarChanged();
        return true;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& e = *reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        if (m_manager && e.window == m_manager) {
            // A tray that kept the icon in its save-set hands it to the root
            // as a stray window: it goes, and a new one is made for the next
            // tray.
            m_manager = 0;
            destroyWindow();
            menuBarChanged();
            return true;
        }
        if (m_window && e.window == m_window) {
            // Destroyed with a tray that did not keep it: made again when needed.
            xcb_free_gc(m_conn, m_gc);
            m_gc = 0;
            m_window = 0;
            return true;
        }
        return false;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const auto& e = *reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if (!m_window || e.window != m_window) return false;
        m_width = std::max<uint16_t>(1, e.width);
        m_height = std::max<uint16_t>(1, e.height);
        draw();
        return true;
    }
    case XCB_EXPOSE: {
        const auto& e = *reinterpret_cast<const xcb_expose_event_t*>(event);
        if (!m_window || e.window != m_window) return false;
        if (e.count == 0) draw();
        return true;
    }
    case XCB_BUTTON_PRESS: {
        const auto& e = *reinterpret_cast<const xcb_button_press_event_t*>(event);
        if (!m_window || e.event != m_window) return false;
        if (e.detail == 1 || e.detail == 3) {
            const NSPoint at = m_toGlobal(e.root_x, e.root_y);
            performSoon([&client = m_client, at] { client.dockMenuRequested(at); });
        }
        return true;
    }
    case XCB_BUTTON_RELEASE:
    case XCB_REPARENT_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY: {
        // Events of the icon's own window that nobody else reads.
        const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
        if (type == XCB_BUTTON_RELEASE) return m_window && e->event == m_window;
        const auto* s = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        return m_window && s->event == m_window;
    }
    default: return false;
    }
}

// --- The server's side ---

bool X11WindowServer::showDockIcon(const Ref<CGImage>& picture)
{
    if (m_lost) return false;
    if (!m_trayIcon)
        m_trayIcon = std::make_unique<X11TrayIcon>(
            m_conn, m_screen, m_screenNumber, [this](const char* name) { return atom(name); },
            [this](int x, int y) { return pointFromX(x, y); }, client());
    m_trayIcon->setPicture(picture);
    return m_trayIcon->dock();
}

void X11WindowServer::removeDockIcon()
{
    if (!m_trayIcon) return;
    m_trayIcon.reset();
    if (!m_lost) xcb_flush(m_conn);
}

void X11WindowServer::applyActivationPolicy()
{
    if (m_lost) return;
    for (auto& [id, w] : m_windows) {
        if (!w->xid) continue;
        // A mapped window's state belongs to the window manager: ask it.
        if (w->mapped && m_wmRunning) {
            w->sendListing();
        } else {
            w->applyHints();
        }
    }
    xcb_flush(m_conn);
}
