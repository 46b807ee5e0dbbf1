#pragma once
// What the X11 test programs share: running the program's loop until the
// server has answered, and running tools (xdotool, xrandr) to their end.
#include <spawn.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "AppKit/NSApplication.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSRunLoop.h"
#include "WaitUntil.h"

extern char** environ;

// Dispatches events and runs the loop until the condition holds (five
// seconds at most); answers the condition.
inline bool waitFor(const std::function<bool()>& condition)
{
    return test_support::waitUntil(
        [&] {
            // Waiting for the next event is the pause between questions.
            while (auto e = NSApp->nextEventMatchingMask(NSAnyEventMask, NSDate::dateWithTimeIntervalSinceNow(0.01),
                                                         NSDefaultRunLoopMode, true))
                NSApp->sendEvent(e);
            return condition();
        },
        std::chrono::seconds(5), std::chrono::milliseconds(0));
}

// Starts a tool on the test's display; -1 when it cannot start.
inline pid_t spawnTool(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

// Runs a tool to its end, at most five seconds; answers whether it succeeded.
inline bool runTool(std::vector<std::string> args)
{
    const pid_t pid = spawnTool(std::move(args));
    if (pid < 0) return false;
    const auto status = test_support::waitForExitOrKill(pid, std::chrono::seconds(5));
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}
