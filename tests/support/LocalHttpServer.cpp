#include "LocalHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
using SteadyClock = std::chrono::steady_clock;

// A request that never completes is given up after this long.
constexpr auto requestPatience = std::chrono::seconds(10);
constexpr size_t maximumRequestBytes = 16 * 1024 * 1024;

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

const char* reasonPhrase(int status)
{
    switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

bool sendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

int boundLoopbackSocket(uint16_t& port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("bind to 127.0.0.1 failed");
    }
    port = ntohs(address.sin_port);
    return fd;
}

std::string loopbackURL(uint16_t port, std::string_view path)
{
    return "http://127.0.0.1:" + std::to_string(port) + std::string(path);
}

// Reads a request from a connection, bounded by a deadline.
class RequestReader {
public:
    RequestReader(int fd, std::function<bool(SteadyClock::time_point)> waitReadable)
        : m_fd(fd)
        , m_wait(std::move(waitReadable))
    { }

    // Ensures at least n unread bytes are buffered.
    bool need(size_t n, SteadyClock::time_point until)
    {
        while (m_buffer.size() - m_position < n) {
            if (m_buffer.size() > maximumRequestBytes || !m_wait(until)) return false;
            char chunk[16384];
            ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            m_buffer.append(chunk, static_cast<size_t>(got));
        }
        return true;
    }
    // The text up to and including the delimiter.
    std::optional<std::string> readThrough(std::string_view delimiter, SteadyClock::time_point until)
    {
        for (;;) {
            size_t found = m_buffer.find(delimiter, m_position);
            if (found != std::string::npos) return take(found + delimiter.size() - m_position);
            if (!need(m_buffer.size() - m_position + 1, until)) return std::nullopt;
        }
    }
    std::optional<std::string> read(size_t n, SteadyClock::time_point until)
    {
        if (!need(n, until)) return std::nullopt;
        return take(n);
    }
    const std::string& consumed() const { return m_consumed; }

private:
    std::string take(size_t n)
    {
        std::string out = m_buffer.substr(m_position, n);
        m_position += n;
        m_consumed += out;
        return out;
    }
    int m_fd;
    std::function<bool(SteadyClock::time_point)> m_wait;
    std::string m_buffer;
    size_t m_position = 0;
    std::string m_consumed;
};

std::optional<size_t> parseSize(std::string_view text, int base)
{
    size_t value = 0;
    text = trim(text);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}
}

std::optional<std::string> LocalHttpServer::Request::header(std::string_view name) const
{
    for (const auto& [field, value] : headers)
        if (sameName(field, name)) return value;
    return std::nullopt;
}

LocalHttpServer::LocalHttpServer(std::vector<Reply> script, std::chrono::milliseconds lifetime)
    : m_deadline(SteadyClock::now() + lifetime)
    , m_script(script.begin(), script.end())
{
    m_listener = boundLoopbackSocket(m_port);
    if (::listen(m_listener, 16) != 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        ::close(m_listener);
        throw std::runtime_error("listen failed");
    }
    m_thread = std::thread([this] { run(); });
}

LocalHttpServer::~LocalHttpServer()
{
    stop();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void LocalHttpServer::stop()
{
    if (!m_thread.joinable()) return;
    [[maybe_unused]] ssize_t n = ::write(m_wake[1], "x", 1);
    m_thread.join();
}

std::string LocalHttpServer::url(std::string_view path) const { return loopbackURL(m_port, path); }

void LocalHttpServer::addReply(Reply reply)
{
    std::lock_guard lock(m_lock);
    m_script.push_back(std::move(reply));
}

std::vector<LocalHttpServer::Request> LocalHttpServer::requests() const
{
    std::lock_guard lock(m_lock);
    return m_requests;
}

bool LocalHttpServer::waitForRequests(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_lock);
    return m_received.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
}

LocalHttpServer::Reply LocalHttpServer::nextReply()
{
    std::lock_guard lock(m_lock);
    if (m_script.empty()) return {};
    Reply reply = std::move(m_script.front());
    m_script.pop_front();
    return reply;
}

