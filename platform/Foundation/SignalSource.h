#pragma once
// SIGTERM and SIGINT as a source of the main run loop: the signal handler
// only writes the signal number to a pipe, and the handler the application
// installs runs on the main thread, in any common mode, in the next pass.
//
// Changed user defaults are written to their files just before the handler
// runs, so a handler may end the process at once (exit, _exit) without losing
// them. Whether and how the process ends is the handler's decision: with a
// handler installed the layer exits by itself only when the main thread has
// not run the handler to its end within a second of the signal (it is
// blocked); it then writes the changed defaults and exits with status 0.
#include <functional>

class SignalSource {
public:
    using Handler = std::function<void(int signal)>;

    // Installs the handler for SIGTERM and SIGINT; an empty handler restores
    // the default actions.
    static void setTerminationHandler(Handler handler);
};
