// Overlapping page-cache refreshes against a loopback site, with worker pauses that wait for the
// test, so every pass is counted.
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "core/code_page.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "core/threads.h"
#include "plans/page_cache.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"
#include "support/loopback_server.h"
#include "web/curl_global.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

namespace {

constexpr int kRows = 39;

// Each release ends every pause then waiting; arrivals counts the pauses begun.
class PauseGate {
  public:
    void pass() {
        std::unique_lock lock(mutex_);
        const int round = round_;
        ++arrivals_;
        changed_.notify_all();
        changed_.wait_for(lock, 20s, [&] { return round_ != round; });
    }
    bool waitForArrivals(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 20s, [&] { return arrivals_ >= count; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        ++round_;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int round_ = 0, arrivals_ = 0;
};

Settings siteAt(const test::LoopbackServer& site) {
    Settings s;
    s.planPageSite = site.url("");
    return s;
}

}  // namespace

TEST(PageCache, StoppedWorkersStayStoppedAndOverlappingSetsEndTogether) {
    struct Case {
        const char* what;
        bool nested, closeQuestion;
        int passes;  // both sets run two passes each while they overlap, else the old set one
    };
    for (const Case& c : {Case{"re-entered during the wait", true, false, 4 * kRows},
                          Case{"close question, then re-entered", true, true, 3 * kRows},
                          Case{"started after the first ended", false, false, 3 * kRows}}) {
        SCOPED_TRACE(c.what);
        resetShutdownForTesting();
        test::LoopbackServer site([](const std::string&) {
            return test::httpReply("HTTP/1.1 200 OK", gbkToUtf8(" id=\"planinfo\">等待1"));
        });
        FakeControls controls(layoutTable(), siteAt(site));
        FakeDesktop desktop;
        ProgramState state;
        App app{controls, desktop, siteAt(site), state};
        PauseGate pauses;
        for (int row = 0; row < kRows; ++row)
            controls.setItemText(ctl::kPageCacheList, row, 2, "old");
        int waits = 0;
        desktop.setDelayHook([&](int ms) {
            if (ms != 15000) return pauses.pass();
            if (++waits == 1) {
                ASSERT_TRUE(pauses.waitForArrivals(kRows));  // all fetched, none written yet
                for (int row = 0; row < kRows; ++row)
                    EXPECT_EQ(controls.itemText(ctl::kPageCacheList, row, 2), "") << row;
                if (c.closeQuestion) state.stopFlag.store(1);
                if (!c.nested) return;
                refreshPageCache(app);
                pauses.release();
                EXPECT_TRUE(waitForWorkers(20s));  // the first refresh to end stopped both sets
                return;
            }
            ASSERT_TRUE(pauses.waitForArrivals(2 * kRows));
            EXPECT_EQ(controls.text(ctl::kPageCachePassLog),
                      repeatText(kRows, "3\r\n"));  // cleared again
            pauses.release();
            ASSERT_TRUE(pauses.waitForArrivals(c.passes));
        });
        refreshPageCache(app);
        if (!c.nested) refreshPageCache(app);
        EXPECT_EQ(state.stopFlag.load(), 1);
        pauses.release();
        ASSERT_TRUE(waitForWorkers(20s));
        EXPECT_EQ(site.requests().size(), std::size_t(c.passes));
        EXPECT_EQ(controls.itemText(ctl::kPageCacheList, 0, 2), " id=\"planinfo\"> 1 进行中");
        EXPECT_FALSE(deleteLock(state.currentLock.load()));  // its worker let go of it
        EXPECT_EQ(controls.unknownNames(), std::vector<std::string>());
    }
}

TEST(PageCache, AgainstATricklingSiteTheWorkersEndByTheDeadline) {
    resetShutdownForTesting();
    constexpr auto kDeadline = 1500ms;
    setTransferDeadlineForTesting(kDeadline);
    const int resting = liveWorkers();
    test::LoopbackServer site(
        [](const std::string&) { return test::tricklingReply("HTTP/1.1 200 OK\r\n\r\n", "", 1s); });
    FakeControls controls(layoutTable(), siteAt(site));
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, siteAt(site), state};
    refreshPageCache(app);  // the fake desktop's waits end at once
    const auto refreshEnded = std::chrono::steady_clock::now();
    EXPECT_TRUE(waitForWorkers(kDeadline + 5s));
    EXPECT_EQ(liveWorkers(), resting);
    EXPECT_LT(std::chrono::steady_clock::now() - refreshEnded, kDeadline + 5s);
    resetTransferLimitsForTesting();
}

TEST(PageCache, PausesStayInTheThirtyTwoBitRange) {
    EXPECT_EQ(pagePauseMs(3), 1500);
    EXPECT_EQ(pagePauseMs(INT_MAX), INT_MAX);
    EXPECT_EQ(pagePauseMs(INT_MIN), INT_MIN);
}

TEST(PageCache, ARowKeepsNoMoreThanThePageBound) {
    const std::string start = gbkToUtf8(" id=\"planinfo\">豆豆 等待1 </textarea>\r\n");
    test::LoopbackServer site(
        [&](const std::string&) { return test::generatedReply(3 * kPageBodyBound, true, start); });
    FakeControls controls(layoutTable(), siteAt(site));
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, siteAt(site), state};
    desktop.setDelayHook([&](int) { state.stopFlag.store(1); });  // one pass
    pageWorker(app, 1, createLock(), 1);
    const std::string page = cachedPage(controls, 0);
    const std::string head = " id=\"planinfo\">豆豆  1 进行中 </textarea>\r\nxxxx";
    EXPECT_EQ(page.substr(0, head.size()), head);
    // The first 1 MiB of the body, in GBK, with the word spelt out.
    EXPECT_LE(page.size(), kPageBodyBound + 4);
    EXPECT_GE(page.size(), kPageBodyBound - 8);
}