// Waits until fd is ready, the server is stopped or the time is up.
bool LocalHttpServer::wait(int fd, short events, SteadyClock::time_point until) const
{
    until = std::min(until, m_deadline);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - SteadyClock::now()).count();
        if (left <= 0) return false;
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {fd, events, 0}};
        int ready = ::poll(fds, fd < 0 ? 1 : 2, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || fds[0].revents) return false;
        return true;
    }
}

bool LocalHttpServer::stopRequested() const
{
    pollfd fd = {m_wake[0], POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0;
}

void LocalHttpServer::run()
{
    while (wait(m_listener, POLLIN, m_deadline)) {
        int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        serve(connection);
        ::close(connection);
    }
}

void LocalHttpServer::serve(int connection)
{
    auto until = SteadyClock::now() + requestPatience;
    RequestReader reader(connection, [&](SteadyClock::time_point t) { return wait(connection, POLLIN, t); });
    Request request;
    auto head = reader.readThrough("\r\n\r\n", until);
    if (!head) return;

    std::string_view lines(*head);
    size_t end = lines.find("\r\n");
    std::string_view requestLine = lines.substr(0, end);
    size_t space = requestLine.find(' ');
    request.method = std::string(requestLine.substr(0, space));
    if (space != std::string_view::npos) {
        std::string_view rest = requestLine.substr(space + 1);
        request.target = std::string(rest.substr(0, rest.find(' ')));
    }
    for (lines.remove_prefix(end + 2); !lines.empty() && !lines.starts_with("\r\n");) {
        end = lines.find("\r\n");
        std::string_view line = lines.substr(0, end);
        size_t colon = line.find(':');
        if (colon != std::string_view::npos)
            request.headers.emplace_back(std::string(line.substr(0, colon)), std::string(trim(line.substr(colon + 1))));
        lines.remove_prefix(end + 2);
    }

    auto expect = request.header("Expect");
    if (expect && sameName(*expect, "100-continue")) sendAll(connection, "HTTP/1.1 100 Continue\r\n\r\n");
    auto encoding = request.header("Transfer-Encoding");
    if (encoding && encoding->find("chunked") != std::string::npos) {
        for (;;) {
            auto sizeLine = reader.readThrough("\r\n", until);
            if (!sizeLine) return;
            auto size = parseSize(sizeLine->substr(0, sizeLine->find_first_of(";\r")), 16);
            if (!size) return;
            if (*size == 0) {
                // Trailer fields, if any, end with an empty line.
                while (auto trailer = reader.readThrough("\r\n", until))
                    if (*trailer == "\r\n") break;
                break;
            }
            auto chunk = reader.read(*size + 2, until);
            if (!chunk) return;
            request.body += chunk->substr(0, *size);
        }
    } else if (auto length = request.header("Content-Length")) {
        auto size = parseSize(*length, 10);
        if (!size) return;
        auto body = reader.read(*size, until);
        if (!body) return;
        request.body = std::move(*body);
    }
    request.raw = reader.consumed();

    Reply reply = nextReply();
    {
        std::lock_guard lock(m_lock);
        m_requests.push_back(request);
    }
    m_received.notify_all();

    if (reply.delay.count() > 0) {
        wait(-1, 0, SteadyClock::now() + reply.delay);
        if (stopRequested() || SteadyClock::now() >= m_deadline) return;
    }
    std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonPhrase(reply.status) + "\r\n";
    bool hasLength = false;
    for (const auto& [name, value] : reply.headers) {
        hasLength = hasLength || sameName(name, "Content-Length");
        response += name + ": " + value + "\r\n";
    }
    bool mayHaveBody = reply.status >= 200 && reply.status != 204 && reply.status != 304;
    if (!hasLength && mayHaveBody) response += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    if (request.method != "HEAD" && mayHaveBody) response += reply.body;
    sendAll(connection, response);
}

RefusingLocalPort::RefusingLocalPort()
{
    // A bound socket that never listens answers a connection attempt with a
    // reset, and keeps anyone else from taking the port meanwhile.
    m_socket = boundLoopbackSocket(m_port);
}

RefusingLocalPort::~RefusingLocalPort() { ::close(m_socket); }

std::string RefusingLocalPort::url(std::string_view path) const { return loopbackURL(m_port, path); }
