// One end-to-end session: a private Xvfb with a compositor and a grey root,
// temporary HOME and XDG folders, and the processes a test starts on it.
// Everything started is ended when the session goes away.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "XvfbServer.h"

namespace e2e {

// Not xcompmgr's own fill (0x808080), so the checks see the root's colour.
constexpr uint32_t kBackground = 0x6e6e6e;
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;

// A screenshot loaded into memory; pixel() answers 0xRRGGBB.
class Shot {
public:
    Shot() = default;
    bool valid() const { return m_width > 0; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    uint32_t pixel(int x, int y) const;
    // Pixels in the rectangle for which the test holds.
    int count(int x, int y, int w, int h, const std::function<bool(uint32_t)>& test) const;

private:
    friend class Session;
    int m_width = 0, m_height = 0;
    std::vector<uint32_t> m_pixels;
};

bool isReddish(uint32_t rgb);

struct Result {
    int status = -1;  // exit status, -1 when it did not end in time
    std::string output;
};

class Session {
public:
    // Extra arguments go to the X server ("-extension", "XInputExtension").
    explicit Session(std::string name, std::vector<std::string> serverArguments = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ready() const { return !m_display.empty(); }
    const std::string& problem() const { return m_problem; }
    const std::string& configFolder() const { return m_config; }
    const std::string& folder() const { return m_root; }

    // Starts a process on the display with the session's environment; its
    // output goes to <folder>/<log>.
    pid_t spawn(const std::vector<std::string>& argv, const std::string& log);
    // Runs a process to its end (bounded) and answers its status and output.
    Result run(const std::vector<std::string>& argv, std::chrono::milliseconds limit = std::chrono::seconds(20));

    // Starts the program; its output goes to <folder>/<log>.
    pid_t launchProgram(const std::string& log = "plumbline.log");
    // Waits for a mapped window whose WM_CLASS class matches; answers its id
    // or "".
    std::string waitForWindow(const std::string& classPattern, std::chrono::milliseconds limit);
    // The visible windows xdotool finds with these search options
    // ({"--name", "Preferences"}), in its order.
    std::vector<std::string> findWindows(const std::vector<std::string>& criteria);
    // Waits for a mapped window with this name (WM_NAME); answers its id or "".
    std::string waitForWindowNamed(const std::string& name, std::chrono::milliseconds limit);
    // Sends SIGTERM and waits for the end; answers the exit status or -1.
    int terminate(pid_t pid, std::chrono::milliseconds limit);
    bool alive(pid_t pid);

    // Takes screenshots until one satisfies the test or the time is up; the
    // last one is kept as build-test/e2e-shots/<name>-<label>.png.
    Shot pollShot(const std::string& label, const std::function<bool(const Shot&)>& test,
                  std::chrono::milliseconds limit = std::chrono::seconds(15));

    std::string readFile(const std::string& path) const;

    // Puts the folder first on PATH for the processes started afterwards, so
    // a test's stand-ins take the place of installed programs.
    void prependToPath(const std::string& folder) { m_pathPrefix = folder + ":"; }

private:
    bool startServer();
    std::vector<std::string> environment() const;
    Shot takeShot(const std::string& path);

    std::string m_name;
    std::string m_root, m_config, m_display, m_problem;
    test_support::XvfbServer m_server;
    std::vector<std::string> m_serverArguments;
    std::vector<pid_t> m_started;
    std::string m_pathPrefix;
};

}  // namespace e2e
