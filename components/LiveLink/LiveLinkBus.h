#pragma once
// The D-Bus session bus as live links use it (sd-bus). The connection is a
// descriptor source of the main run loop, in the common modes, and every
// message that arrives, also while a call waits for its reply, is handled
// on the main thread.
//
// A published server owns a well-known name: one prefix, then
// "<bundle identifier>:<server name>" with each byte outside [A-Za-z0-9]
// (and a leading digit) written "_xx". Names are requested without
// queueing, so a taken name cannot be published. Servers and links are
// exported objects of one fixed interface carrying exactly four messages:
//   Initiate(s sourceName, s sourceApplicationName, s itemKey, o clientLink) -> o serverLink
//   RequestEdit(s pasteboardName), RefreshEdit(s pasteboardName)
//   RemoteCloseLink() (no reply)
// A link reference travels as the (unique name, object path) of its owner.
// Calls time out after 5 seconds.
#include <systemd/sd-bus.h>

#include <functional>
#include <map>
#include <string>

class LiveLinkBus {
public:
    static constexpr const char* kInterface = "org.plumbline.LiveLink1";
    static constexpr const char* kNamePrefix = "org.plumbline.LiveLink.";
    static constexpr uint64_t kCallTimeoutUsec = 5'000'000;

    // The process's connection; null when there is no session bus (logged
    // once).
    static LiveLinkBus* shared();

    // The well-known name of "<bundle identifier>:<server name>"; empty when
    // it is too long for a bus name.
    static std::string busNameFor(const std::string& registeredName);
    // Whether this connection now owns the name (NO when another has it).
    bool requestName(const std::string& busName);
    void releaseName(const std::string& busName);
    // Whether any connection owns the name now; ownerQueries counts the
    // questions (the tests see how often a wait asked).
    bool nameHasOwner(const std::string& busName);
    size_t ownerQueries() const { return m_ownerQueries; }
    const std::string& uniqueName() const { return m_uniqueName; }

    // The handlers an exported object offers; each answers an error text
    // to refuse (empty: done).
    struct InitiateRequest {
        std::string sender;  // the client's unique name
        std::string sourceName, sourceApplicationName, itemKey;
        std::string clientPath;
    };
    struct ServerHandlers {
        // Answers the server link's path; empty refuses.
        std::function<std::string(const InitiateRequest&)> initiate;
    };
    struct LinkHandlers {
        std::function<std::string(const std::string& pasteboardName)> requestEdit;
        std::function<std::string(const std::string& pasteboardName)> refreshEdit;
        std::function<void()> remoteClose;
    };
    // Exports at a new path; answers it (empty on failure). Unexport before
    // the handlers' object goes.
    std::string exportServer(const std::string& busName, ServerHandlers handlers);
    std::string exportLink(LinkHandlers handlers);
    void unexport(const std::string& path);

    // Calls on another connection's objects; false with the error text when
    // the call failed or timed out.
    bool callInitiate(const std::string& busName, const std::string& sourceName,
                      const std::string& sourceApplicationName, const std::string& itemKey,
                      const std::string& clientPath, std::string& serverOwner, std::string& serverPath,
                      std::string& error);
    bool callEdit(const std::string& owner, const std::string& path, bool refresh, const std::string& pasteboardName,
                  std::string& error);
    void sendRemoteClose(const std::string& owner, const std::string& path);

    // Told when a connection's unique name leaves the bus.
    using PeerGone = std::function<void(const std::string& uniqueName)>;
    void setPeerGoneHandler(PeerGone handler) { m_peerGone = std::move(handler); }

    // Handles every message already read (after a call's wait too).
    void dispatch();

    ~LiveLinkBus();

private:
    explicit LiveLinkBus(sd_bus* bus);
    struct Export;
    static int handleInitiate(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int handleRequestEdit(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int handleRefreshEdit(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int handleRemoteClose(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int handleEdit(sd_bus_message* m, Export* e, bool refresh, sd_bus_error* error);
    static int handleNameOwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error* error);
    void dispatchSoon();

    sd_bus* m_bus;
    std::string m_uniqueName;
    uint64_t m_source = 0;
    sd_bus_slot* m_ownerSlot = nullptr;
    uint64_t m_nextPath = 1;
    std::map<std::string, Export*> m_exports;
    PeerGone m_peerGone;
    bool m_dispatchScheduled = false;
    size_t m_ownerQueries = 0;
};
