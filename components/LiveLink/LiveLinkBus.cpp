#include "LiveLink/LiveLinkBus.h"

#include <cstdio>
#include <cstring>

#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"

namespace {

constexpr const char* kBasePath = "/org/plumbline/LiveLink";
constexpr const char* kRefusedError = "org.plumbline.LiveLink.Error.Refused";
constexpr size_t kMaximumBusNameLength = 255;

bool plain(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

}

struct LiveLinkBus::Export {
    LiveLinkBus* bus = nullptr;
    sd_bus_slot* slot = nullptr;
    ServerHandlers server;
    LinkHandlers link;
};

LiveLinkBus* LiveLinkBus::shared()
{
    static LiveLinkBus* bus = []() -> LiveLinkBus* {
        sd_bus* connection = nullptr;
        const int r = sd_bus_open_user(&connection);
        if (r < 0) {
            NSLog("LiveLink: no session bus (%s); servers cannot be published", std::strerror(-r));
            return nullptr;
        }
        return new LiveLinkBus(connection);
    }();
    return bus;
}

LiveLinkBus::LiveLinkBus(sd_bus* bus)
    : m_bus(bus)
{
    const char* unique = nullptr;
    if (sd_bus_get_unique_name(m_bus, &unique) >= 0 && unique) m_uniqueName = unique;
    sd_bus_match_signal(m_bus, &m_ownerSlot, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                        "NameOwnerChanged", handleNameOwnerChanged, this);
    m_source = NSRunLoop::mainRunLoop()->addFileDescriptorSource(sd_bus_get_fd(m_bus), {NSRunLoopCommonModes},
                                                                 [this] { dispatch(); });
    dispatchSoon();
}

LiveLinkBus::~LiveLinkBus()
{
    NSRunLoop::mainRunLoop()->removeSource(m_source);
    for (auto& [path, e] : m_exports) {
        sd_bus_slot_unref(e->slot);
        delete e;
    }
    sd_bus_slot_unref(m_ownerSlot);
    sd_bus_flush_close_unref(m_bus);
}

std::string LiveLinkBus::busNameFor(const std::string& registeredName)
{
    std::string name = kNamePrefix;
    for (size_t i = 0; i < registeredName.size(); ++i) {
        const auto c = static_cast<unsigned char>(registeredName[i]);
        if (plain(c) && !(i == 0 && c >= '0' && c <= '9')) {
            name += char(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "_%02x", c);
            name += escaped;
        }
    }
    if (registeredName.empty()) name += "_";
    return name.size() <= kMaximumBusNameLength ? name : std::string();
}

bool LiveLinkBus::requestName(const std::string& busName)
{
    // No queueing and no replacing: a name someone owns stays theirs.
    const int r = sd_bus_request_name(m_bus, busName.c_str(), 0);
    dispatchSoon();
    return r >= 0;
}

void LiveLinkBus::releaseName(const std::string& busName)
{
    sd_bus_release_name(m_bus, busName.c_str());
    dispatchSoon();
}

bool LiveLinkBus::nameHasOwner(const std::string& busName)
{
    ++m_ownerQueries;
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int has = 0;
    const int r = sd_bus_call_method(m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                     "NameHasOwner", &e, &reply, "s", busName.c_str());
    if (r >= 0) sd_bus_message_read(reply, "b", &has);
    sd_bus_error_free(&e);
    sd_bus_message_unref(reply);
    dispatchSoon();
    return r >= 0 && has;
}

void LiveLinkBus::dispatch()
{
    m_dispatchScheduled = false;
    while (sd_bus_process(m_bus, nullptr) > 0) { }
}

void LiveLinkBus::dispatchSoon()
{
    // Messages read while a call waited sit in the connection's queue and
    // leave the descriptor quiet: handle them on the next turn.
    if (m_dispatchScheduled) return;
    m_dispatchScheduled = true;
    NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [this] { dispatch(); });
}

// --- Exported objects ---

std::string LiveLinkBus::exportServer(const std::string& busName, ServerHandlers handlers)
{
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Initiate", "ssso", "o", handleInitiate, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END,
    };
    const std::string path = std::string(kBasePath) + "/server/" + busName.substr(std::string(kNamePrefix).size());
    auto* e = new Export{this, nullptr, std::move(handlers), {}};
    if (sd_bus_add_object_vtable(m_bus, &e->slot, path.c_str(), kInterface, vtable, e) < 0) {
        delete e;
        return {};
    }
    m_exports[path] = e;
    return path;
}

