#include "SystemConfiguration/SCNetworkReachability.h"

#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(SCNetworkReachability)

namespace {

std::mutex& resolverLock()
{
    static std::mutex lock;
    return lock;
}

SCNetworkResolver& installedResolver()
{
    static auto* resolver = new SCNetworkResolver;
    return *resolver;
}

std::vector<sockaddr_storage> systemResolve(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    std::vector<sockaddr_storage> addresses;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
        sockaddr_storage address{};
        std::memcpy(&address, a->ai_addr, a->ai_addrlen);
        addresses.push_back(address);
    }
    freeaddrinfo(found);
    return addresses;
}

bool hasRoute(sockaddr_storage address)
{
    socklen_t length = 0;
    // Any port serves: connect only asks the routing table.
    if (address.ss_family == AF_INET) {
        reinterpret_cast<sockaddr_in&>(address).sin_port = htons(9);
        length = sizeof(sockaddr_in);
    } else if (address.ss_family == AF_INET6) {
        reinterpret_cast<sockaddr_in6&>(address).sin6_port = htons(9);
        length = sizeof(sockaddr_in6);
    } else {
        return false;
    }
    const int fd = socket(address.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    close(fd);
    return connected;
}

}  // namespace

SCNetworkResolver SCNetworkReachability::setResolver(SCNetworkResolver resolver)
{
    std::lock_guard lock(resolverLock());
    std::swap(installedResolver(), resolver);
    return resolver;
}

std::vector<sockaddr_storage> SCNetworkReachability::resolve(const std::string& host)
{
    SCNetworkResolver resolver;
    {
        std::lock_guard lock(resolverLock());
        resolver = installedResolver();
    }
    return resolver ? resolver(host) : systemResolve(host);
}

SCNetworkReachabilityRef SCNetworkReachabilityCreateWithName(void*, const char* nodename)
{
    if (!nodename || !*nodename) return nullptr;
    for (const char* c = nodename; *c; ++c)
        if (static_cast<unsigned char>(*c) > 0x7f) return nullptr;
    auto target = NSObject::make<SCNetworkReachability>();
    target->m_nodeName = nodename;
    return target;
}

bool SCNetworkReachabilityGetFlags(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags* flags)
{
    if (!target || !flags) return false;
    const auto addresses = SCNetworkReachability::resolve(target->nodeName());
    *flags = !addresses.empty() && hasRoute(addresses.front()) ? kSCNetworkReachabilityFlagsReachable : 0;
    return true;
}
