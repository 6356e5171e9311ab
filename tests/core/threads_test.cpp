#include "core/threads.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/shutdown.h"

using namespace pv;
using namespace std::chrono_literals;

TEST(Threads, RunEntryWithItsArgumentDetachedOrJoinable) {
    std::promise<int> seen;
    auto result = seen.get_future();
    ASSERT_TRUE(startThread([&seen](int arg) { seen.set_value(arg); }, 7));
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(result.get(), 7);

    std::atomic<int> ran{0};
    ThreadHandle handle = 0;
    ASSERT_TRUE(startThread([&ran](int) { ++ran; }, 0, &handle));
    EXPECT_NE(handle, 0u);
    EXPECT_TRUE(joinThread(handle));
    EXPECT_EQ(ran.load(), 1);
    EXPECT_FALSE(joinThread(handle));  // the handle is gone
    closeThreadHandle(handle);         // and closing it again is harmless
    EXPECT_FALSE(startThread(nullptr));
    // The detached worker is joined once it has ended: none is left behind.
    EXPECT_TRUE(waitForWorkers(10s));
}

TEST(ThreadsDeathTest, AHandleLeftOpenDoesNotAbortTheExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Still running at exit, and waiting on nothing that exit destroys.
            ThreadHandle handle = 0;
            startThread(
                [](int) {
                    for (;;)
                        pause();
                },
                0, &handle);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Threads, WorkersCountUntilTheyReturn) {
    std::promise<void> release;
    auto gate = release.get_future().share();
    ASSERT_TRUE(startThread([gate](int) { gate.wait(); }));
    EXPECT_GE(liveWorkers(), 1);
    EXPECT_FALSE(waitForWorkers(0ms));
    release.set_value();
    EXPECT_TRUE(waitForWorkers(10s));
}

namespace {
// Holds its destructor until released, and tells when it got there.
struct Lingerer {
    std::promise<void>* reached = nullptr;
    std::shared_future<void> release;
    ~Lingerer() {
        if (!reached) return;
        reached->set_value();
        release.wait();
    }
};
}  // namespace

TEST(Threads, AWorkerCountsUntilItsCapturedStateAndThreadLocalsAreGone) {
    for (bool threadLocal : {false, true}) {
        SCOPED_TRACE(threadLocal ? "thread-local" : "captured");
        std::promise<void> destroying;
        std::promise<void> release;
        auto reached = destroying.get_future();
        auto gate = release.get_future().share();
        if (threadLocal) {
            ASSERT_TRUE(startThread([&destroying, gate](int) {
                thread_local Lingerer late;
                late.reached = &destroying;
                late.release = gate;
            }));
        } else {
            auto late = std::make_shared<Lingerer>();
            late->reached = &destroying;
            late->release = gate;
            ASSERT_TRUE(startThread([late = std::move(late)](int) {}));
        }
        EXPECT_EQ(reached.wait_for(10s), std::future_status::ready);
        EXPECT_FALSE(waitForWorkers(0ms));
        release.set_value();
        EXPECT_TRUE(waitForWorkers(10s));
    }
}

TEST(Locks, DeadHandlesAreIgnored) {
    enterLock(0);
    leaveLock(0);
    EXPECT_FALSE(deleteLock(0));
    LockHandle lock = createLock();
    EXPECT_NE(lock, 0u);
    EXPECT_TRUE(deleteLock(lock));
    EXPECT_FALSE(deleteLock(lock));
    enterLock(lock);  // deleted: must neither block nor crash
    leaveLock(lock);
}

TEST(Locks, ExcludeOtherThreadsAndAllowReentry) {
    LockHandle lock = createLock();
    enterLock(lock);
    enterLock(lock);  // the holder may enter again
    std::atomic<bool> entered{false};
    ThreadHandle other = 0;
    ASSERT_TRUE(startThread(
        [&](int) {
            leaveLock(lock);  // not the holder: ignored
            enterLock(lock);
            entered = true;
            leaveLock(lock);
        },
        0, &other));
    leaveLock(lock);
    // Still held once: the other thread blocks in enterLock.
    ASSERT_TRUE(waitForLockWaitersForTesting(lock, 1, 10s));
    EXPECT_FALSE(entered.load());
    leaveLock(lock);
    EXPECT_TRUE(joinThread(other));
    EXPECT_TRUE(entered.load());
    EXPECT_TRUE(deleteLock(lock));
}

TEST(Locks, DeletingAHeldLockReleasesItsWaiters) {
    LockHandle lock = createLock();
    enterLock(lock);
    // Shared, so that a waiter stranded by a fault outlives the test harmlessly.
    auto through = std::make_shared<std::promise<void>>();
    auto passed = through->get_future();
    ASSERT_TRUE(startThread([lock, through](int) {
        enterLock(lock);
        through->set_value();
        leaveLock(lock);
    }));
    ASSERT_TRUE(waitForLockWaitersForTesting(lock, 1, 10s));
    EXPECT_TRUE(deleteLock(lock));
    EXPECT_EQ(passed.wait_for(10s), std::future_status::ready);
    leaveLock(lock);  // the holder's own leave finds no lock
    EXPECT_TRUE(waitForWorkers(10s));
}
