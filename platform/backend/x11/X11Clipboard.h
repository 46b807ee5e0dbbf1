#pragma once
// The general pasteboard as the CLIPBOARD selection and the selection
// pasteboard as PRIMARY. Copying takes ownership of the selection; other
// clients then ask for TARGETS, UTF8_STRING or text/plain;charset=utf-8 and
// get the text, large texts in INCR chunks. Pasting while another client
// owns the selection asks it for UTF8_STRING (INCR understood) and waits at
// most a second; an owner that never answers gives nothing.
#include <xcb/xcb.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "WindowServer/PasteboardMirror.h"

class WindowServerClient;

class X11Clipboard {
public:
    using AtomLookup = std::function<xcb_atom_t(const char*)>;
    // Events met while waiting for another client's answer go to the
    // server's handler.
    using EventHandler = std::function<void(xcb_generic_event_t*)>;

    X11Clipboard(xcb_connection_t* connection, xcb_window_t root, AtomLookup atom, EventHandler otherEvent);
    ~X11Clipboard();

    // Mirrors the general and selection pasteboards onto CLIPBOARD and
    // PRIMARY (the client installs the mirrors); detach before the
    // clipboard goes away.
    void attach(WindowServerClient& client);
    void detach(WindowServerClient& client);

    // Handles selection requests, clears and property changes of transfers;
    // false for events that are not the clipboard's.
    bool handle(xcb_generic_event_t* event);

    // Publishing and reading for one selection (the mirrors call these).
    void own(xcb_atom_t selection, PasteboardSource& board);
    void disown(xcb_atom_t selection);
    std::optional<std::vector<PasteboardItemData>> read(xcb_atom_t selection);

    // How long another client may take to answer.
    static constexpr int kTimeoutMilliseconds = 1000;

private:
    struct Outgoing {
        xcb_window_t requestor;
        xcb_atom_t property, type;
        std::string data;
        size_t offset = 0;
    };
    void answer(const xcb_selection_request_event_t& request);
    bool sendTarget(const xcb_selection_request_event_t& request, xcb_atom_t target, xcb_atom_t property);
    void continueOutgoing(xcb_window_t requestor, xcb_atom_t property);
    // Waits for an event the predicate accepts, handing others on; null
    // after the time-out.
    xcb_generic_event_t* waitFor(const std::function<bool(xcb_generic_event_t*)>& accept, int milliseconds);
    std::optional<std::string> readProperty(xcb_atom_t property, xcb_atom_t* type);

    xcb_connection_t* m_conn;
    xcb_window_t m_window = 0;
    AtomLookup m_atom;
    EventHandler m_otherEvent;
    // The pasteboard each owned selection serves.
    std::map<xcb_atom_t, PasteboardSource*> m_owned;
    std::vector<Outgoing> m_outgoing;
    size_t m_chunk = 0;
};
