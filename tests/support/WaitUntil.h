#pragma once
// The one way a test waits for what another thread or process does: the
// condition is asked again and again until it holds or the deadline passes.
// The answer says whether it held, so a test fails with its own message
// instead of hanging; nothing waits a fixed time and hopes.
#include <sys/types.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <thread>

namespace test_support {

// Asks the condition, then again every `interval`, until it holds (true) or
// `limit` has passed since the call (false, after one last question).
template <typename Condition>
bool waitUntil(Condition&& condition, std::chrono::milliseconds limit,
               std::chrono::milliseconds interval = std::chrono::milliseconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(interval);
    }
}

// Waits for a child process to end: its wait status, or nothing when it
// still runs after `limit` (it is left running; the caller decides).
inline std::optional<int> waitForExit(pid_t child, std::chrono::milliseconds limit)
{
    int status = 0;
    if (waitUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; }, limit)) return status;
    return std::nullopt;
}

// Waits for a child process to end, killing it when it has not after
// `limit`; answers its wait status, or nothing when it had to be killed.
inline std::optional<int> waitForExitOrKill(pid_t child, std::chrono::milliseconds limit)
{
    if (auto status = waitForExit(child, limit)) return status;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return std::nullopt;
}

}  // namespace test_support
