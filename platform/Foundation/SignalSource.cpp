#include "Foundation/SignalSource.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
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

extern "C" void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &number, 1);
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
    setAction(onSignal);
    if (!state.source)
        state.source =
            NSRunLoop::mainRunLoop()->addFileDescriptorSource(g_pipe[0], {NSRunLoopCommonModes}, readSignals);
}
