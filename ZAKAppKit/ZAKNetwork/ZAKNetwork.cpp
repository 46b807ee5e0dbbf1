#include "ZAKAppKit/ZAKNetwork/ZAKNetwork.h"

#include "Foundation/NSClass.h"
#include "Foundation/NSData.h"
#include "SystemConfiguration/SCNetworkReachability.h"

NS_CLASS_DEFINE(ZAKNetwork)

bool ZAKNetwork::checkIfSiteReachable(const Ref<NSString>& host)
{
    // A name that does not convert to ASCII gives no reachability reference.
    Ref<NSData> ascii = host ? host->dataUsingEncoding(NSASCIIStringEncoding) : nullptr;
    std::string name;
    if (ascii) name.assign(reinterpret_cast<const char*>(ascii->bytes()), ascii->length());
    SCNetworkReachabilityRef target = SCNetworkReachabilityCreateWithName(nullptr, ascii ? name.c_str() : nullptr);
    if (!target) return false;
    SCNetworkReachabilityFlags flags = 0;
    if (!SCNetworkReachabilityGetFlags(target, &flags)) flags = 0;
    return (flags & kSCNetworkReachabilityFlagsReachable) != 0;
}
