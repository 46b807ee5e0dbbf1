#include "LiveLink/LiveLink.h"

#include <map>
#include <regex>

#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSProcessInfo.h"
#include "Foundation/NSRunLoop.h"
#include "LiveLink/LiveLinkBus.h"
#include "LiveLink/LiveLinkRemote.h"
#include "LiveLink/LiveLinkServer.h"
#include "LiveLink/NSDictionary+LiveLinkData.h"

NS_CLASS_DEFINE(LiveLink)

namespace {

// The active links by item key; the registry owns them. Main thread only.
std::map<std::string, Ref<LiveLink>>& activeLinks()
{
    static auto* links = new std::map<std::string, Ref<LiveLink>>();
    return *links;
}

std::string text(const Ref<NSString>& s) { return s ? s->UTF8String() : ""; }

Ref<NSString> copyOf(const Ref<NSString>& s) { return s ? dynamic_ref_cast<NSString>(s->copy()) : nullptr; }

void raiseNotConnected()
{
    NSException::raise(NSGenericException, "tried to request edit from a live link not connect to a server.");
}

}

LiveLink::~LiveLink()
{
    if (!m_busPath.empty())
        if (auto* bus = LiveLinkBus::shared()) bus->unexport(m_busPath);
    if (!m_isServer && m_pboard) m_pboard->releaseGlobally();
}

bool LiveLink::publishServerWithName(const Ref<NSString>& name, const Id& delegate)
{
    return LiveLinkServer::publishServerWithName(name, delegate);
}

void LiveLink::retractServerWithName(const Ref<NSString>& name)
{
    if (auto server = LiveLinkServer::LiveLinkServerWithName(name)) server->retract();
}

Ref<LiveLink> LiveLink::activeLiveLinkForItemKey(const Ref<NSString>& key)
{
    auto it = activeLinks().find(text(key));
    return it == activeLinks().end() ? nullptr : it->second;
}

Ref<LiveLink> LiveLink::editLiveLinkData(const Id& data, const Ref<NSString>& sourceName, const Id& delegate,
                                         const Ref<NSString>& itemKey)
{
    auto link = activeLiveLinkForItemKey(itemKey);
    auto dictionary = dynamic_ref_cast<NSDictionary>(data);
    if (!link) {
        auto serverName = dictionary ? dynamic_ref_cast<NSString>(dictionary->objectForKey("serverName"_ns)) : nullptr;
        auto bundleId = dictionary ? dynamic_ref_cast<NSString>(dictionary->objectForKey("bundleId"_ns)) : nullptr;
        // Data without an application URL is editable: the not-found alert
        // then offers no download.
        if (!serverName || !bundleId) {
            auto description = data ? data->description() : "(null)"_ns;
            NSException::raise(NSInvalidArgumentException,
                               "LiveLinkData is not of the correct format: " + description->UTF8String());
        }
        link = alloc<LiveLink>()->initClientWithSourceName(sourceName, delegate, itemKey);
        if (!link->connectToServerWithName(serverName, bundleId, LiveLinkData::liveLinkApplicationURL(dictionary),
                                           LiveLinkData::liveLinkSourceApplicationName(dictionary)))
            return nullptr;
    }
    link->m_pboard->declareTypes(NSArray::arrayWithObjects({LiveLinkDataPboardType}), link);
    link->m_pboard->setPropertyList(data, LiveLinkDataPboardType);
    link->requestEdit();
    return link;
}

Ref<LiveLink> LiveLink::initServerWithClient(const Id& client, const Ref<NSString>& sourceName,
                                             const Ref<NSString>& sourceApplicationName, const Ref<NSString>& itemKey,
                                             const Id& delegate)
{
    m_peer = client;
    m_isServer = true;
    m_delegate = delegate;
    m_sourceName = copyOf(sourceName);
    m_sourceApplicationName = copyOf(sourceApplicationName);
    m_key = copyOf(itemKey);
    m_connected = true;
    activeLinks()[text(m_key)] = this;
    return this;
}

Ref<LiveLink> LiveLink::initClientWithSourceName(const Ref<NSString>& sourceName, const Id& delegate,
                                                 const Ref<NSString>& itemKey)
{
    m_isServer = false;
    m_delegate = delegate;
    m_sourceName = copyOf(sourceName);
    m_sourceApplicationName = NSProcessInfo::processInfo()->processName();
    m_pboard = NSPasteboard::pasteboardWithUniqueName();
    m_key = copyOf(itemKey);
    return this;
}

bool LiveLink::connectToServerWithName(const Ref<NSString>& name, const Ref<NSString>& bundleIdentifier,
                                       const Ref<NSURL>& fallbackURL, const Ref<NSString>& appName)
{
    Id server = LiveLinkServer::LiveLinkServerWithName(name, bundleIdentifier, true, fallbackURL, appName);
    auto* endpoint = dynamic_cast<LiveLinkServerEndpoint*>(server.get());
    if (!endpoint) return false;
    Id peer = endpoint->initiateLiveLinkFromClient(this);
    if (!dynamic_cast<LiveLinkEndpoint*>(peer.get())) return false;
    m_peer = peer;
    m_connected = true;
    activeLinks()[text(m_key)] = this;
    return true;
}

