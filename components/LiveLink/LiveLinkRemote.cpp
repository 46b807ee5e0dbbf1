#include "LiveLink/LiveLinkRemote.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"
#include "LiveLink/LiveLink.h"
#include "LiveLink/LiveLinkBus.h"

NS_CLASS_DEFINE(LiveLinkRemoteLink)
NS_CLASS_DEFINE(LiveLinkRemoteServer)

namespace {

std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : ""; }

}

Ref<LiveLinkRemoteLink> LiveLinkRemoteLink::linkAt(const std::string& owner, const std::string& path)
{
    auto link = NSObject::make<LiveLinkRemoteLink>();
    link->m_owner = owner;
    link->m_path = path;
    return link;
}

void LiveLinkRemoteLink::remoteCloseLink()
{
    if (auto* bus = LiveLinkBus::shared()) bus->sendRemoteClose(m_owner, m_path);
}

void LiveLinkRemoteLink::requestEditWithPasteboardName(const Ref<NSString>& name)
{
    std::string error;
    auto* bus = LiveLinkBus::shared();
    if (bus && !bus->callEdit(m_owner, m_path, false, text(name), error))
        NSLog("LiveLink: the edit request failed: %@", NSString::stringWithUTF8String(error));
}

void LiveLinkRemoteLink::refreshEditWithPasteboardName(const Ref<NSString>& name)
{
    std::string error;
    auto* bus = LiveLinkBus::shared();
    if (bus && !bus->callEdit(m_owner, m_path, true, text(name), error))
        NSLog("LiveLink: sending the edit failed: %@", NSString::stringWithUTF8String(error));
}

Ref<LiveLinkRemoteServer> LiveLinkRemoteServer::serverNamed(const std::string& busName)
{
    auto server = NSObject::make<LiveLinkRemoteServer>();
    server->m_busName = busName;
    return server;
}

Id LiveLinkRemoteServer::initiateLiveLinkFromClient(const Ref<LiveLink>& client)
{
    auto* bus = LiveLinkBus::shared();
    if (!bus || !client) return nullptr;
    const std::string clientPath = client->exportOnBus();
    if (clientPath.empty()) return nullptr;
    std::string owner, path, error;
    if (!bus->callInitiate(m_busName, text(client->sourceName()), text(client->sourceApplicationName()),
                           text(client->itemKey()), clientPath, owner, path, error)) {
        NSLog("LiveLink: the server did not make a link: %@", NSString::stringWithUTF8String(error));
        return nullptr;
    }
    return LiveLinkRemoteLink::linkAt(owner, path);
}
