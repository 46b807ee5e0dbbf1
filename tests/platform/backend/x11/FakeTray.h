#pragma once
// A system tray stand-in for tests on a private X server: it docks the
// icons that ask (XEmbed), on its own connection to $DISPLAY.
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

// A system tray as far as docking goes, on its own connection: owns the
// selection, hears dock requests and embeds the icon it is asked to take,
// keeping it in its save-set as trays do.
class FakeTray {
public:
    FakeTray()
        : m_conn(xcb_connect(nullptr, nullptr))
    {
        xcb_connection_t* conn = m_conn;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
        m_root = screen->root;
        m_window = xcb_generate_id(conn);
        const uint32_t values[] = {screen->white_pixel, 1};
        xcb_create_window(conn, XCB_COPY_FROM_PARENT, m_window, m_root, 1200, 760, 24, 24, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(conn, m_window);
        m_selection = atom("_NET_SYSTEM_TRAY_S0");
        xcb_set_selection_owner(conn, m_window, m_selection, XCB_CURRENT_TIME);
        // A round trip: the server owns up to the tray before anyone asks.
        std::free(xcb_get_selection_owner_reply(conn, xcb_get_selection_owner(conn, m_selection), nullptr));
    }
    ~FakeTray() { close(); }

    xcb_atom_t atom(const char* name)
    {
        auto* r = xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        std::free(r);
        return a;
    }
    // What a starting tray tells the clients on the root.
    void announce()
    {
        xcb_client_message_event_t m{};
        m.response_type = XCB_CLIENT_MESSAGE;
        m.format = 32;
        m.window = m_root;
        m.type = atom("MANAGER");
        m.data.data32[0] = XCB_CURRENT_TIME;
        m.data.data32[1] = m_selection;
        m.data.data32[2] = m_window;
        xcb_send_event(m_conn, 0, m_root, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&m));
        xcb_flush(m_conn);
    }
    // The icon of the last dock request read, embedded at the tray's corner;
    // 0 while none came.
    xcb_window_t takeDockRequest()
    {
        const xcb_atom_t opcode = atom("_NET_SYSTEM_TRAY_OPCODE");
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
            if ((e->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
                const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
                if (m->type == opcode && m->data.data32[1] == 0) m_icon = m->data.data32[2];
            }
            std::free(e);
        }
        if (!m_icon || m_embedded == m_icon) return m_icon;
        m_embedded = m_icon;
        xcb_reparent_window(m_conn, m_icon, m_window, 0, 0);
        const uint32_t size[] = {24, 24};
        xcb_configure_window(m_conn, m_icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        xcb_change_save_set(m_conn, XCB_SET_MODE_INSERT, m_icon);
        xcb_map_window(m_conn, m_icon);
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));  // done before a click
        return m_icon;
    }
    // The tray quits: the server hands the icon back to the root.
    void close()
    {
        if (!m_conn) return;
        xcb_disconnect(m_conn);
        m_conn = nullptr;
    }

private:
    xcb_connection_t* m_conn;
    xcb_window_t m_root = 0, m_window = 0, m_icon = 0, m_embedded = 0;
    xcb_atom_t m_selection = 0;
};
