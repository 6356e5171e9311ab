#include "app/startup.h"

#include <sched.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

using namespace pv;

TEST(Startup, DefaultStepsAreTheProgramsAndPinningCoversEveryThread) {
    const StartupSequence steps = StartupSequence::defaults();
    EXPECT_TRUE(steps.pinProcessor && steps.loadAnnouncement && steps.drawHistoryWorker &&
                steps.checkForUpdate && steps.requestVisitCounter);
    EXPECT_FALSE(steps.applyStyle);  // the window's own

    // In a child process, so the test process keeps its processors.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::atomic<pid_t> tid{0};
        std::atomic<bool> done{false};
        std::thread earlier([&] {
            tid = pid_t(syscall(SYS_gettid));
            while (!done)
                std::this_thread::yield();
        });
        while (tid == 0)
            std::this_thread::yield();
        const bool pinned = pinToFirstProcessor();
        cpu_set_t mine, theirs;
        sched_getaffinity(0, sizeof mine, &mine);
        sched_getaffinity(tid, sizeof theirs, &theirs);
        done = true;
        earlier.join();
        const bool ok = pinned && CPU_COUNT(&mine) == 1 && CPU_ISSET(0, &mine) &&
                        CPU_COUNT(&theirs) == 1 && CPU_ISSET(0, &theirs);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
