#include "FoundationExtensions/NSURL+ZAKNSURLExtension.h"

#include "Foundation/NSHTTPURLResponse.h"
#include "Foundation/NSURLConnection.h"
#include "Foundation/NSURLRequest.h"
#include "Foundation/NSURLResponse.h"

namespace NSURLExt {

bool httpIsValid(const Ref<NSURL>& url)
{
    if (!url) return false;
    Ref<NSMutableURLRequest> request = NSMutableURLRequest::requestWithURL(url);
    request->setHTTPMethod("HEAD"_ns);
    Ref<NSURLResponse> response;
    Ref<NSError> error;
    NSURLConnection::sendSynchronousRequest(request, &response, &error);
    auto http = dynamic_ref_cast<NSHTTPURLResponse>(response);
    if (!http) return false;
    return http->statusCode() == 200 || http->statusCode() == 405;
}

}