LiveLinkEndpoint* LiveLink::peer() const { return dynamic_cast<LiveLinkEndpoint*>(m_peer.get()); }

void LiveLink::requestEdit()
{
    if (m_closed) return;
    auto* far = peer();
    if (!far) raiseNotConnected();
    far->requestEditWithPasteboardName(m_pboard ? m_pboard->name() : nullptr);
}

void LiveLink::sendEdit()
{
    if (m_closed) return;
    auto* far = peer();
    if (!far) raiseNotConnected();
    far->refreshEditWithPasteboardName(m_pboard ? m_pboard->name() : nullptr);
}

void LiveLink::dropPeer()
{
    m_peer = nullptr;
    m_closed = true;
    if (!m_busPath.empty()) {
        if (auto* bus = LiveLinkBus::shared()) bus->unexport(m_busPath);
        m_busPath.clear();
    }
    // The registry may hold the last reference: keep the link alive to the
    // end of this call.
    Ref<LiveLink> self(this);
    auto it = activeLinks().find(text(m_key));
    if (it != activeLinks().end() && it->second.get() == this) activeLinks().erase(it);
}

void LiveLink::closeLink()
{
    auto* far = peer();
    if (!far) return;
    Ref<LiveLink> self(this);
    Id keep = m_peer;
    dropPeer();
    far->remoteCloseLink();
}

void LiveLink::remoteCloseLink()
{
    Ref<LiveLink> self(this);
    if (m_peer) dropPeer();
    notifyDelegate(&LiveLinkDelegate::liveLinkDidClose);
}

bool LiveLink::isLinkPasteboardName(const std::string& name)
{
    // The shape of NSProcessInfo's globally unique strings, which
    // pasteboardWithUniqueName uses.
    static const std::regex unique(
        "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}-[0-9]+-[0-9A-F]{16}");
    return std::regex_match(name, unique);
}

void LiveLink::usePasteboardNamed(const Ref<NSString>& name)
{
    if (!name) return;
    if (!m_pboard || !m_pboard->name()->isEqualToString(name)) m_pboard = NSPasteboard::pasteboardWithName(name);
}

void LiveLink::requestEditWithPasteboardName(const Ref<NSString>& name)
{
    if (m_closed) return;
    usePasteboardNamed(name);
    notifyDelegate(&LiveLinkDelegate::liveLinkClientDidRequestEdit);
}

void LiveLink::refreshEditWithPasteboardName(const Ref<NSString>& name)
{
    if (m_closed) return;
    usePasteboardNamed(name);
    notifyDelegate(&LiveLinkDelegate::liveLinkServerDidSendEdit);
}

void LiveLink::notifyDelegate(void (LiveLinkDelegate::*notice)(const Ref<LiveLink>&))
{
    // Always on the main thread and never within the caller's turn.
    Ref<LiveLink> self(this);
    NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [self, notice] {
        if (auto* delegate = dynamic_cast<LiveLinkDelegate*>(self->delegate().get())) (delegate->*notice)(self);
    });
}

std::string LiveLink::exportOnBus()
{
    if (!m_busPath.empty() || m_closed) return m_busPath;
    auto* bus = LiveLinkBus::shared();
    if (!bus) return {};
    Weak<LiveLink> weak(this);
    LiveLinkBus::LinkHandlers handlers;
    // A remote request may name only a pasteboard made for links.
    auto edit = [weak](bool refresh) {
        return [weak, refresh](const std::string& name) -> std::string {
            if (!isLinkPasteboardName(name)) return "Only link pasteboards can be named";
            auto link = weak.get();
            if (!link) return "The link is closed";
            auto pasteboardName = NSString::stringWithUTF8String(name);
            if (refresh) link->refreshEditWithPasteboardName(pasteboardName);
            else link->requestEditWithPasteboardName(pasteboardName);
            return {};
        };
    };
    handlers.requestEdit = edit(false);
    handlers.refreshEdit = edit(true);
    handlers.remoteClose = [weak] {
        // After the bus call returns: closing unexports the object.
        NSRunLoop::mainRunLoop()->performBlock({NSRunLoopCommonModes}, [weak] {
            if (auto link = weak.get()) link->remoteCloseLink();
        });
    };
    m_busPath = bus->exportLink(std::move(handlers));
    static const bool watching = [] {
        if (auto* b = LiveLinkBus::shared()) b->setPeerGoneHandler(&LiveLink::peerConnectionGone);
        return true;
    }();
    (void)watching;
    return m_busPath;
}

void LiveLink::peerConnectionGone(const std::string& uniqueName)
{
    std::vector<Ref<LiveLink>> gone;
    for (const auto& [key, link] : activeLinks())
        if (auto remote = dynamic_ref_cast<LiveLinkRemoteLink>(link->m_peer); remote && remote->owner() == uniqueName)
            gone.push_back(link);
    for (const auto& link : gone) link->remoteCloseLink();
}
