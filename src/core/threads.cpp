#include "core/threads.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

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

struct Worker {
    std::thread thread;  // empty once taken by whoever joins it
    bool handleOpen = false;
    bool ended = false;  // its entry, captured state and thread-locals are gone
    bool joined = false;
};

struct Registry {
    std::mutex mutex;
    std::condition_variable changed;  // a worker ended or was joined
    std::map<LockHandle, std::shared_ptr<Lock>> locks;
    // Every thread started here, until it is joined and its handle, if any, closed. Even a
    // thread that runs detached is joined once it has ended, so that nothing of it (the
    // libraries' per-thread clean-up included) still runs when the process ends.
    std::map<ThreadHandle, Worker> workers;
    int unjoined = 0;
    std::uint32_t nextHandle = 0;
};

// Never destroyed: a handle may still be open at exit (destroying a joinable thread ends the
// process), and threads that outlive main() still reach the table.
Registry& registry() {
    static Registry* const r = new Registry;
    return *r;
}

// Locks and threads share one handle space; the registry's mutex is held.
std::uint32_t nextHandle(Registry& r) {
    do {
        if (++r.nextHandle == 0) ++r.nextHandle;
    } while (r.locks.count(r.nextHandle) || r.workers.count(r.nextHandle));
    return r.nextHandle;
}

std::shared_ptr<Lock> findLock(LockHandle handle) {
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    auto it = r.locks.find(handle);
    return it == r.locks.end() ? nullptr : it->second;
}

// The last object a worker thread destroys: it is made before the entry runs, so it goes
// after the entry's captured state and after every other thread-local of the thread.
struct Farewell {
    ThreadHandle id = 0;
    ~Farewell() {
        Registry& r = registry();
        std::lock_guard guard(r.mutex);
        auto it = r.workers.find(id);
        if (it != r.workers.end()) it->second.ended = true;
        r.changed.notify_all();
    }
};

void runWorker(ThreadHandle id, std::function<void(int)> entry, int argument) {
    thread_local Farewell farewell;
    farewell.id = id;
    entry(argument);
    entry = nullptr;
}

// The registry's mutex is held.
void markJoined(Registry& r, ThreadHandle id) {
    auto it = r.workers.find(id);
    if (it == r.workers.end()) return;
    it->second.joined = true;
    --r.unjoined;
    if (!it->second.handleOpen) r.workers.erase(it);
    r.changed.notify_all();
}

bool anyEndedUnjoined(const Registry& r) {
    for (const auto& [id, w] : r.workers) {
        if (w.ended && w.thread.joinable()) return true;
    }
    return false;
}

// Joins the threads that have ended. They are past their own code, so this takes moments.
void joinEnded() {
    Registry& r = registry();
    std::vector<std::pair<ThreadHandle, std::thread>> ended;
    {
        std::lock_guard guard(r.mutex);
        for (auto& [id, w] : r.workers) {
            if (w.ended && w.thread.joinable() && w.thread.get_id() != std::this_thread::get_id())
                ended.emplace_back(id, std::move(w.thread));
        }
    }
    if (ended.empty()) return;
    for (auto& [id, thread] : ended)
        thread.join();
    std::lock_guard guard(r.mutex);
    for (auto& [id, thread] : ended)
        markJoined(r, id);
}

}  // namespace

bool startThread(std::function<void(int)> entry, int argument, ThreadHandle* handleOut) {
    if (!entry) return false;
    joinEnded();  // keeps the table to the threads that still run
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    // Registered before the thread exists, so a wait at exit never misses it.
    const ThreadHandle id = nextHandle(r);
    Worker& worker = r.workers[id];
    worker.handleOpen = handleOut != nullptr;
    try {
        worker.thread = std::thread(runWorker, id, std::move(entry), argument);
    } catch (const std::system_error&) {
        r.workers.erase(id);
        return false;
    }
    ++r.unjoined;
    if (handleOut) *handleOut = id;
    return true;
}

void closeThreadHandle(ThreadHandle handle) {
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    auto it = r.workers.find(handle);
    if (it == r.workers.end() || !it->second.handleOpen) return;
    it->second.handleOpen = false;
    if (it->second.joined) r.workers.erase(it);
}

bool joinThread(ThreadHandle handle) {
    Registry& r = registry();
    std::unique_lock guard(r.mutex);
    auto it = r.workers.find(handle);
    if (it == r.workers.end() || !it->second.handleOpen) return false;
    if (it->second.thread.get_id() == std::this_thread::get_id()) {
        // A thread cannot wait for itself: the handle closes, and the thread is joined once
        // it has ended.
        it->second.handleOpen = false;
        return false;
    }
    if (it->second.thread.joinable()) {
        std::thread thread = std::move(it->second.thread);
        guard.unlock();
        thread.join();
        guard.lock();
        markJoined(r, handle);
    }
    // Otherwise joinEnded has taken it: its join is a matter of moments.
    r.changed.wait(guard, [&] {
        auto w = r.workers.find(handle);
        return w == r.workers.end() || w->second.joined;
    });
    auto w = r.workers.find(handle);
    if (w != r.workers.end() && w->second.handleOpen) r.workers.erase(w);
    return true;
}

int liveWorkers() {
    joinEnded();
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    return r.unjoined;
}

bool waitForWorkers(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Registry& r = registry();
    for (;;) {
        joinEnded();
        std::unique_lock guard(r.mutex);
        if (r.unjoined == 0) return true;
        if (!r.changed.wait_until(guard, deadline,
                                  [&] { return r.unjoined == 0 || anyEndedUnjoined(r); }))
            return false;
    }
}

LockHandle createLock() {
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    LockHandle handle = nextHandle(r);
    r.locks.emplace(handle, std::make_shared<Lock>());
    return handle;
}

bool deleteLock(LockHandle handle) {
    std::shared_ptr<Lock> lock;
    {
        Registry& r = registry();
        std::lock_guard guard(r.mutex);
        auto it = r.locks.find(handle);
        if (it == r.locks.end()) return false;
        lock = std::move(it->second);
        r.locks.erase(it);
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

int liveLocks() {
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    return static_cast<int>(r.locks.size());
}

}  // namespace pv
