// How a long wait on the window thread keeps the window alive. The window installs a hook that
// runs a piece of work on a short-lived thread of its own while the window thread goes on serving
// its events; everywhere else, and without a hook, the work runs on the calling thread.
#pragma once

#include <functional>

namespace pv {

// Runs work to its end while serving the window, and returns true; returns false without running
// it when the calling thread is not the window thread.
using WindowWaitHook = std::function<bool(const std::function<void()>& work)>;
void setWindowWaitHook(WindowWaitHook hook);

// Returns once work has ended; on the window thread it waits through the installed hook.
void waitServingWindow(const std::function<void()>& work);

}  // namespace pv
