#pragma once
// NSURL(ZAKNSURLExtension).
#include "Foundation/NSURL.h"

namespace NSURLExt {

// Sends a HEAD request for the address and waits for it: YES when a response
// arrives with status 200 or 405, NO for no response or any other status.
bool httpIsValid(const Ref<NSURL>& url);

}
