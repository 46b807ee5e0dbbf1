#include "ZAKAppKit/ZAKCrashReporter/ZAKMultipartForm.h"

#include <random>

#include "Foundation/NSHTTPURLResponse.h"
#include "Foundation/NSURL.h"
#include "Foundation/NSURLConnection.h"
#include "Foundation/NSURLRequest.h"
#include "Foundation/NSURLResponse.h"

namespace ZAKMultipartForm {

std::string fixedBoundary() { return "0xKhTmLbOuNdArY"; }

static bool anyValueContains(const Fields& fields, const std::string& text)
{
    for (const auto& field : fields) {
        if (field.second.find(text) != std::string::npos || field.first.find(text) != std::string::npos) return true;
    }
    return false;
}

static std::string randomBoundary()
{
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::random_device source;
    std::uniform_int_distribution<size_t> pick(0, sizeof digits - 2);
    std::string boundary = "0xKhTmLbOuNdArY-";
    for (int i = 0; i < 24; ++i) boundary += digits[pick(source)];
    return boundary;
}

std::string boundaryForFields(const Fields& fields)
{
    std::string boundary = fixedBoundary();
    while (anyValueContains(fields, boundary)) boundary = randomBoundary();
    return boundary;
}

std::string contentType(const std::string& boundary) { return "multipart/form-data; boundary=" + boundary; }

std::string body(const Fields& fields, const std::string& boundary, bool preamble)
{
    std::string out;
    if (preamble) out += "Content-Type: " + contentType(boundary) + "\r\n\r\n";
    out += "--" + boundary + "\r\n";
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += "\r\n--" + boundary + "\r\n";
        out += "Content-Disposition: form-data; name=\"" + fields[i].first + "\"\r\n\r\n";
        out += fields[i].second;
    }
    out += "\r\n--" + boundary + "--\r\n";
    return out;
}

Ref<NSURLRequest> request(const Ref<NSString>& address, const std::string& userAgent, const Fields& fields,
                          bool preamble)
{
    if (!address || address->length() == 0) return nullptr;
    Ref<NSURL> url = NSURL::URLWithString(address);
    if (!url) return nullptr;
    std::string boundary = boundaryForFields(fields);
    std::string bytes = body(fields, boundary, preamble);
    Ref<NSMutableURLRequest> request = NSMutableURLRequest::requestWithURL(url);
    request->setHTTPMethod("POST"_ns);
    request->setValueForHTTPHeaderField(NSString::stringWithUTF8String(userAgent), "User-Agent"_ns);
    request->setValueForHTTPHeaderField(NSString::stringWithUTF8String(contentType(boundary)), "Content-Type"_ns);
    request->setHTTPBody(NSData::dataWithBytes(bytes.data(), bytes.size()));
    return request;
}

PostResult post(const Ref<NSString>& address, const std::string& userAgent, const Fields& fields, bool preamble)
{
    Ref<NSURLRequest> request = ZAKMultipartForm::request(address, userAgent, fields, preamble);
    if (!request) return PostResult::NoAddress;
    Ref<NSURLResponse> response;
    Ref<NSError> error;
    Ref<NSData> data = NSURLConnection::sendSynchronousRequest(request, &response, &error);
    if (!data) return PostResult::Failed;
    auto http = dynamic_ref_cast<NSHTTPURLResponse>(response);
    if (!http) return PostResult::Failed;
    NSInteger status = http->statusCode();
    return status >= 200 && status < 300 ? PostResult::Sent : PostResult::Failed;
}

}
