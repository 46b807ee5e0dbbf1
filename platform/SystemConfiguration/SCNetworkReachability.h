#pragma once
// Whether a host can be reached from here, as far as the system can tell
// without sending anything: its name resolves (getaddrinfo) and the routing
// table has a route to its first address (a UDP socket connects to it; UDP
// sends no packet on connect).
#include <sys/socket.h>

#include <functional>
#include <string>
#include <vector>

#include "Foundation/NSObject.h"

class SCNetworkReachability;
using SCNetworkReachabilityRef = Ref<SCNetworkReachability>;
using SCNetworkReachabilityFlags = uint32_t;

enum : SCNetworkReachabilityFlags {
    kSCNetworkReachabilityFlagsTransientConnection = 1 << 0,
    kSCNetworkReachabilityFlagsReachable = 1 << 1,
    kSCNetworkReachabilityFlagsConnectionRequired = 1 << 2,
};

// The addresses a host name resolves to, in the resolver's order; empty when
// it does not resolve. Replaceable so that tests never look up outside names.
using SCNetworkResolver = std::function<std::vector<sockaddr_storage>(const std::string& host)>;

class SCNetworkReachability : public NSObject {
    NS_OBJECT(SCNetworkReachability, NSObject)
protected:
    SCNetworkReachability() = default;

public:
    const std::string& nodeName() const { return m_nodeName; }

    // Installs a resolver (an empty one restores getaddrinfo) and answers the
    // previous one.
    static SCNetworkResolver setResolver(SCNetworkResolver resolver);
    static std::vector<sockaddr_storage> resolve(const std::string& host);

private:
    friend SCNetworkReachabilityRef SCNetworkReachabilityCreateWithName(void*, const char*);
    std::string m_nodeName;
};

// nil for a null, empty or non-ASCII name; nothing is looked up yet.
SCNetworkReachabilityRef SCNetworkReachabilityCreateWithName(void* allocator, const char* nodename);
// Looks the name up now. False (flags untouched) without a target; otherwise
// true with kSCNetworkReachabilityFlagsReachable set when the first address
// has a route, and 0 when the name does not resolve.
bool SCNetworkReachabilityGetFlags(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags* flags);
