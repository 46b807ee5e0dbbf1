#pragma once
// Stand-ins for a link and a server of another process, reached over the
// session bus by their owner's unique name and object path.
#include <string>

#include "LiveLink/LiveLinkEndpoints.h"

class LiveLinkRemoteLink : public NSObject, public LiveLinkEndpoint {
    NS_OBJECT(LiveLinkRemoteLink, NSObject)
protected:
    LiveLinkRemoteLink() = default;

public:
    static Ref<LiveLinkRemoteLink> linkAt(const std::string& owner, const std::string& path);
    const std::string& owner() const { return m_owner; }

    void remoteCloseLink() override;
    // A refused or failed request is logged; the link stays.
    void requestEditWithPasteboardName(const Ref<NSString>& name) override;
    void refreshEditWithPasteboardName(const Ref<NSString>& name) override;

private:
    std::string m_owner, m_path;
};

class LiveLinkRemoteServer : public NSObject, public LiveLinkServerEndpoint {
    NS_OBJECT(LiveLinkRemoteServer, NSObject)
protected:
    LiveLinkRemoteServer() = default;

public:
    static Ref<LiveLinkRemoteServer> serverNamed(const std::string& busName);
    // Exports the client link and asks the server for its side: a
    // LiveLinkRemoteLink, or nil when the server refused or did not answer.
    Id initiateLiveLinkFromClient(const Ref<LiveLink>& client) override;

private:
    std::string m_busName;
};
