// The page cache against a plan page site on loopback, with pauses the test lets pass.
#include <chrono>
#include <climits>
#include <condition_variable>
#include <functional>
#include <mutex>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "core/code_page.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_desktop.h"
#include "loopback_server.h"
#include "plans/catalogue.h"
#include "plans/page_cache.h"

using namespace pv;
using namespace std::chrono_literals;

namespace {

constexpr int kRows = 39;
constexpr int kRefreshMs = 15000;

// "{1}" and "{2}" mark the waiting words of the open periods.
std::string pageTemplate(int detailPage) {
    return "<textarea id=\"planinfo\">" + std::to_string(detailPage) +
           " 计划\r\n125期 {1}\r\n126期 {2}\r\n </textarea>\r\n";
}

std::string fillWaits(std::string text, const std::string& one, const std::string& two) {
    text.replace(text.find("{1}"), 3, one);
    text.replace(text.find("{2}"), 3, two);
    return text;
}

// Pauses of the workers wait for the test: each release lets every pause then waiting end.
class PauseGate {
  public:
    void pass() {
        std::unique_lock lock(mutex_);
        const int round = round_;
        ++arrivals_;
        changed_.notify_all();
        changed_.wait_for(lock, 20s, [&] { return round_ != round; });
    }
    int arrivals() {
        std::lock_guard lock(mutex_);
        return arrivals_;
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
    int round_ = 0;
    int arrivals_ = 0;
};

class PageCache : public ::testing::Test {
  protected:
    PageCache()
        : site([](const std::string& request) {
              const std::string line = test::requestLine(request);
              const int page = std::atoi(line.c_str() + line.find("/detail/") + 8);
              return test::httpReply("HTTP/1.1 200 OK",
                                     gbkToUtf8(fillWaits(pageTemplate(page), "等待1", "等待2")),
                                     {"Content-Type: text/html; charset=utf-8"});
          }),
          controls(layoutTable(), settingsFor(site)),
          app{controls, desktop, settingsFor(site), state} {
        resetShutdownForTesting();
        desktop.setDelayHook([this](int ms) {
            if (ms == kRefreshMs)
                onRefreshWait();
            else
                pauses.pass();
        });
    }
    ~PageCache() override {
        pauses.release();
        EXPECT_TRUE(waitForWorkers(20s));
    }
    static Settings settingsFor(const test::LoopbackServer& server) {
        Settings s;
        s.planPageSite = server.url("");
        return s;
    }
    std::string expectedRow(int row) {
        return fillWaits(pageTemplate(pageCacheDetailPages()[size_t(row)]), " 1 进行中",
                         " 2 进行中");
    }
    int column2Filled() {
        int n = 0;
        for (int row = 0; row < kRows; ++row)
            n += controls.itemText("超级列表框1", row, 2) == expectedRow(row);
        return n;
    }
    int passLines() { return int(splitText(controls.text("编辑框9"), "\r\n").size()); }

