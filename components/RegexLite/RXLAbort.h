#pragma once
// The hook that stops the process after a broken internal invariant was
// logged. Tests replace it to observe the stop; the default aborts.
#include <functional>

using RXLAbortHook = std::function<void()>;

// Installs a hook and answers the previous one; an empty hook restores abort.
RXLAbortHook RXLSetAbortHook(RXLAbortHook hook);
