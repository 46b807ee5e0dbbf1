#include "Foundation/NSURLConnection.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <strings.h>
#include <vector>

#include "Foundation/CurlLibrary.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSHTTPCookieStorage.h"
#include "Foundation/NSHTTPURLResponse.h"
#include "Foundation/NSURLError.h"

NS_CLASS_DEFINE(NSURLConnection)

Ref<NSString> NSURLErrorDomain() { return "NSURLErrorDomain"_ns; }
Ref<NSString> NSURLErrorFailingURLStringErrorKey() { return "NSErrorFailingURLStringKey"_ns; }

namespace {
constexpr int maximumRedirects = 5;

struct EasyHandleDeleter {
    void operator()(CURL* handle) const { CurlLibrary::shared()->easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { CurlLibrary::shared()->slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

// What one exchange with a server brought back.
struct Exchange {
    std::vector<uint8_t> body;
    std::vector<std::pair<std::string, std::string>> headers;  // of the last response only
    long status = 0;
    std::string redirectURL;
};

// Exceptions never cross libcurl: a failure to store stops the transfer.
size_t collectBody(char* data, size_t size, size_t count, void* user)
{
    try {
        auto* exchange = static_cast<Exchange*>(user);
        exchange->body.insert(exchange->body.end(), data, data + size * count);
        return size * count;
    } catch (...) {
        return 0;
    }
}

size_t collectHeader(char* data, size_t size, size_t count, void* user)
{
    try {
        auto* exchange = static_cast<Exchange*>(user);
        std::string_view line(data, size * count);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
        // A status line starts a new response (after "100 Continue", say).
        if (line.starts_with("HTTP/")) {
            exchange->headers.clear();
            return size * count;
        }
        size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) return size * count;
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
        exchange->headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
        return size * count;
    } catch (...) {
        return 0;
    }
}

bool isToken(const std::string& text)
{
    if (text.empty()) return false;
    for (unsigned char c : text)
        if (c <= ' ' || c >= 127 ||
            std::string_view("\"(),/:;<=>?@[\\]{}").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    return true;
}

bool isFieldValue(const std::string& text)
{
    return text.find_first_of("\r\n", 0) == std::string::npos && text.find('\0') == std::string::npos;
}

bool sameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// The loopback addresses never go through a proxy, whatever the environment
// says; other hosts follow the usual proxy variables.
std::string noProxyList()
{
    const char* fromEnvironment = std::getenv("no_proxy");
    if (!fromEnvironment) fromEnvironment = std::getenv("NO_PROXY");
    std::string list = fromEnvironment ? fromEnvironment : "";
    if (list == "*") return list;
    if (!list.empty()) list += ",";
    return list + "localhost,127.0.0.1,::1";
}

NSInteger errorCodeFor(CURLcode code)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL: return NSURLErrorUnsupportedURL;
    case CURLE_URL_MALFORMAT: return NSURLErrorBadURL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return NSURLErrorCannotFindHost;
    case CURLE_COULDNT_CONNECT: return NSURLErrorCannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT: return NSURLErrorTimedOut;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE: return NSURLErrorNetworkConnectionLost;
    case CURLE_WEIRD_SERVER_REPLY: return NSURLErrorBadServerResponse;
    case CURLE_PEER_FAILED_VERIFICATION: return NSURLErrorServerCertificateUntrusted;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE: return NSURLErrorSecureConnectionFailed;
    default: return NSURLErrorUnknown;
    }
}

Ref<NSError> makeError(NSInteger code, const std::string& description, const std::string& url)
{
    auto info = NSMutableDictionary::dictionary();
    info->setObject(NSString::stringWithUTF8String(description), NSLocalizedDescriptionKey());
    if (!url.empty()) info->setObject(NSString::stringWithUTF8String(url), NSURLErrorFailingURLStringErrorKey());
    return NSError::errorWithDomain(NSURLErrorDomain(), code, info);
}

bool isHTTPScheme(const Ref<NSURL>& url)
{
    auto scheme = url ? url->scheme() : nullptr;
    if (!scheme) return false;
    std::string s = scheme->UTF8String();
    return sameName(s, "http") || sameName(s, "https");
}

// One hop of a request: what is sent to which address.
struct Hop {
    std::string url;
    std::string method;
    std::optional<std::vector<uint8_t>> body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// Called only once the library is loaded.
HeaderList headerListFor(const Hop& hop, const Ref<NSURL>& url)
{
    const CurlLibrary& lib = *CurlLibrary::shared();
    curl_slist* list = nullptr;
    bool hasCookie = false;
    bool hasExpect = false;
    for (const auto& [name, value] : hop.headers) {
        // A name or value that would break the request's framing is not sent.
        if (!isToken(name) || !isFieldValue(value)) continue;
        hasCookie = hasCookie || sameName(name, "Cookie");
        hasExpect = hasExpect || sameName(name, "Expect");
        // "Name;" is curl's way to send a field with an empty value.
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        list = lib.slist_append(list, line.c_str());
    }
    if (!hasCookie) {
        std::string cookies;
        auto stored = NSHTTPCookieStorage::sharedHTTPCookieStorage()->cookiesForURL(url);
        for (const Id& object : *stored) {
            auto cookie = static_ref_cast<NSHTTPCookie>(object);
            if (!cookies.empty()) cookies += "; ";
            cookies += cookie->name()->UTF8String() + "=" + cookie->value()->UTF8String();
        }
        if (!cookies.empty() && isFieldValue(cookies)) list = lib.slist_append(list, ("Cookie: " + cookies).c_str());
    }
    // An empty "Expect:" stops curl from waiting for "100 Continue" before
    // sending a body.
    if (!hasExpect) list = lib.slist_append(list, "Expect:");
    return HeaderList(list);
}

CURLcode perform(CURL* curl, const Hop& hop, const Ref<NSURL>& url, long timeoutMilliseconds, Exchange& exchange,
                 char* errorText)
{
    const CurlLibrary& lib = *CurlLibrary::shared();
    lib.easy_reset(curl);
    HeaderList headers = headerListFor(hop, url);
    std::string noProxy = noProxyList();
    lib.easy_setopt(curl, CURLOPT_URL, hop.url.c_str());
    lib.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    lib.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    lib.easy_setopt(curl, CURLOPT_NOPROXY, noProxy.c_str());
    lib.easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMilliseconds);
    lib.easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    lib.easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    lib.easy_setopt(curl, CURLOPT_WRITEFUNCTION, collectBody);
    lib.easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
    lib.easy_setopt(curl, CURLOPT_HEADERFUNCTION, collectHeader);
    lib.easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
    if (hop.method == "HEAD") {
        lib.easy_setopt(curl, CURLOPT_NOBODY, 1L);
    } else if (hop.method == "GET" && !hop.body) {
        lib.easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else {
        if (hop.method != "POST") lib.easy_setopt(curl, CURLOPT_CUSTOMREQUEST, hop.method.c_str());
        if (hop.body || hop.method == "POST") {
            // The caller's bytes exactly; a POST without a body sends none.
            static const char empty = 0;
            const char* bytes =
                hop.body && !hop.body->empty() ? reinterpret_cast<const char*>(hop.body->data()) : &empty;
            lib.easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                            static_cast<curl_off_t>(hop.body ? hop.body->size() : 0));
            lib.easy_setopt(curl, CURLOPT_POSTFIELDS, bytes);
        }
    }
    CURLcode result = lib.easy_perform(curl);
    if (result != CURLE_OK) return result;
    lib.easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &exchange.status);
    char* redirect = nullptr;
    if (lib.easy_getinfo(curl, CURLINFO_REDIRECT_URL, &redirect) == CURLE_OK && redirect)
        exchange.redirectURL = redirect;
    return CURLE_OK;
}

void storeCookies(const Exchange& exchange, const Ref<NSURL>& url)
{
    auto storage = NSHTTPCookieStorage::sharedHTTPCookieStorage();
    for (const auto& [name, value] : exchange.headers)
        if (sameName(name, "Set-Cookie")) storage->setCookie(NSHTTPCookie::cookieWithSetCookieValue(value, url));
}

bool isRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The method and body of the request that follows a redirect: 303 always
// turns into a GET (a HEAD stays a HEAD), and so do 301 and 302 after a POST.
void followRedirect(Hop& hop, long status, std::string url)
{
    hop.url = std::move(url);
    bool toGet = (status == 303 && hop.method != "HEAD") || ((status == 301 || status == 302) && hop.method == "POST");
    if (!toGet) return;
    hop.method = "GET";
    hop.body.reset();
    std::erase_if(hop.headers, [](const auto& field) {
        return sameName(field.first, "Content-Type") || sameName(field.first, "Content-Length");
    });
}

// Field values are text in practice; bytes that are not UTF-8 are read as
// ISO Latin-1, as HTTP/1.1 once defined them.
Ref<NSString> fieldText(const std::string& bytes)
{
    if (auto text = NSString::stringWithUTF8String(bytes)) return text;
    std::u16string latin1;
    for (unsigned char c : bytes) latin1.push_back(c);
    return NSString::stringWithUTF16(std::move(latin1));
}

Hop firstHop(const NSURLRequest& request)
{
    Hop hop;
    hop.url = request.URL()->absoluteString()->UTF8String();
    hop.method = request.HTTPMethod() ? request.HTTPMethod()->UTF8String() : "GET";
    if (request.HTTPBody() && hop.method != "GET" && hop.method != "HEAD") hop.body = request.HTTPBody()->vector();
    for (const auto& [name, value] : request.headerFields())
        hop.headers.emplace_back(name->UTF8String(), value->UTF8String());
    return hop;
}
}

