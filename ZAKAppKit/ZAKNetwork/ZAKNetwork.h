#pragma once
// Whether a host can be reached, asked synchronously.
#include "Foundation/NSString.h"

class ZAKNetwork : public NSObject {
    NS_OBJECT(ZAKNetwork, NSObject)
protected:
    ZAKNetwork() = default;

public:
    // YES when the host name (ASCII) resolves and has a route; NO for a nil,
    // empty or non-ASCII name, without a lookup.
    static bool checkIfSiteReachable(const Ref<NSString>& host);
};