std::string LiveLinkBus::exportLink(LinkHandlers handlers)
{
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("RequestEdit", "s", "", handleRequestEdit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("RefreshEdit", "s", "", handleRefreshEdit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("RemoteCloseLink", "", "", handleRemoteClose,
                      SD_BUS_VTABLE_UNPRIVILEGED | SD_BUS_VTABLE_METHOD_NO_REPLY),
        SD_BUS_VTABLE_END,
    };
    const std::string path = std::string(kBasePath) + "/link/" + std::to_string(m_nextPath++);
    auto* e = new Export{this, nullptr, {}, std::move(handlers)};
    if (sd_bus_add_object_vtable(m_bus, &e->slot, path.c_str(), kInterface, vtable, e) < 0) {
        delete e;
        return {};
    }
    m_exports[path] = e;
    return path;
}

void LiveLinkBus::unexport(const std::string& path)
{
    auto it = m_exports.find(path);
    if (it == m_exports.end()) return;
    sd_bus_slot_unref(it->second->slot);
    delete it->second;
    m_exports.erase(it);
}

int LiveLinkBus::handleInitiate(sd_bus_message* m, void* userdata, sd_bus_error* error)
{
    auto* e = static_cast<Export*>(userdata);
    const char *sourceName = nullptr, *applicationName = nullptr, *itemKey = nullptr, *clientPath = nullptr;
    int r = sd_bus_message_read(m, "ssso", &sourceName, &applicationName, &itemKey, &clientPath);
    if (r < 0) return r;
    const char* sender = sd_bus_message_get_sender(m);
    if (!sender || !e->server.initiate) return sd_bus_error_set(error, kRefusedError, "No server");
    // The handler may reach back into the bus; copy everything first.
    const InitiateRequest request{sender, sourceName, applicationName, itemKey, clientPath};
    const std::string serverPath = e->server.initiate(request);
    if (serverPath.empty()) return sd_bus_error_set(error, kRefusedError, "The link was refused");
    return sd_bus_reply_method_return(m, "o", serverPath.c_str());
}

int LiveLinkBus::handleEdit(sd_bus_message* m, Export* e, bool refresh, sd_bus_error* error)
{
    const char* name = nullptr;
    int r = sd_bus_message_read(m, "s", &name);
    if (r < 0) return r;
    const auto& handler = refresh ? e->link.refreshEdit : e->link.requestEdit;
    const std::string refused = handler ? handler(name) : std::string("No link");
    if (!refused.empty()) return sd_bus_error_set(error, kRefusedError, refused.c_str());
    return sd_bus_reply_method_return(m, "");
}

int LiveLinkBus::handleRequestEdit(sd_bus_message* m, void* userdata, sd_bus_error* error)
{
    return handleEdit(m, static_cast<Export*>(userdata), false, error);
}

int LiveLinkBus::handleRefreshEdit(sd_bus_message* m, void* userdata, sd_bus_error* error)
{
    return handleEdit(m, static_cast<Export*>(userdata), true, error);
}

int LiveLinkBus::handleRemoteClose(sd_bus_message*, void* userdata, sd_bus_error*)
{
    auto* e = static_cast<Export*>(userdata);
    if (auto close = e->link.remoteClose) close();  // a copy: closing may unexport this object
    return 1;
}

int LiveLinkBus::handleNameOwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* bus = static_cast<LiveLinkBus*>(userdata);
    const char *name = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
    if (sd_bus_message_read(m, "sss", &name, &oldOwner, &newOwner) < 0) return 0;
    // A unique name that loses its owner is a connection that has gone.
    if (name && name[0] == ':' && newOwner && !*newOwner && bus->m_peerGone) bus->m_peerGone(name);
    return 0;
}

// --- Calls ---

bool LiveLinkBus::callInitiate(const std::string& busName, const std::string& sourceName,
                               const std::string& sourceApplicationName, const std::string& itemKey,
                               const std::string& clientPath, std::string& serverOwner, std::string& serverPath,
                               std::string& error)
{
    const std::string objectPath =
        std::string(kBasePath) + "/server/" + busName.substr(std::string(kNamePrefix).size());
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error e = SD_BUS_ERROR_NULL;
    bool ok = sd_bus_message_new_method_call(m_bus, &call, busName.c_str(), objectPath.c_str(), kInterface,
                                             "Initiate") >= 0 &&
              sd_bus_message_append(call, "ssso", sourceName.c_str(), sourceApplicationName.c_str(), itemKey.c_str(),
                                    clientPath.c_str()) >= 0 &&
              sd_bus_call(m_bus, call, kCallTimeoutUsec, &e, &reply) >= 0;
    const char* path = nullptr;
    if (ok) ok = sd_bus_message_read(reply, "o", &path) >= 0 && path;
    if (ok) {
        serverPath = path;
        const char* sender = sd_bus_message_get_sender(reply);
        serverOwner = sender ? sender : "";
        ok = !serverOwner.empty();
    } else {
        error = e.message ? e.message : "The server did not answer";
    }
    sd_bus_error_free(&e);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    dispatchSoon();
    return ok;
}

bool LiveLinkBus::callEdit(const std::string& owner, const std::string& path, bool refresh,
                           const std::string& pasteboardName, std::string& error)
{
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int r = sd_bus_call_method(m_bus, owner.c_str(), path.c_str(), kInterface,
                                     refresh ? "RefreshEdit" : "RequestEdit", &e, &reply, "s", pasteboardName.c_str());
    if (r < 0) error = e.message ? e.message : "The peer did not answer";
    sd_bus_error_free(&e);
    sd_bus_message_unref(reply);
    dispatchSoon();
    return r >= 0;
}

void LiveLinkBus::sendRemoteClose(const std::string& owner, const std::string& path)
{
    sd_bus_message* call = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &call, owner.c_str(), path.c_str(), kInterface, "RemoteCloseLink") >= 0) {
        sd_bus_message_set_expect_reply(call, 0);
        sd_bus_send(m_bus, call, nullptr);
        sd_bus_flush(m_bus);
    }
    sd_bus_message_unref(call);
}
