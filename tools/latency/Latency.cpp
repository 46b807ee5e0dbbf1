// plumbline-latency: how long the running program takes to follow the pointer.
//
// Starts a private Xvfb with xcompmgr and the program (temporary HOME and XDG
// folders), finds the corner ruler, then moves the pointer below it by XTest
// motion (which the server reports as raw motion, as a real mouse's) and
// polls the composited root until the red marker stands in the pointer's
// column. Reports the latency percentiles, the CPU the program used per
// motion (its threads' run time from /proc/<pid>/task/*/schedstat) and its
// context switches per motion. With
// --launches N it measures start-up instead: from exec to the first window
// mapped on the root, each launch with fresh folders (a first launch).
//
//   plumbline-latency [--program PATH] [--events N] [--interval MS] [--warmup N]
//   plumbline-latency [--program PATH] --launches N
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kScreenWidth = 1920, kScreenHeight = 1080;
constexpr int kArm = 40;  // the horizontal arm's height, where the marker shows

struct Options {
    std::string program = PLUMBLINE_PROGRAM;
    int events = 400;
    int warmup = 40;
    double intervalMs = 8;  // a 125 Hz mouse
    int launches = 0;
};

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "plumbline-latency: %s\n", message.c_str());
    std::exit(1);
}

// --- Processes ---

std::vector<pid_t> g_started;

void stopAll()
{
    for (auto it = g_started.rbegin(); it != g_started.rend(); ++it) {
        kill(*it, SIGTERM);
        for (int i = 0; i < 100 && waitpid(*it, nullptr, WNOHANG) == 0; ++i) std::this_thread::sleep_for(20ms);
        kill(*it, SIGKILL);
        waitpid(*it, nullptr, 0);
    }
    g_started.clear();
}

pid_t spawn(const std::vector<std::string>& argv, const std::string& log, int keepFd = -1)
{
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(1);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        if (keepFd >= 0) dup2(keepFd, 3);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    g_started.push_back(pid);
    return pid;
}

std::string output(const std::string& command)
{
    std::string result;
    if (FILE* f = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, f)) result += buffer;
        pclose(f);
    }
    return result;
}

std::string startServer(const std::string& folder)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) fail("pipe failed");
    const std::string screen = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
    spawn({"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", screen}, folder + "/xvfb.log",
          fds[1]);
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    const auto deadline = Clock::now() + 20s;
    while (Clock::now() < deadline) {
        if (poll(&p, 1, 100) <= 0) continue;
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) fail("Xvfb did not start (see " + folder + "/xvfb.log)");
    return ":" + number;
}

// CPU time of all the process's threads, in nanoseconds.
uint64_t cpuTime(pid_t pid)
{
    uint64_t total = 0;
    std::error_code ignored;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ignored)) {
        std::ifstream in(task.path() / "schedstat");
        uint64_t ns = 0;
        if (in >> ns) total += ns;
    }
    return total;
}

// Context switches of all the program's threads, voluntary (waiting) and not.
uint64_t contextSwitches(pid_t pid)
{
    uint64_t total = 0;
    std::error_code ignored;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ignored)) {
        std::ifstream in(task.path() / "status");
        std::string line;
        while (std::getline(in, line))
            if (line.find("ctxt_switches:") != std::string::npos)
                total += std::strtoull(line.substr(line.find(':') + 1).c_str(), nullptr, 10);
    }
    return total;
}

// --- X ---

xcb_extension_t g_xtest = {"XTEST", 0};

