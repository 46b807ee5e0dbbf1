#include "Foundation/SignalSource.h"

#include <fcntl.h>
#include <semaphore.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "Foundation/NSException.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSUserDefaults.h"

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};

int g_pipe[2] = {-1, -1};

struct Installed {
    std::mutex lock;
    SignalSource::Handler handler;
    NSRunLoop::SourceID source = 0;
};

Installed& installed()
{
    // Never destroyed: a signal may arrive during static destruction.
    static auto* state = new Installed;
    return *state;
}

// A signal the main thread has not handled within a second (it may be
// blocked writing to a stalled display connection) is honoured all the
// same: the watchdog writes the changed defaults and ends the process.
sem_t g_signalled;
std::atomic<int> g_lastSignal{0};
std::atomic<unsigned> g_received{0};
std::atomic<unsigned> g_handled{0};

void watch()
{
    for (;;) {
        while (::sem_wait(&g_signalled) != 0) { }
        const unsigned received = g_received.load();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (g_handled.load() < received && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (g_handled.load() >= received) continue;
        NSUserDefaults::synchronizeAllIfChanged();
        std::fprintf(stderr, "The main thread did not answer signal %d within a second; quitting.\n",
                     g_lastSignal.load());
        ::_exit(0);
    }
}

void startWatchdog()
{
    static std::once_flag started;
    std::call_once(started, [] {
        ::sem_init(&g_signalled, 0, 0);
        std::thread(watch).detach();  // lives as long as the process
    });
}

extern "C" void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &number, 1);
    g_lastSignal.store(signal);
    g_received.fetch_add(1);
    ::sem_post(&g_signalled);
    errno = saved;
}

void readSignals()
{
    unsigned char numbers[64];
    ssize_t count;
    while ((count = ::read(g_pipe[0], numbers, sizeof numbers)) > 0) {
        SignalSource::Handler handler;
        {
            std::lock_guard guard(installed().lock);
            handler = installed().handler;
        }
        if (!handler) continue;
        // Before the handler, which may well end the process.
        NSUserDefaults::synchronizeAllIfChanged();
        for (ssize_t i = 0; i < count; ++i) handler(numbers[i]);
        // The handler returned: whatever it decided stands.
        g_handled.store(g_received.load());
    }
}

void setAction(void (*action)(int))
{
    struct sigaction sa { };
    sa.sa_handler = action;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int signal : kSignals) ::sigaction(signal, &sa, nullptr);
}

}

void SignalSource::setTerminationHandler(Handler handler)
{
    auto& state = installed();
    std::unique_lock guard(state.lock);
    state.handler = std::move(handler);
    if (!state.handler) {
        setAction(SIG_DFL);
        NSRunLoop::SourceID source = std::exchange(state.source, 0);
        guard.unlock();
        if (source) NSRunLoop::mainRunLoop()->removeSource(source);
        return;
    }
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
        NSException::raise(NSInternalInconsistencyException,
                           std::string("Cannot make the signal pipe: ") + std::strerror(errno));
    startWatchdog();
    setAction(onSignal);
    if (!state.source)
        state.source =
            NSRunLoop::mainRunLoop()->addFileDescriptorSource(g_pipe[0], {NSRunLoopCommonModes}, readSignals);
}
