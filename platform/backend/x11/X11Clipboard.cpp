#include "backend/x11/X11Clipboard.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "WindowServer/WindowServerClient.h"
#include "backend/x11/X11Reply.h"

namespace {

// The mirror of one selection: text on the pasteboard owns it. Gone with
// its pasteboard, it gives the selection up.
class SelectionMirror : public PasteboardMirror {
public:
    SelectionMirror(X11Clipboard& clipboard, xcb_atom_t selection)
        : m_clipboard(clipboard)
        , m_selection(selection)
    { }
    ~SelectionMirror() override { m_clipboard.disown(m_selection); }
    void publish(PasteboardSource& board) override
    {
        const auto types = board.types();
        if (std::find(types.begin(), types.end(), kPasteboardTypeUTF8Text) != types.end())
            m_clipboard.own(m_selection, board);
        else m_clipboard.disown(m_selection);
    }
    std::optional<std::vector<PasteboardItemData>> fetch() override { return m_clipboard.read(m_selection); }

private:
    X11Clipboard& m_clipboard;
    xcb_atom_t m_selection;
};

}

X11Clipboard::X11Clipboard(xcb_connection_t* connection, xcb_window_t root, AtomLookup atom, EventHandler otherEvent)
    : m_conn(connection)
    , m_atom(std::move(atom))
    , m_otherEvent(std::move(otherEvent))
{
    // An unmapped window of our own owns the selections and receives what
    // other clients send.
    m_window = xcb_generate_id(m_conn);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_conn, XCB_COPY_FROM_PARENT, m_window, root, -10, -10, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    // Chunks of a quarter of the largest request the server takes (its
    // length counts four-byte units).
    m_chunk = std::max<size_t>(4096, xcb_get_maximum_request_length(m_conn));
}

X11Clipboard::~X11Clipboard()
{
    if (m_window) xcb_destroy_window(m_conn, m_window);
}

void X11Clipboard::attach(WindowServerClient& client)
{
    client.pasteboardMirrorChanged(WSPasteboard::general,
                                   std::make_unique<SelectionMirror>(*this, m_atom("CLIPBOARD")));
    client.pasteboardMirrorChanged(WSPasteboard::selection, std::make_unique<SelectionMirror>(*this, XCB_ATOM_PRIMARY));
}

void X11Clipboard::detach(WindowServerClient& client)
{
    client.pasteboardMirrorChanged(WSPasteboard::general, nullptr);
    client.pasteboardMirrorChanged(WSPasteboard::selection, nullptr);
}

// --- Owning ---

void X11Clipboard::own(xcb_atom_t selection, PasteboardSource& board)
{
    m_owned[selection] = &board;
    xcb_set_selection_owner(m_conn, m_window, selection, XCB_CURRENT_TIME);
    xcb_flush(m_conn);
}

void X11Clipboard::disown(xcb_atom_t selection)
{
    if (!m_owned.erase(selection)) return;
    xcb_set_selection_owner(m_conn, XCB_NONE, selection, XCB_CURRENT_TIME);
    xcb_flush(m_conn);
}

bool X11Clipboard::handle(xcb_generic_event_t* event)
{
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_REQUEST: {
        auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
        if (request.owner != m_window) return false;
        answer(request);
        return true;
    }
    case XCB_SELECTION_CLEAR: {
        auto& clear = *reinterpret_cast<xcb_selection_clear_event_t*>(event);
        if (clear.owner != m_window) return false;
        // Another client copied: reads ask it from now on.
        m_owned.erase(clear.selection);
        return true;
    }
    case XCB_PROPERTY_NOTIFY: {
        auto& change = *reinterpret_cast<xcb_property_notify_event_t*>(event);
        if (change.window == m_window) return true;
        if (change.state != XCB_PROPERTY_DELETE) return false;
        for (const auto& o : m_outgoing)
            if (o.requestor == change.window && o.property == change.atom) {
                continueOutgoing(change.window, change.atom);
                return true;
            }
        return false;
    }
    default: return false;
    }
}

void X11Clipboard::answer(const xcb_selection_request_event_t& request)
{
    // Obsolete clients name no property: the target is used.
    xcb_atom_t property = request.property != XCB_NONE ? request.property : request.target;
    bool sent = m_owned.count(request.selection) && sendTarget(request, request.target, property);
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = sent ? property : XCB_NONE;
    xcb_send_event(m_conn, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
    xcb_flush(m_conn);
}

bool X11Clipboard::sendTarget(const xcb_selection_request_event_t& request, xcb_atom_t target, xcb_atom_t property)
{
    const xcb_atom_t utf8 = m_atom("UTF8_STRING"), plain = m_atom("text/plain;charset=utf-8");
    if (target == m_atom("TARGETS")) {
        const xcb_atom_t targets[] = {m_atom("TARGETS"), utf8, plain, XCB_ATOM_STRING, m_atom("TEXT")};
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
                            std::size(targets), targets);
        return true;
    }
    if (target != utf8 && target != plain && target != XCB_ATOM_STRING && target != m_atom("TEXT")) return false;
    auto data = m_owned[request.selection]->dataForType(kPasteboardTypeUTF8Text);
    if (!data) return false;
    const xcb_atom_t type = target == m_atom("TEXT") ? utf8 : target;
    std::string bytes = std::move(*data);
    if (bytes.size() <= m_chunk) {
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, request.requestor, property, type, 8,
                            static_cast<uint32_t>(bytes.size()), bytes.data());
        return true;
    }
    // Too large for one request: INCR, one chunk each time the requestor
    // deletes the property.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_conn, request.requestor, XCB_CW_EVENT_MASK, &events);
    const uint32_t size = static_cast<uint32_t>(std::min<size_t>(bytes.size(), UINT32_MAX));
    xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, request.requestor, property, m_atom("INCR"), 32, 1, &size);
    std::erase_if(m_outgoing,
                  [&](const Outgoing& o) { return o.requestor == request.requestor && o.property == property; });
    m_outgoing.push_back({request.requestor, property, type, std::move(bytes), 0});
    return true;
}

