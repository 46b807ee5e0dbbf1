// The Dock icon under a window manager: a program started as an accessory
// keeps its window out of the task bar and pager and docks no icon; showing
// the icon lists the window (openbox drops _NET_WM_STATE_SKIP_TASKBAR) and
// docks the icon into the tray stand-in.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

#include "../../platform/backend/x11/FakeTray.h"
#include "TemporaryFolder.h"
#include "WaitUntil.h"
#include "XvfbServer.h"

extern char** environ;

namespace {

pid_t spawn(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

std::string output(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        std::array<char, 512> buffer;
        while (fgets(buffer.data(), int(buffer.size()), p)) out += buffer.data();
        pclose(p);
    }
    return out;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::seconds limit = std::chrono::seconds(20))
{
    return test_support::waitUntil(condition, limit, std::chrono::milliseconds(100));
}

struct Child {
    pid_t pid = -1;
    ~Child()
    {
        if (pid > 0) test_support::stopChild(pid);
    }
};

}

TEST(DockIconUnderX11, AnAccessoryGetsItsTaskBarEntryAndTrayIconWhenTheIconIsShown)
{
    for (const char* tool : {"Xvfb", "openbox", "xprop", "xdotool"})
        if (!test_support::onPath(tool)) GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
    test_support::XvfbServer xvfb;
    ASSERT_TRUE(xvfb.start(1024, 768)) << xvfb.problem();
    ScopedEnvironment display("DISPLAY", xvfb.display());
    ScopedEnvironment backend("PLUMBLINE_BACKEND", "x11");
    Child wm{spawn({"openbox"})};
    ASSERT_TRUE(waitUntil([] {
        return output("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos;
    })) << "openbox did not start";
    FakeTray tray;

    TemporaryFolder folder;
    const std::string flag = folder / "show";
    Child probe{spawn({WORKSPACE_PROBE, "dock", flag})};
    std::string window;
    ASSERT_TRUE(waitUntil([&] {
        window = output("xdotool search --onlyvisible --name '^Workspace Probe$' 2>/dev/null | head -n1");
        while (!window.empty() && window.back() == '\n') window.pop_back();
        return !window.empty();
    })) << "the probe's window did not appear";
    auto state = [&] { return output("xprop -id " + window + " _NET_WM_STATE"); };
    ASSERT_TRUE(waitUntil([&] { return state().find("_NET_WM_STATE_SKIP_TASKBAR") != std::string::npos; }))
        << "an accessory's window is listed: " << state();
    EXPECT_NE(state().find("_NET_WM_STATE_SKIP_PAGER"), std::string::npos);
    EXPECT_EQ(tray.takeDockRequest(), 0u) << "an accessory docked an icon";

    writeFile(flag, "show\n");
    ASSERT_TRUE(waitUntil([&] { return readFile(flag + ".done").has_value(); })) << "the probe did not show its icon";
    EXPECT_TRUE(waitUntil([&] { return state().find("_NET_WM_STATE_SKIP_TASKBAR") == std::string::npos; }))
        << "still unlisted: " << state();
    EXPECT_EQ(state().find("_NET_WM_STATE_SKIP_PAGER"), std::string::npos);
    EXPECT_TRUE(waitUntil([&] { return tray.takeDockRequest() != 0; })) << "no icon was docked";
}
