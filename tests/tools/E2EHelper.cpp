// A small X client the end-to-end tests put next to Plumbline:
//   e2e-helper root <rrggbb>
//       sets the root window's background (also for a compositor) and exits.
//   e2e-helper window <x> <y> <width> <height> <rrggbb> <log file>
//       maps a plain window of that colour, takes the input focus and appends
//       one line to the log for each event it receives:
//         ready <window id>
//         click <button> <x> <y> <root x> <root y>
//         key <keycode> <state>
//       It runs until it is killed; every line is flushed as it is written.
//   e2e-helper grabkey <keycode> <modifier mask> <log file>
//       holds a passive grab of the key with exactly those X modifiers on the
//       root window, as another program's global shortcut would; writes
//       "holding" (or "refused") to the log and runs until it is killed.
//   e2e-helper trygrab
//       tries to grab the whole keyboard once, prints "grabbed" or
//       "refused <status>" and exits 0 or 3 (the grab is let go at once).
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
uint32_t parseColor(const char* text) { return uint32_t(std::strtoul(text, nullptr, 16)) & 0xffffffu; }

int usage(const char* self)
{
    std::fprintf(stderr,
                 "usage: %s root <rrggbb> | window <x> <y> <width> <height> <rrggbb> <log> |\n"
                 "       grabkey <keycode> <mask> <log> | trygrab\n",
                 self);
    return 2;
}

xcb_atom_t atom(xcb_connection_t* conn, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

// As xsetroot does: a one-pixel pixmap kept after this client exits, named in
// the root properties a compositor paints the background from.
int paintRoot(xcb_connection_t* conn, xcb_screen_t* screen, uint32_t color)
{
    const xcb_pixmap_t pixmap = xcb_generate_id(conn);
    xcb_create_pixmap(conn, screen->root_depth, pixmap, screen->root, 1, 1);
    const xcb_gcontext_t gc = xcb_generate_id(conn);
    xcb_create_gc(conn, gc, pixmap, XCB_GC_FOREGROUND, &color);
    const xcb_rectangle_t all = {0, 0, 1, 1};
    xcb_poly_fill_rectangle(conn, pixmap, gc, 1, &all);
    xcb_free_gc(conn, gc);
    xcb_change_window_attributes(conn, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
    for (const char* name : {"_XROOTPMAP_ID", "_XSETROOT_ID"})
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, screen->root, atom(conn, name), XCB_ATOM_PIXMAP, 32, 1,
                            &pixmap);
    xcb_clear_area(conn, 0, screen->root, 0, 0, 0, 0);
    xcb_set_close_down_mode(conn, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    // Round trip so the change is done before the caller goes on.
    free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
    return 0;
}

int runWindow(xcb_connection_t* conn, xcb_screen_t* screen, char** argv)
{
    FILE* log = std::fopen(argv[7], "a");
    if (!log) {
        std::perror(argv[7]);
        return 1;
    }
    const xcb_window_t window = xcb_generate_id(conn);
    const uint32_t values[] = {parseColor(argv[6]), XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_KEY_PRESS |
                                                        XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, window, screen->root, int16_t(std::atoi(argv[2])),
                      int16_t(std::atoi(argv[3])), uint16_t(std::atoi(argv[4])), uint16_t(std::atoi(argv[5])), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    const std::string name = "e2e-helper";
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        uint32_t(name.size()), name.data());
    xcb_map_window(conn, window);
    xcb_flush(conn);

    while (xcb_generic_event_t* event = xcb_wait_for_event(conn)) {
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            // Focus can only go to a viewable window, so it is taken once mapped.
            xcb_set_input_focus(conn, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
            free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
            std::fprintf(log, "ready %u\n", window);
            break;
        case XCB_BUTTON_PRESS: {
            auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
            std::fprintf(log, "click %d %d %d %d %d\n", press->detail, press->event_x, press->event_y, press->root_x,
                         press->root_y);
            break;
        }
        case XCB_KEY_PRESS: {
            auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
            std::fprintf(log, "key %d %d\n", press->detail, press->state);
            break;
        }
        default: break;
        }
        std::fflush(log);
        free(event);
    }
    std::fclose(log);
    return 0;
}
int holdKey(xcb_connection_t* conn, xcb_screen_t* screen, char** argv)
{
    FILE* log = std::fopen(argv[4], "a");
    if (!log) {
        std::perror(argv[4]);
        return 1;
    }
    const auto keycode = xcb_keycode_t(std::atoi(argv[2]));
    const auto mask = uint16_t(std::strtoul(argv[3], nullptr, 0));
    xcb_generic_error_t* error = xcb_request_check(
        conn, xcb_grab_key_checked(conn, 1, screen->root, mask, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::fprintf(log, error ? "refused\n" : "holding\n");
    std::fflush(log);
    const int status = error ? 1 : 0;
    free(error);
    if (status == 0)
        while (xcb_generic_event_t* event = xcb_wait_for_event(conn)) free(event);
    std::fclose(log);
    return status;
}

int tryGrabKeyboard(xcb_connection_t* conn, xcb_screen_t* screen)
{
    xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(
        conn, xcb_grab_keyboard(conn, 0, screen->root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr);
    const int status = reply ? reply->status : -1;
    free(reply);
    if (status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_keyboard(conn, XCB_CURRENT_TIME);
        xcb_flush(conn);
        std::printf("grabbed\n");
        return 0;
    }
    std::printf("refused %d\n", status);
    return 3;
}
}  // namespace

int main(int argc, char** argv)
{
    const bool root = argc == 3 && std::strcmp(argv[1], "root") == 0;
    const bool window = argc == 8 && std::strcmp(argv[1], "window") == 0;
    const bool grabKey = argc == 5 && std::strcmp(argv[1], "grabkey") == 0;
    const bool tryGrab = argc == 2 && std::strcmp(argv[1], "trygrab") == 0;
    if (!root && !window && !grabKey && !tryGrab) return usage(argv[0]);
    int screenNumber = 0;
    xcb_connection_t* conn = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "cannot open the display\n");
        xcb_disconnect(conn);
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    int status = 0;
    if (root) status = paintRoot(conn, it.data, parseColor(argv[2]));
    else if (window) status = runWindow(conn, it.data, argv);
    else if (grabKey) status = holdKey(conn, it.data, argv);
    else status = tryGrabKeyboard(conn, it.data);
    xcb_disconnect(conn);
    return status;
}
