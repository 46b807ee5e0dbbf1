#pragma once
// Synchronous HTTP and HTTPS over libcurl.
#include "Foundation/NSData.h"
#include "Foundation/NSError.h"
#include "Foundation/NSURLRequest.h"
#include "Foundation/NSURLResponse.h"

class NSURLConnection : public NSObject {
    NS_OBJECT(NSURLConnection, NSObject)
protected:
    NSURLConnection() = default;

public:
    // Sends the request and waits for the answer, at most the request's
    // time-out in all. Any HTTP response counts, whatever its status: the
    // answer is its body (empty when it has none) and *response its status
    // and header fields. A transport failure (no connection, time-out, no
    // such host, an address that is not http or https) answers nil, leaves
    // *response nil and sets *error (NSURLErrorDomain). Redirects are
    // followed, at most five; a POST redirected by 301, 302 or 303 goes on
    // as a GET without a body. The body is sent byte for byte, with the
    // request's header fields and without a "100-continue" round trip.
    // Cookies are taken from and given to the shared cookie storage.
    static Ref<NSData> sendSynchronousRequest(const Ref<NSURLRequest>& request, Ref<NSURLResponse>* response,
                                              Ref<NSError>* error);
};
