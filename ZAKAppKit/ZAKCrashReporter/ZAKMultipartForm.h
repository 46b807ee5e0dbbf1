#pragma once
// The multipart form the crash reporter and the feedback dialog post to their
// web forms. Fields go out in order, each value byte for byte; no part has a
// content type or a file name. The boundary is the fixed "0xKhTmLbOuNdArY"
// unless a value contains it: such a value would end its part early and
// could smuggle in fields, so that request gets a fresh random boundary.
#include <string>
#include <utility>
#include <vector>

#include "Foundation/NSData.h"
#include "Foundation/NSString.h"

class NSURLRequest;

namespace ZAKMultipartForm {

// Name and UTF-8 value of one field.
using Field = std::pair<std::string, std::string>;
using Fields = std::vector<Field>;

std::string fixedBoundary();
// The fixed boundary, or a random one that no value contains.
std::string boundaryForFields(const Fields& fields);
// "multipart/form-data; boundary=<boundary>"
std::string contentType(const std::string& boundary);
// Opening, parts and closing. With a preamble the body starts with the
// content type as a header line and a blank line (what the feedback web form
// reads).
std::string body(const Fields& fields, const std::string& boundary, bool preamble);

enum class PostResult {
    Sent,       // the server answered 2xx (after redirects)
    NoAddress,  // the address is missing or not a URL: nothing was posted
    Failed,     // transport failure or a status outside 2xx
};

// Posts the fields to the address as "POST" with the user agent, choosing the
// boundary as above. The request's default time-out applies.
PostResult post(const Ref<NSString>& address, const std::string& userAgent, const Fields& fields, bool preamble);

// The request post() sends, for callers that want to look at it; nil when the
// address is missing or not a URL.
Ref<NSURLRequest> request(const Ref<NSString>& address, const std::string& userAgent, const Fields& fields,
                          bool preamble);

}