// XTest FakeInput: an absolute motion of the core pointer, which the server
// reports as raw motion of the XTest device.
void fakeMotion(xcb_connection_t* c, xcb_window_t root, int x, int y)
{
    struct Request {
        uint8_t major, minor;
        uint16_t length;
        uint8_t type, detail;
        uint16_t pad0;
        uint32_t time, root;
        uint8_t pad1[8];
        int16_t x, y;
        uint8_t pad2[7];
        uint8_t device;
    } request{};
    static_assert(sizeof(Request) == 36);
    request.type = XCB_MOTION_NOTIFY;
    request.root = root;
    request.x = int16_t(x);
    request.y = int16_t(y);
    xcb_protocol_request_t info{2, &g_xtest, 2, 1};  // two parts, FakeInput, no reply
    iovec parts[4];
    parts[2] = {&request, sizeof request};
    parts[3] = {nullptr, 0};
    xcb_send_request(c, 0, parts + 2, &info);
    xcb_flush(c);
}

bool isReddish(uint32_t rgb)
{
    const uint32_t r = (rgb >> 16) & 0xff, g = (rgb >> 8) & 0xff, b = rgb & 0xff;
    return r > 150 && g < 110 && b < 110;
}

// Whether the marker stands in the column (or the next).
bool markerAt(xcb_connection_t* c, xcb_window_t root, int column, int top)
{
    auto* image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(column), int16_t(top), 2, kArm, ~0u), nullptr);
    if (!image) return false;
    const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    const int count = xcb_get_image_data_length(image) / 4;
    int red = 0;
    for (int i = 0; i < count; ++i) red += isReddish(pixels[i]);
    std::free(image);
    return red >= 10;
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry findCornerRuler(const std::string& display)
{
    const std::string prefix = "DISPLAY=" + display + " ";
    const std::string id =
        output(prefix + "timeout 30 xdotool search --sync --onlyvisible --name 'Corner Ruler' | head -1");
    if (id.empty()) fail("the corner ruler did not appear");
    Geometry g;
    const std::string shell = output(prefix + "xdotool getwindowgeometry --shell " + id);
    std::sscanf(std::strstr(shell.c_str(), "X=") ? std::strstr(shell.c_str(), "X=") : "", "X=%d", &g.x);
    std::sscanf(std::strstr(shell.c_str(), "Y=") ? std::strstr(shell.c_str(), "Y=") : "", "Y=%d", &g.y);
    std::sscanf(std::strstr(shell.c_str(), "WIDTH=") ? std::strstr(shell.c_str(), "WIDTH=") : "", "WIDTH=%d", &g.width);
    std::sscanf(std::strstr(shell.c_str(), "HEIGHT=") ? std::strstr(shell.c_str(), "HEIGHT=") : "", "HEIGHT=%d",
                &g.height);
    return g;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p / 100 * double(values.size())));
    return values[index];
}

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) fail(a + " needs a value");
            return argv[++i];
        };
        if (a == "--program") o.program = next();
        else if (a == "--events") o.events = std::stoi(next());
        else if (a == "--warmup") o.warmup = std::stoi(next());
        else if (a == "--interval") o.intervalMs = std::stod(next());
        else if (a == "--launches") o.launches = std::stoi(next());
        else fail("unknown option " + a + " (--program PATH, --events N, --warmup N, --interval MS, --launches N)");
    }
    return o;
}

// Fresh HOME and XDG folders under `folder` for the processes started next.
void useFreshFolders(const std::string& folder)
{
    for (const char* sub : {"home", "config", "data", "cache", "state", "runtime"}) {
        std::error_code ignored;
        fs::remove_all(folder + "/" + sub, ignored);
        fs::create_directory(folder + "/" + sub);
    }
    fs::permissions(folder + "/runtime", fs::perms::owner_all);
    setenv("HOME", (folder + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
    setenv("XDG_STATE_HOME", (folder + "/state").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder + "/runtime").c_str(), 1);
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 250 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) std::this_thread::sleep_for(20ms);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    g_started.erase(std::remove(g_started.begin(), g_started.end(), pid), g_started.end());
}

