#include "core/window_wait.h"

#include <mutex>

namespace pv {
namespace {

std::mutex g_hookMutex;
WindowWaitHook g_hook;

}  // namespace

void setWindowWaitHook(WindowWaitHook hook) {
    std::lock_guard lock(g_hookMutex);
    g_hook = std::move(hook);
}

void waitServingWindow(const std::function<void()>& work) {
    WindowWaitHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    if (!hook || !hook(work)) work();
}

}  // namespace pv
