#include "core/shutdown.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace pv {
namespace {

std::atomic<bool> g_shuttingDown{false};
std::mutex g_mutex;
std::condition_variable g_changed;
int g_live = 0;

}  // namespace

bool shuttingDown() {
    return g_shuttingDown.load(std::memory_order_acquire);
}
void beginShutdown() {
    g_shuttingDown.store(true, std::memory_order_release);
}
void resetShutdownForTesting() {
    g_shuttingDown.store(false, std::memory_order_release);
}

WorkerScope::WorkerScope() {
    std::lock_guard lock(g_mutex);
    ++g_live;
}

WorkerScope::~WorkerScope() {
    std::lock_guard lock(g_mutex);
    --g_live;
    g_changed.notify_all();
}

int liveWorkers() {
    std::lock_guard lock(g_mutex);
    return g_live;
}

bool waitForWorkers(std::chrono::milliseconds timeout) {
    std::unique_lock lock(g_mutex);
    return g_changed.wait_for(lock, timeout, [] { return g_live == 0; });
}

}  // namespace pv
