// HTTP answers and their cookies: a local server answers every request with
// the input's bytes as they stand, and the client reads status, fields,
// body and cookies from them. The cookie fields are also read one by one.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "Foundation/NSAutoreleasePool.h"
#include "Foundation/NSHTTPCookie.h"
#include "Foundation/NSHTTPCookieStorage.h"
#include "Foundation/NSHTTPURLResponse.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSURL.h"
#include "Foundation/NSURLConnection.h"
#include "Foundation/NSURLRequest.h"
#include "FuzzSupport.h"

namespace {

// Answers each connection with the current bytes, then closes it.
class RawServer {
public:
    RawServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 16);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        std::thread([this] { run(); }).detach();  // lives as long as the process
    }
    uint16_t port() const { return m_port; }
    void setAnswer(std::string bytes)
    {
        std::lock_guard guard(m_lock);
        m_answer = std::move(bytes);
    }

private:
    void run()
    {
        for (;;) {
            int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) continue;
            std::string request;
            char buffer[4096];
            pollfd p{connection, POLLIN, 0};
            while (request.find("\r\n\r\n") == std::string::npos && ::poll(&p, 1, 1000) > 0) {
                ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, size_t(n));
            }
            std::string answer;
            {
                std::lock_guard guard(m_lock);
                answer = m_answer;
            }
            for (size_t sent = 0; sent < answer.size();) {
                ssize_t n = ::send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += size_t(n);
            }
            ::shutdown(connection, SHUT_RDWR);
            ::close(connection);
        }
    }

    int m_listener = -1;
    uint16_t m_port = 0;
    std::mutex m_lock;
    std::string m_answer;
};

RawServer* g_server = nullptr;

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogSink([](const std::string&) {});
    g_server = new RawServer;  // kept for the life of the process
    NSURLRequest::setDefaultTimeoutInterval(2);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input = Fuzz::text(data, size);
    {
        auto url = NSURL::URLWithString(
            NSString::stringWithUTF8String("http://127.0.0.1:" + std::to_string(g_server->port()) + "/fuzz"));
        g_server->setAnswer(std::string(input));
        Ref<NSURLResponse> response;
        Ref<NSError> error;
        auto body = NSURLConnection::sendSynchronousRequest(NSURLRequest::requestWithURL(url), &response, &error);
        Fuzz::check(body || error, "a failed request without an error");
        if (auto http = dynamic_ref_cast<NSHTTPURLResponse>(response)) {
            http->allHeaderFields();
            http->valueForHTTPHeaderField("Set-Cookie"_ns);
        }
        // Each line as a cookie field on its own, against a few addresses.
        auto other = NSURL::URLWithString("https://www.example.com/a/b"_ns);
        for (const std::string& line : Fuzz::split(input, "\n", 32)) {
            NSHTTPCookie::cookieWithSetCookieValue(line, url);
            if (auto cookie = NSHTTPCookie::cookieWithSetCookieValue(line, other)) cookie->matchesURL(other);
        }
        auto storage = NSHTTPCookieStorage::sharedHTTPCookieStorage();
        const auto cookies = storage->cookies();
        for (const Id& cookie : cookies->objects()) storage->deleteCookie(static_ref_cast<NSHTTPCookie>(cookie));
    }
    NSAutoreleasePool::drain();
    return 0;
}
