#pragma once
// One live link, client side or server side. The client puts the item's
// link data on a pasteboard of its own and asks the server to edit it; the
// server reads it, lets the user edit, writes the new content to the same
// pasteboard and sends the edit back. Either side may close the link.
//
// The registry of active links owns them (by item key) from connecting
// until closing; a closed link stays a harmless object whose calls do
// nothing.
#include <string>

#include "AppKit/NSPasteboard.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSURL.h"
#include "LiveLink/LiveLinkEndpoints.h"

class LiveLink : public NSObject, public LiveLinkEndpoint {
    NS_OBJECT(LiveLink, NSObject)
protected:
    LiveLink() = default;

public:
    ~LiveLink() override;

    static bool publishServerWithName(const Ref<NSString>& name, const Id& delegate);
    static void retractServerWithName(const Ref<NSString>& name);
    static Ref<LiveLink> activeLiveLinkForItemKey(const Ref<NSString>& key);
    // Starts (or, for an item whose link is active, repeats) an edit; nil
    // when no server could be reached. Data that is not a dictionary with a
    // server name and a bundle identifier raises NSInvalidArgumentException.
    static Ref<LiveLink> editLiveLinkData(const Id& data, const Ref<NSString>& sourceName, const Id& delegate,
                                          const Ref<NSString>& itemKey);

    // The server side of a new link with the client at the far end.
    Ref<LiveLink> initServerWithClient(const Id& client, const Ref<NSString>& sourceName,
                                       const Ref<NSString>& sourceApplicationName, const Ref<NSString>& itemKey,
                                       const Id& delegate);
    Ref<LiveLink> initClientWithSourceName(const Ref<NSString>& sourceName, const Id& delegate,
                                           const Ref<NSString>& itemKey);
    bool connectToServerWithName(const Ref<NSString>& name, const Ref<NSString>& bundleIdentifier,
                                 const Ref<NSURL>& fallbackURL, const Ref<NSString>& appName);

    // Raise NSGenericException on a link that was never connected; do
    // nothing on a closed one.
    void requestEdit();
    void sendEdit();
    void closeLink();

    // From the far end.
    void remoteCloseLink() override;
    void requestEditWithPasteboardName(const Ref<NSString>& name) override;
    void refreshEditWithPasteboardName(const Ref<NSString>& name) override;

    Ref<NSPasteboard> pasteboard() const { return m_pboard; }
    Id representedObject() const { return m_repobj; }
    void setRepresentedObject(const Id& object) { m_repobj = object; }
    Ref<NSString> sourceName() const { return m_sourceName; }
    Ref<NSString> sourceApplicationName() const { return m_sourceApplicationName; }
    Ref<NSString> itemKey() const { return m_key; }
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }
    bool isServer() const { return m_isServer; }
    bool isClosed() const { return m_closed; }

    // The bus path this link is exported at (exported on first use), so a
    // peer in another process can reach it.
    std::string exportOnBus();
    // Closes every link whose peer lived in the connection that left.
    static void peerConnectionGone(const std::string& uniqueName);
    // Whether a remote request may name the pasteboard: only the unique
    // pasteboards links make, never a well-known or chosen name.
    static bool isLinkPasteboardName(const std::string& name);

private:
    LiveLinkEndpoint* peer() const;
    void dropPeer();
    void notifyDelegate(void (LiveLinkDelegate::*notice)(const Ref<LiveLink>&));
    void usePasteboardNamed(const Ref<NSString>& name);

    Id m_peer;
    bool m_isServer = false;
    Weak<NSObject> m_delegate;
    Ref<NSPasteboard> m_pboard;
    Id m_repobj;
    Ref<NSString> m_sourceName;
    Ref<NSString> m_sourceApplicationName;
    Ref<NSString> m_key;
    bool m_connected = false;
    bool m_closed = false;
    std::string m_busPath;
};