    test::LoopbackServer site;
    FakeControls controls;
    FakeDesktop desktop;
    ProgramState state;
    App app;
    PauseGate pauses;
    std::function<void()> onRefreshWait = [] {};
};

}  // namespace

TEST(PageCacheRules, PagesBecomeGbkWithTheWaitsSpeltOutAndPausesStayInRange) {
    const std::string body = gbkToUtf8("等待1|等待2|等待3|进行中") + std::string(1, '\0') + "x";
    EXPECT_EQ(cachedPageText(body), " 1 进行中| 2 进行中|等待3|进行中");
    EXPECT_EQ(pagePauseMs(3), 1500);
    EXPECT_EQ(pagePauseMs(0), 0);
    EXPECT_EQ(pagePauseMs(INT_MAX), INT_MAX);
    EXPECT_EQ(pagePauseMs(INT_MIN), INT_MIN);
}

TEST_F(PageCache, ARefreshClearsThenFillsEveryRowAndStopsItsWorkers) {
    controls.setText("编辑框9", "3\r\n");
    for (int row = 0; row < kRows; ++row)
        controls.setItemText("超级列表框1", row, 2, "old");
    onRefreshWait = [this] {
        EXPECT_EQ(state.stopFlag.load(), 0);
        EXPECT_FALSE(controls.visible("按钮25"));
        // Every worker has fetched once and waits in its pause: nothing is written yet.
        ASSERT_TRUE(pauses.waitForArrivals(kRows));
        for (int row = 0; row < kRows; ++row)
            EXPECT_EQ(controls.itemText("超级列表框1", row, 2), "") << row;
        EXPECT_EQ(passLines(), kRows);
        pauses.release();
        ASSERT_TRUE(pauses.waitForArrivals(2 * kRows));  // second passes: every row written
        EXPECT_EQ(column2Filled(), kRows);
    };
    refreshPageCache(app);
    EXPECT_EQ(state.stopFlag.load(), 1);
    pauses.release();  // the passes under way finish, and no other begins
    ASSERT_TRUE(waitForWorkers(20s));
    EXPECT_EQ(column2Filled(), kRows);
    EXPECT_EQ(site.requests().size(), size_t(2 * kRows));
    EXPECT_EQ(controls.text("编辑框9"), repeatText(2 * kRows, "3\r\n"));
    EXPECT_FALSE(deleteLock(state.currentLock.load()));  // its worker let go of it
}

TEST_F(PageCache, OverlappingRefreshesRunBothSetsUntilTheFirstEnds) {
    int waits = 0;
    onRefreshWait = [&] {
        if (++waits == 1) {
            ASSERT_TRUE(pauses.waitForArrivals(kRows));
            refreshPageCache(app);  // re-entered by a trigger during the wait
            pauses.release();
            EXPECT_TRUE(waitForWorkers(20s));  // the inner end stopped both sets
            return;
        }
        ASSERT_TRUE(pauses.waitForArrivals(2 * kRows));
        EXPECT_EQ(passLines(), kRows);  // the box was cleared again
        pauses.release();
        ASSERT_TRUE(pauses.waitForArrivals(4 * kRows));  // both sets keep refetching
    };
    refreshPageCache(app);
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(state.stopFlag.load(), 1);
    EXPECT_EQ(site.requests().size(), size_t(4 * kRows));
}

TEST_F(PageCache, StoppedWorkersStayStoppedWhenTheNextRefreshClearsTheFlag) {
    // The close question answered No during the wait, or the end of the wait, while every worker
    // is still inside its pass; then a new refresh begins before they look at the flag.
    for (const bool closeQuestion : {true, false}) {
        SCOPED_TRACE(closeQuestion ? "close question" : "end of the wait");
        const std::size_t before = site.requests().size();
        const int base = pauses.arrivals();
        int waits = 0;
        onRefreshWait = [&] {
            if (++waits == 1) {
                ASSERT_TRUE(pauses.waitForArrivals(base + kRows));
                if (closeQuestion) {
                    state.stopFlag.store(1);
                    refreshPageCache(app);
                }
                return;
            }
            ASSERT_TRUE(pauses.waitForArrivals(base + 2 * kRows));
            pauses.release();  // the old set writes its rows and ends; the new one goes on
            ASSERT_TRUE(pauses.waitForArrivals(base + 3 * kRows));
        };
        refreshPageCache(app);
        if (!closeQuestion) refreshPageCache(app);
        pauses.release();
        ASSERT_TRUE(waitForWorkers(20s));
        EXPECT_EQ(site.requests().size() - before, size_t(3 * kRows));
    }
}

TEST_F(PageCache, AListWithoutRowsStartsNoWorker) {
    controls.setListRows("超级列表框1", {});
    controls.setText("编辑框9", "3\r\n");
    refreshPageCache(app);
    EXPECT_FALSE(controls.visible("按钮25"));
    EXPECT_EQ(controls.text("编辑框9"), "");
    EXPECT_EQ(desktop.delays(), std::vector<int>{kRefreshMs});
    EXPECT_EQ(state.stopFlag.load(), 1);
    EXPECT_EQ(liveWorkers(), 0);
    EXPECT_TRUE(site.requests().empty());
}
