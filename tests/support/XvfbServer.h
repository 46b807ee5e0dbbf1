#pragma once
// A private X server for tests: Xvfb on a display it picks itself, its output
// in a log file, gone with the test program even when that crashes. The
// end-to-end sessions and the X11 backend tests both run on one of these.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace test_support {

class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts Xvfb with one screen of the size (24 bits) and the extra
    // arguments ("-extension", "XInputExtension"); its output goes to the log
    // ("": nowhere). Answers whether it is ready for clients.
    bool start(int width, int height, const std::vector<std::string>& extraArguments = {},
               const std::string& logPath = "");
    // Ends the server; safe to call when it is not running.
    void stop();

    // ":N" while the server runs, else "".
    const std::string& display() const { return m_display; }
    // Why start failed.
    const std::string& problem() const { return m_problem; }

private:
    pid_t m_pid = -1;
    std::string m_display, m_problem;
};

// In a child just forked from `parent`: the child is killed when the parent
// ends, so a test ended on its time limit leaves no process behind.
void dieWithParent(pid_t parent);

// Whether a program of that name is on PATH (tests skip without their tools).
bool onPath(const char* program);

// Asks a child to end (SIGTERM) and kills it when it has not within the limit.
void stopChild(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(3));

}  // namespace test_support
