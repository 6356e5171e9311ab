#include "core/threads.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "core/shutdown.h"

namespace pv {
namespace {

struct Lock {
    std::mutex mutex;
    std::condition_variable changed;
    std::thread::id owner;
    int depth = 0;
    int waiters = 0;
    bool deleted = false;
};

struct Registry {
    std::mutex mutex;
    std::map<LockHandle, std::shared_ptr<Lock>> locks;
    std::map<ThreadHandle, std::thread> threads;
    std::uint32_t nextHandle = 0;
};

// Never destroyed: a handle may still be open at exit (destroying a joinable thread ends the
// process), and threads that outlive main() still reach the table.
Registry& registry() {
    static Registry* const r = new Registry;
    return *r;
}

std::uint32_t nextHandle() {
    Registry& r = registry();
    if (++r.nextHandle == 0) ++r.nextHandle;
    return r.nextHandle;
}

std::shared_ptr<Lock> findLock(LockHandle handle) {
    std::lock_guard guard(registry().mutex);
    auto it = registry().locks.find(handle);
    return it == registry().locks.end() ? nullptr : it->second;
}

}  // namespace

bool startThread(std::function<void(int)> entry, int argument, ThreadHandle* handleOut) {
    if (!entry) return false;
    // The scope is taken before the thread exists, so a wait at exit never misses it.
    auto scope = std::make_shared<WorkerScope>();
    std::thread thread;
    try {
        thread = std::thread([entry = std::move(entry), argument, scope]() mutable {
            entry(argument);
            scope.reset();
        });
    } catch (const std::system_error&) {
        return false;
    }
    if (!handleOut) {
        thread.detach();
        return true;
    }
    std::lock_guard guard(registry().mutex);
    ThreadHandle handle = nextHandle();
    registry().threads.emplace(handle, std::move(thread));
    *handleOut = handle;
    return true;
}

void closeThreadHandle(ThreadHandle handle) {
    std::lock_guard guard(registry().mutex);
    auto it = registry().threads.find(handle);
    if (it == registry().threads.end()) return;
    it->second.detach();
    registry().threads.erase(it);
}

bool joinThread(ThreadHandle handle) {
    std::thread thread;
    {
        std::lock_guard guard(registry().mutex);
        auto it = registry().threads.find(handle);
        if (it == registry().threads.end()) return false;
        thread = std::move(it->second);
        registry().threads.erase(it);
    }
    if (thread.get_id() == std::this_thread::get_id()) {
        thread.detach();
        return false;
    }
    thread.join();
    return true;
}

LockHandle createLock() {
    std::lock_guard guard(registry().mutex);
    LockHandle handle = nextHandle();
    registry().locks.emplace(handle, std::make_shared<Lock>());
    return handle;
}

bool deleteLock(LockHandle handle) {
    std::shared_ptr<Lock> lock;
    {
        std::lock_guard guard(registry().mutex);
        auto it = registry().locks.find(handle);
        if (it == registry().locks.end()) return false;
        lock = std::move(it->second);
        registry().locks.erase(it);
    }
    // Its waiters would wait for a leaveLock that can no longer reach the lock: they go on as
    // on any dead handle.
    std::lock_guard guard(lock->mutex);
    lock->deleted = true;
    lock->changed.notify_all();
    return true;
}

void enterLock(LockHandle handle) {
    std::shared_ptr<Lock> lock = findLock(handle);
    if (!lock) return;
    std::unique_lock guard(lock->mutex);
    const auto self = std::this_thread::get_id();
    const auto free = [&] { return lock->deleted || lock->depth == 0 || lock->owner == self; };
    if (!free()) {
        ++lock->waiters;
        lock->changed.notify_all();
        lock->changed.wait(guard, free);
        --lock->waiters;
    }
    if (lock->deleted) return;
    lock->owner = self;
    ++lock->depth;
}

void leaveLock(LockHandle handle) {
    std::shared_ptr<Lock> lock = findLock(handle);
    if (!lock) return;
    std::lock_guard guard(lock->mutex);
    if (lock->depth == 0 || lock->owner != std::this_thread::get_id()) return;
    if (--lock->depth == 0) {
        lock->owner = {};
        lock->changed.notify_all();
    }
}

bool waitForLockWaitersForTesting(LockHandle handle, int count, std::chrono::milliseconds timeout) {
    std::shared_ptr<Lock> lock = findLock(handle);
    if (!lock) return false;
    std::unique_lock guard(lock->mutex);
    return lock->changed.wait_for(guard, timeout, [&] { return lock->waiters >= count; });
}

}  // namespace pv