int measureLaunches(const Options& options, const std::string& folder, const std::string& display)
{
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c)) fail("cannot connect to " + display);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &events);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::vector<double> times;
    for (int i = 0; i < options.launches; ++i) {
        useFreshFolders(folder);
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) std::free(e);
        const auto started = Clock::now();
        const pid_t program = spawn({options.program}, folder + "/plumbline.log");
        bool mapped = false;
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        while (!mapped && Clock::now() - started < 20s) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
                mapped = mapped || (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
                std::free(e);
            }
            if (!mapped) poll(&p, 1, 10);
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        if (mapped) times.push_back(ms);
        std::printf("launch %2d         %s\n", i + 1, mapped ? (std::to_string(int(ms)) + " ms").c_str() : "no window");
        stop(program);
    }
    xcb_disconnect(c);
    std::printf("launch median     %.1f ms (%zu of %d launches)\n", percentile(times, 50), times.size(),
                options.launches);
    return times.empty() ? 1 : 0;
}

int measureLatency(const Options& options, const std::string& folder, const std::string& display)
{
    useFreshFolders(folder);
    const pid_t program = spawn({options.program}, folder + "/plumbline.log");
    const Geometry ruler = findCornerRuler(display);
    if (ruler.width < 300) fail("the corner ruler is too narrow to measure");

    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c)) fail("cannot connect to " + display);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (!xcb_get_extension_data(c, &g_xtest)->present) fail("the server has no XTest");
    // Columns along the arm, far enough apart that the old marker never
    // counts for the new one; the pointer stays below the ruler, over the root.
    const int y = ruler.y + ruler.height + 40;
    const int first = ruler.x + 60, span = std::min(ruler.width - 120, 400);
    auto column = [&](int i) { return first + (i * 37) % span; };
    std::vector<double> latencies;
    int missed = 0;
    uint64_t cpuStart = 0, switchesStart = 0;
    Clock::time_point wallStart;
    const auto interval =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(options.intervalMs));
    for (int i = 0; i < options.warmup + options.events; ++i) {
        if (i == options.warmup) {
            cpuStart = cpuTime(program);
            switchesStart = contextSwitches(program);
            wallStart = Clock::now();
        }
        const int x = column(i);
        const auto sent = Clock::now();
        fakeMotion(c, root, x, y);
        bool seen = false;
        while (Clock::now() - sent < 500ms) {
            if (markerAt(c, root, x, ruler.y)) {
                seen = true;
                break;
            }
            std::this_thread::sleep_for(100us);
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
        if (i >= options.warmup) {
            if (seen) latencies.push_back(ms);
            else ++missed;
        }
        std::this_thread::sleep_until(sent + interval);
    }
    const uint64_t cpu = cpuTime(program) - cpuStart;
    const uint64_t switches = contextSwitches(program) - switchesStart;
    const double seconds = std::chrono::duration<double>(Clock::now() - wallStart).count();
    xcb_disconnect(c);
    stop(program);

    const double perEvent = double(cpu) / 1e6 / options.events;
    std::printf("events            %d (%d missed the 500 ms deadline), %.1f s\n", options.events, missed, seconds);
    std::printf("CPU per motion    %.3f ms\n", perEvent);
    std::printf("switches/motion   %.2f\n", double(switches) / options.events);
    std::printf("latency median    %.2f ms\n", percentile(latencies, 50));
    std::printf("latency p90       %.2f ms\n", percentile(latencies, 90));
    std::printf("latency p99       %.2f ms\n", percentile(latencies, 99));
    std::printf("latency max       %.2f ms\n", percentile(latencies, 100));
    return missed == options.events ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    char pattern[] = "/tmp/plumbline-latency-XXXXXX";
    if (!mkdtemp(pattern)) fail("cannot make a temporary folder");
    const std::string folder = pattern;
    const std::string display = startServer(folder);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("LANG", "C.UTF-8", 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    std::system("xsetroot -solid '#6e6e6e'");
    spawn({"xcompmgr"}, folder + "/xcompmgr.log");
    const int status =
        options.launches > 0 ? measureLaunches(options, folder, display) : measureLatency(options, folder, display);
    stopAll();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
