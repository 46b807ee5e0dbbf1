#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests of HTTP clients. It listens
// on a free port chosen by the system, serves one connection at a time on its
// own thread, records every request's bytes and answers from a script. It
// stops when destroyed or, at the latest, when its lifetime is over, so a
// test that forgets it cannot hang.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

class LocalHttpServer {
public:
    using Fields = std::vector<std::pair<std::string, std::string>>;

    struct Reply {
        int status = 200;
        Fields headers;  // "Content-Length" and "Connection: close" are added
        std::string body;
        // How long to wait before answering (to make a client time out).
        std::chrono::milliseconds delay{0};

        static Reply redirect(int status, std::string location)
        {
            return {status, {{"Location", std::move(location)}}, {}, {}};
        }
    };

    struct Request {
        std::string raw;  // every byte received for the request
        std::string method;
        std::string target;
        Fields headers;
        std::string body;  // the chunks joined when the body was chunked
        // The first field of that name, compared without regard to case.
        std::optional<std::string> header(std::string_view name) const;
    };

    // Answers request k with script[k] and later requests with 200 and an
    // empty body.
    explicit LocalHttpServer(std::vector<Reply> script = {},
                             std::chrono::milliseconds lifetime = std::chrono::seconds(30));
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    uint16_t port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string url(std::string_view path = "/") const;
    void addReply(Reply reply);
    std::vector<Request> requests() const;
    // Waits until that many requests have been received; false on time-out.
    bool waitForRequests(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
    void stop();

private:
    void run();
    void serve(int connection);
    bool wait(int fd, short events, std::chrono::steady_clock::time_point until) const;
    bool stopRequested() const;
    Reply nextReply();

    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    uint16_t m_port = 0;
    std::chrono::steady_clock::time_point m_deadline;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_received;
    std::deque<Reply> m_script;
    std::vector<Request> m_requests;
    std::thread m_thread;
};

// A loopback port on which nobody listens: connecting to it is refused. The
// port stays reserved (bound, not listening) while the object lives.
class RefusingLocalPort {
public:
    RefusingLocalPort();
    ~RefusingLocalPort();
    RefusingLocalPort(const RefusingLocalPort&) = delete;
    RefusingLocalPort& operator=(const RefusingLocalPort&) = delete;
    uint16_t port() const { return m_port; }
    std::string url(std::string_view path = "/") const;

private:
    int m_socket = -1;
    uint16_t m_port = 0;
};
