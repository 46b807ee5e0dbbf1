#pragma once
// SIGTERM and SIGINT as a source of the main run loop: the signal handler
// only writes the signal number to a pipe, and the handler the application
// installs runs on the main thread, in any common mode, in the next pass.
#include <functional>

class NSSignalSource {
public:
    using Handler = std::function<void(int signal)>;

    // Installs the handler for SIGTERM and SIGINT; an empty handler restores
    // the default actions.
    static void setTerminationHandler(Handler handler);
};
