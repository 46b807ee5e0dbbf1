#include "E2ESession.h"

#include <cairo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "WaitUntil.h"
#include "XvfbServer.h"

namespace e2e {
namespace fs = std::filesystem;
using test_support::dieWithParent;
using test_support::stopChild;
using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {
std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Waits for a child without blocking past the deadline; answers the exit
// status, 128 + signal for a killed one, -1 if it is still running, or -2
// if it is not a child of this process.
int waitUntil(pid_t pid, SteadyClock::time_point deadline)
{
    for (;;) {
        int status = 0;
        const pid_t reaped = waitpid(pid, &status, WNOHANG);
        if (reaped == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (reaped < 0) return -2;  // not a child (any more)
        if (SteadyClock::now() >= deadline) return -1;
        std::this_thread::sleep_for(20ms);
    }
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (auto& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}
}  // namespace

uint32_t Shot::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xffffffffu;
    return m_pixels[size_t(y) * size_t(m_width) + size_t(x)] & 0xffffff;
}

int Shot::count(int x, int y, int w, int h, const std::function<bool(uint32_t)>& test) const
{
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (pixel(i, j) != 0xffffffffu && test(pixel(i, j))) ++n;
    return n;
}

bool isReddish(uint32_t rgb)
{
    const int r = int(rgb >> 16) & 0xff, g = int(rgb >> 8) & 0xff, b = int(rgb) & 0xff;
    return r > 150 && g < 110 && b < 110;
}

Session::Session(std::string name, std::vector<std::string> serverArguments)
    : m_name(std::move(name))
    , m_serverArguments(std::move(serverArguments))
{
    std::string pattern = (fs::temp_directory_path() / "plumbline-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        m_problem = "cannot make a temporary folder";
        return;
    }
    m_root = pattern;
    for (const char* sub : {"home", "config", "data", "cache", "state", "runtime"})
        fs::create_directories(m_root + "/" + sub);
    chmod((m_root + "/runtime").c_str(), 0700);
    m_config = m_root + "/config";
    if (!startServer()) return;
    // A grey root under a compositor, as on a desktop.
    if (run({E2E_HELPER, "root", "6e6e6e"}).status != 0) {
        m_problem = "cannot paint the root window";
        m_display.clear();
        return;
    }
    spawn({"xcompmgr"}, "xcompmgr.log");
}

Session::~Session()
{
    for (auto it = m_started.rbegin(); it != m_started.rend(); ++it) stopChild(*it);
    m_server.stop();
    if (!m_root.empty()) {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
}

bool Session::startServer()
{
    if (!m_server.start(kScreenWidth, kScreenHeight, m_serverArguments, m_root + "/xvfb.log")) {
        m_problem = m_server.problem();
        return false;
    }
    m_display = m_server.display();
    return true;
}

std::vector<std::string> Session::environment() const
{
    std::string asan = env("ASAN_OPTIONS");
    asan += std::string(asan.empty() ? "" : ":") + "suppressions=" E2E_ASAN_SUPPRESSIONS;
    std::vector<std::string> result = {
        "PATH=" + m_pathPrefix + env("PATH"),
        "DISPLAY=" + m_display,
        "HOME=" + m_root + "/home",
        "XDG_CONFIG_HOME=" + m_config,
        "XDG_DATA_HOME=" + m_root + "/data",
        "XDG_CACHE_HOME=" + m_root + "/cache",
        "XDG_STATE_HOME=" + m_root + "/state",
        "XDG_RUNTIME_DIR=" + m_root + "/runtime",
        "LANG=C.UTF-8",
        "LC_ALL=C.UTF-8",
        "TZ=UTC",
        "ASAN_OPTIONS=" + asan,
    };
    for (const char* passed : {"UBSAN_OPTIONS", "LSAN_OPTIONS", "PLUMBLINE_RESOURCES"})
        if (!env(passed).empty()) result.push_back(std::string(passed) + "=" + env(passed));
    return result;
}

pid_t Session::spawn(const std::vector<std::string>& argv, const std::string& log)
{
    std::vector<std::string> args = argv, vars = environment();
    auto argp = pointers(args), envp = pointers(vars);
    const std::string logPath = m_root + "/" + log;
    const pid_t self = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        dieWithParent(self);
        const int out = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        execvpe(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    if (pid > 0) m_started.push_back(pid);
    return pid;
}

Result Session::run(const std::vector<std::string>& argv, std::chrono::milliseconds limit)
{
    static int serial = 0;
    const std::string log = "run-" + std::to_string(++serial) + ".log";
    const pid_t pid = spawn(argv, log);
    Result result;
    result.status = waitUntil(pid, SteadyClock::now() + limit);
    if (result.status == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    std::erase(m_started, pid);
    result.output = readFile(m_root + "/" + log);
    return result;
}

pid_t Session::launchProgram(const std::string& log) { return spawn({E2E_PROGRAM}, log); }

std::string Session::waitForWindow(const std::string& classPattern, std::chrono::milliseconds limit)
{
    std::string window;
    // The class, not the instance: the instance is the window's role once it
    // has one.
    test_support::waitUntil(
        [&] {
            Result found = run({"xdotool", "search", "--onlyvisible", "--class", classPattern}, 5s);
            if (found.status == 0 && !found.output.empty()) window = found.output.substr(0, found.output.find('\n'));
            return !window.empty();
        },
        limit, 100ms);
    return window;
}

std::vector<std::string> Session::findWindows(const std::vector<std::string>& criteria)
{
    std::vector<std::string> argv = {"xdotool", "search", "--onlyvisible"};
    argv.insert(argv.end(), criteria.begin(), criteria.end());
    const Result found = run(argv, 5s);
    std::vector<std::string> windows;
    std::istringstream lines(found.output);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) windows.push_back(line);
    return windows;
}

std::string Session::waitForWindowNamed(const std::string& name, std::chrono::milliseconds limit)
{
    std::vector<std::string> found;
    test_support::waitUntil([&] { return !(found = findWindows({"--name", "^" + name + "$"})).empty(); }, limit, 100ms);
    return found.empty() ? "" : found.front();
}

bool Session::alive(pid_t pid) { return waitUntil(pid, SteadyClock::now()) == -1; }

int Session::terminate(pid_t pid, std::chrono::milliseconds limit)
{
    kill(pid, SIGTERM);
    const int status = waitUntil(pid, SteadyClock::now() + limit);
    if (status != -1) std::erase(m_started, pid);
    return status;
}

Shot Session::takeShot(const std::string& path)
{
    Shot shot;
    if (run({"import", "-window", "root", path}).status != 0) return shot;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        shot.m_width = cairo_image_surface_get_width(surface);
        shot.m_height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        shot.m_pixels.resize(size_t(shot.m_width) * size_t(shot.m_height));
        for (int y = 0; y < shot.m_height; ++y)
            std::memcpy(&shot.m_pixels[size_t(y) * size_t(shot.m_width)], data + size_t(y) * size_t(stride),
                        size_t(shot.m_width) * 4);
    }
    cairo_surface_destroy(surface);
    return shot;
}

Shot Session::pollShot(const std::string& label, const std::function<bool(const Shot&)>& test,
                       std::chrono::milliseconds limit)
{
    fs::create_directories(E2E_SHOTS);
    const std::string path = std::string(E2E_SHOTS) + "/" + m_name + "-" + label + ".png";
    Shot shot;
    test_support::waitUntil(
        [&] {
            shot = takeShot(path);
            return shot.valid() && test(shot);
        },
        limit, 100ms);
    return shot;
}

std::string Session::readFile(const std::string& path) const
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace e2e