Ref<NSData> NSURLConnection::sendSynchronousRequest(const Ref<NSURLRequest>& request, Ref<NSURLResponse>* response,
                                                    Ref<NSError>* error)
{
    if (response) *response = nullptr;
    if (error) *error = nullptr;
    auto fail = [&](NSInteger code, const std::string& description, const std::string& url) -> Ref<NSData> {
        if (error) *error = makeError(code, description, url);
        return nullptr;
    };
    if (!request || !request->URL()) return fail(NSURLErrorBadURL, "No URL was given.", "");
    std::string requested = request->URL()->absoluteString()->UTF8String();
    if (!isHTTPScheme(request->URL()))
        return fail(NSURLErrorUnsupportedURL, "Only http and https URLs are supported.", requested);
    Hop hop = firstHop(*request);
    if (!isToken(hop.method)) return fail(NSURLErrorBadURL, "The HTTP method is not a valid token.", requested);

    const CurlLibrary* library = CurlLibrary::shared();
    EasyHandle curl(library ? library->easy_init() : nullptr);
    if (!curl) return fail(NSURLErrorUnknown, "The HTTP client could not be set up.", requested);

    NSTimeInterval timeout = request->timeoutInterval() > 0 ? request->timeoutInterval() : 60;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
    Ref<NSURL> url = request->URL();
    for (int redirects = 0;; ++redirects) {
        auto remaining =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0) return fail(NSURLErrorTimedOut, "The request timed out.", hop.url);
        Exchange exchange;
        char errorText[CURL_ERROR_SIZE] = {};
        CURLcode result = perform(curl.get(), hop, url, static_cast<long>(remaining.count()), exchange, errorText);
        if (result != CURLE_OK)
            return fail(errorCodeFor(result), errorText[0] ? errorText : library->easy_strerror(result), hop.url);
        storeCookies(exchange, url);
        Ref<NSURL> next = exchange.redirectURL.empty()
                              ? nullptr
                              : NSURL::URLWithString(NSString::stringWithUTF8String(exchange.redirectURL));
        if (isRedirect(exchange.status) && isHTTPScheme(next)) {
            if (redirects == maximumRedirects)
                return fail(NSURLErrorHTTPTooManyRedirects, "There were too many redirects.", requested);
            followRedirect(hop, exchange.status, exchange.redirectURL);
            url = next;
            continue;
        }
        std::vector<NSHTTPURLResponse::HeaderField> fields;
        for (const auto& [name, value] : exchange.headers) fields.emplace_back(fieldText(name), fieldText(value));
        if (response) *response = NSHTTPURLResponse::responseWithURL(url, exchange.status, fields);
        return NSData::dataWithVector(std::move(exchange.body));
    }
}
