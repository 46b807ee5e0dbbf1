#pragma once
// A named server an application publishes so that other applications can
// hand it items to edit. Published servers are registered by name in the
// process and own the bus name of "<bundle identifier>:<name>".
#include <string>

#include "Foundation/NSURL.h"
#include "LiveLink/LiveLinkEndpoints.h"

class LiveLinkServer : public NSObject, public LiveLinkServerEndpoint {
    NS_OBJECT(LiveLinkServer, NSObject)
protected:
    LiveLinkServer() = default;

public:
    ~LiveLinkServer() override;

    // Makes and publishes a server; NO when the name is taken (here or by
    // another process), too long, or there is no session bus.
    static bool publishServerWithName(const Ref<NSString>& name, const Id& delegate);
    // A server published in this process.
    static Ref<LiveLinkServer> LiveLinkServerWithName(const Ref<NSString>& name);
    // The server of another application (or of this one, called directly),
    // launching the application when allowed and needed: nil when no
    // application offers it (after the not-found alert) or when it has not
    // been published 10 seconds after launching. The answer is a
    // LiveLinkServerEndpoint.
    static Id LiveLinkServerWithName(const Ref<NSString>& name, const Ref<NSString>& bundleIdentifier,
                                     bool launchIfNeeded, const Ref<NSURL>& fallbackURL, const Ref<NSString>& appName);

    Ref<LiveLinkServer> initWithName(const Ref<NSString>& name, const Id& delegate);
    bool publish();
    void retract();
    bool isPublished() const { return !m_busName.empty(); }
    Ref<NSString> name() const { return m_name; }
    Id delegate() const { return m_delegate.get(); }

    Id initiateLiveLinkFromClient(const Ref<LiveLink>& client) override;

private:
    Ref<NSString> m_name;
    Weak<NSObject> m_delegate;
    std::string m_busName;
    std::string m_path;
};

// The search for an application offering a server: the folder and four
// levels of folders below it, entries from the last to the first. A
// missing folder is skipped silently; other listing errors are logged.
Ref<NSString> LiveLinkFindServerApplication(const Ref<NSString>& folder, const Ref<NSString>& serverName,
                                            const Ref<NSString>& bundleIdentifier, int depth);
// Whether a "LiveLinkServer" Info entry (a string or an array of them)
// names the server.
bool LiveLinkServerListContainsName(const Id& list, const Ref<NSString>& name);
// The critical alert saying the application was not found; with a URL it
// offers to open it.
void LiveLinkShowApplicationNotFound(const Ref<NSString>& appName, const Ref<NSURL>& fallbackURL);
