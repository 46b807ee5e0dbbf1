#pragma once
// What one end of a live link may ask of the other: the fixed message set.
// The far end is a link of this process or a stand-in for one exported by
// another process on the session bus.
#include "Foundation/NSString.h"

class LiveLink;

class LiveLinkEndpoint {
public:
    virtual ~LiveLinkEndpoint() = default;
    virtual void remoteCloseLink() = 0;
    virtual void requestEditWithPasteboardName(const Ref<NSString>& name) = 0;
    virtual void refreshEditWithPasteboardName(const Ref<NSString>& name) = 0;
};

// A server, here or in another process: answers the server side of a new
// link (nil when it could not be made).
class LiveLinkServerEndpoint {
public:
    virtual ~LiveLinkServerEndpoint() = default;
    virtual Id initiateLiveLinkFromClient(const Ref<LiveLink>& client) = 0;
};

// The delegate of a link (not retained); a server's delegate becomes the
// delegate of each server-side link it makes. Notices come on the main
// thread.
class LiveLinkDelegate {
public:
    virtual ~LiveLinkDelegate() = default;
    virtual void liveLinkDidClose(const Ref<LiveLink>&) { }
    virtual void liveLinkClientDidRequestEdit(const Ref<LiveLink>&) { }
    virtual void liveLinkServerDidSendEdit(const Ref<LiveLink>&) { }
};
