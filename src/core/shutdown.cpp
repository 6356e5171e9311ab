#include "core/shutdown.h"

#include <atomic>

namespace pv {
namespace {

std::atomic<bool> g_shuttingDown{false};

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

}  // namespace pv