void X11Clipboard::continueOutgoing(xcb_window_t requestor, xcb_atom_t property)
{
    for (auto it = m_outgoing.begin(); it != m_outgoing.end(); ++it) {
        if (it->requestor != requestor || it->property != property) continue;
        const size_t n = std::min(m_chunk, it->data.size() - it->offset);
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, requestor, property, it->type, 8, static_cast<uint32_t>(n),
                            it->data.data() + it->offset);
        it->offset += n;
        // The empty chunk after the last one ends the transfer.
        if (n == 0) m_outgoing.erase(it);
        xcb_flush(m_conn);
        return;
    }
}

// --- Reading another client's selection ---

xcb_generic_event_t* X11Clipboard::waitFor(const std::function<bool(xcb_generic_event_t*)>& accept, int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
    xcb_flush(m_conn);
    while (true) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
            if (accept(e)) return e;
            // Requests for our own selections must be answered meanwhile.
            if (!handle(e)) m_otherEvent(e);
            std::free(e);
        }
        if (xcb_connection_has_error(m_conn)) return nullptr;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return nullptr;
        pollfd fd{xcb_get_file_descriptor(m_conn), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
    }
}

std::optional<std::string> X11Clipboard::readProperty(xcb_atom_t property, xcb_atom_t* type)
{
    std::string out;
    uint32_t offset = 0;
    while (true) {
        auto r = reply(xcb_get_property_reply(
            m_conn, xcb_get_property(m_conn, 0, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, offset, 1 << 20),
            nullptr));
        if (!r) return std::nullopt;
        if (type) *type = r->type;
        const int length = xcb_get_property_value_length(r.get());
        out.append(static_cast<const char*>(xcb_get_property_value(r.get())), static_cast<size_t>(length));
        offset += static_cast<uint32_t>(length) / 4;
        if (r->bytes_after == 0) break;
    }
    xcb_delete_property(m_conn, m_window, property);
    xcb_flush(m_conn);
    return out;
}

std::optional<std::vector<PasteboardItemData>> X11Clipboard::read(xcb_atom_t selection)
{
    // What we own is already in the pasteboard.
    if (m_owned.count(selection)) return std::nullopt;
    auto owner = reply(xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, selection), nullptr));
    std::vector<PasteboardItemData> nothing;
    if (!owner || owner->owner == XCB_NONE) return nothing;

    const xcb_atom_t property = m_atom("PLUMBLINE_SELECTION");
    xcb_delete_property(m_conn, m_window, property);
    xcb_convert_selection(m_conn, m_window, selection, m_atom("UTF8_STRING"), property, XCB_CURRENT_TIME);
    xcb_generic_event_t* e = waitFor(
        [&](xcb_generic_event_t* event) {
            if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) return false;
            auto& n = *reinterpret_cast<xcb_selection_notify_event_t*>(event);
            return n.requestor == m_window && n.selection == selection;
        },
        kTimeoutMilliseconds);
    if (!e) return nothing;
    const bool refused = reinterpret_cast<xcb_selection_notify_event_t*>(e)->property == XCB_NONE;
    std::free(e);
    if (refused) return nothing;

    xcb_atom_t type = XCB_NONE;
    auto data = readProperty(property, &type);
    if (!data) return nothing;
    if (type == m_atom("INCR")) {
        // Chunks follow, each announced by a new value of the property,
        // until an empty one; each must come within the time-out.
        data->clear();
        while (true) {
            xcb_generic_event_t* chunk = waitFor(
                [&](xcb_generic_event_t* event) {
                    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
                    auto& p = *reinterpret_cast<xcb_property_notify_event_t*>(event);
                    return p.window == m_window && p.atom == property && p.state == XCB_PROPERTY_NEW_VALUE;
                },
                kTimeoutMilliseconds);
            if (!chunk) return nothing;
            std::free(chunk);
            auto part = readProperty(property, nullptr);
            if (!part) return nothing;
            if (part->empty()) break;
            data->append(*part);
        }
    }
    return std::vector<PasteboardItemData>{{{kPasteboardTypeUTF8Text, std::move(*data)}}};
}
