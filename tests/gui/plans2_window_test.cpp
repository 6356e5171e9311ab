// The page cache and the cached plans in the program's own window, against a plan page site on
// loopback, with the real 15 s refresh and 1.5 s pauses.
#include <time.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "core/code_page.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "core/threads.h"
#include "gui/main_window.h"
#include "support/loopback_server.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

namespace {

constexpr int kRows = 39;

std::string labelOfPage(int detailPage) {
    for (const CachedPlan& p : cachedPlans())
        if (p.detailPage == detailPage) return p.sourceLabel;
    return "无名";
}

// A detail page in GBK, with its waiting words as given.
std::string detailPage(int page, const std::string& one, const std::string& two) {
    const std::string label = labelOfPage(page);
    return "<p>作者 " + label + "</p>\r\n<textarea id=\"planinfo\">" + label + " 第" +
           std::to_string(page) + "页\r\n125期 " + one + "\r\n126期 " + two + "\r\n" +
           std::string(39, '-') + " </textarea>\r\n";
}

std::string cachedRow(int row) {
    return detailPage(pageCacheDetailPages()[size_t(row)], " 1 进行中", " 2 进行中");
}

// Processor time of the calling thread: unlike the wall clock, it does not grow while other
// programs on the machine hold the processor.
double threadTimeMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// What the window thread went through while a refresh ran; times in ms from the click.
struct RefreshRun {
    qint64 clickedAt = -1, returnedAt = -1;
    qint64 now = 0;
    qint64 longestGap = 0;     // between two ticks of a 5 ms timer
    double longestBusy = 0.0;  // processor time the window thread spent between two ticks
    std::vector<qint64> filledAt = std::vector<qint64>(kRows, -1);
};

class PlanPagesWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureApplication();
        resetShutdownForTesting();
        Settings settings;
        settings.planPageSite = site.url("");
        runtime = std::make_unique<Runtime>(settings);
        window = std::make_unique<MainWindow>(*runtime);
        window->show();
    }
    void TearDown() override {
        if (!window->hasClosed()) {
            runtime->desktop.answerNextMessageBox(kAnswerYes);
            window->close();
        }
        EXPECT_TRUE(waitUntil([] { return liveWorkers() == 0; }, 20s));
        window.reset();
        runtime.reset();
        resetShutdownForTesting();
    }

    // Presses 按钮25 and serves the window until the refresh returns; `during` runs on every
    // tick of a 5 ms timer meanwhile.
    RefreshRun refresh(const std::function<void(const RefreshRun&)>& during = {}) {
        RefreshRun run;
        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = -1;
        double lastBusy = 0.0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            const double busy = threadTimeMs();
            if (lastTick >= 0) {
                run.longestGap = std::max(run.longestGap, now - lastTick);
                run.longestBusy = std::max(run.longestBusy, busy - lastBusy);
            }
            lastTick = now;
            lastBusy = busy;
            if (run.clickedAt < 0 || run.returnedAt >= 0) return;
            run.now = now - run.clickedAt;
            for (int row = 0; row < kRows; ++row)
                if (run.filledAt[size_t(row)] < 0 &&
                    !runtime->controls.itemText(ctl::kPageCacheList, row, 2).empty())
                    run.filledAt[size_t(row)] = run.now;
            if (during) during(run);
        });
        probe.start(5);
        QTimer::singleShot(20, [&] {
            run.clickedAt = clock.elapsed();
            qobject_cast<QPushButton*>(window->control(ctl::kRefreshPageCacheButton))->click();
            run.returnedAt = clock.elapsed() - run.clickedAt;
        });
        EXPECT_TRUE(waitUntil([&] { return run.returnedAt >= 0; }, 60s));
        return run;
    }
    static bool allFilled(const RefreshRun& run) {
        return std::none_of(run.filledAt.begin(), run.filledAt.end(),
                            [](qint64 t) { return t < 0; });
    }
    int requestsOfPage(int detailPage) {
        const std::string path = "GET " + detailPath(detailPage) + " ";
        int n = 0;
        for (const std::string& r : site.requests())
            n += r.rfind(path, 0) == 0;
        return n;
    }

    test::LoopbackServer site{[](const std::string& request) {
        const std::string line = test::requestLine(request);
        const int page = std::atoi(line.c_str() + line.find("/detail/") + 8);
        return test::httpReply("HTTP/1.1 200 OK", gbkToUtf8(detailPage(page, "等待1", "等待2")));
    }};
    std::unique_ptr<Runtime> runtime;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(PlanPagesWindow, RefreshFillsEveryRowWhileTheWindowStaysLiveThenStops) {
    Controls& c = runtime->controls;
    const RefreshRun run = refresh();
    EXPECT_GE(run.returnedAt, 15000);
    EXPECT_EQ(runtime->state.stopFlag.load(), 1);
    QElapsedTimer ending;
    ending.start();
    ASSERT_TRUE(waitUntil([] { return liveWorkers() == 0; }, 20s));
    const qint64 endedMs = ending.elapsed();

    ASSERT_TRUE(allFilled(run));
    const qint64 slowestFill = *std::max_element(run.filledAt.begin(), run.filledAt.end());
    // Passes of different rows run side by side: the rows fill long before the wait is over.
    EXPECT_LT(slowestFill, 15000);
    // The window thread never waits for the site or a pause.
    EXPECT_LT(run.longestGap, 1000);
    for (int row = 0; row < kRows; ++row) {
        EXPECT_EQ(c.itemText(ctl::kPageCacheList, row, 2), cachedRow(row)) << row;
        EXPECT_GE(requestsOfPage(pageCacheDetailPages()[size_t(row)]), 2) << row;
    }
    const std::size_t passes = site.requests().size();
    EXPECT_EQ(c.text(ctl::kPageCachePassLog), repeatText(int(passes), "3\r\n"));
    EXPECT_TRUE(window->control(ctl::kRefreshPageCacheButton)->isHidden());
    std::printf(
        "[ measured ] rows filled %lld-%lld ms after the click; longest window-thread gap "
        "%lld ms, of which at most %.1f ms busy; %zu passes in %lld ms; last worker ended "
        "%lld ms after the wait\n",
        static_cast<long long>(*std::min_element(run.filledAt.begin(), run.filledAt.end())),
        static_cast<long long>(slowestFill), static_cast<long long>(run.longestGap),
        run.longestBusy, passes, static_cast<long long>(run.returnedAt),
        static_cast<long long>(endedMs));

    // The cache feeds the plan buttons: each group's box shows its plan under the plan's name.
    qobject_cast<QPushButton*>(window->control(ctl::button(2)))->click();
    qobject_cast<QPushButton*>(window->control(ctl::button(130)))->click();
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox),
              "乾坤 第1193页\r\n125期  1 进行中\r\n126期  2 进行中\r\n" + std::string(39, '-'));
    EXPECT_EQ(findText(c.text(ctl::kBackTwoPlanBox), "疯狂 第1220页"), 1);
    EXPECT_EQ(window->timer(ctl::timer(6))->interval(), 30000);
    EXPECT_TRUE(window->timer(ctl::timer(6))->isActive() &&
                window->timer(ctl::timer(31))->isActive());
}

TEST_F(PlanPagesWindow, TheCloseQuestionStopsTheWorkersEvenWhenAnsweredNo) {
    std::size_t requestsAtNo = 0, requestsAtEnd = 0;
    qint64 answeredAt = -1, endedAt = -1, closedAt = -1;
    bool openAfterNo = false;
    const RefreshRun run = refresh([&](const RefreshRun& r) {
        if (answeredAt < 0 && allFilled(r)) {
            runtime->desktop.answerNextMessageBox(kAnswerNo);
            openAfterNo = !window->close() && !window->hasClosed();
            answeredAt = r.now;
            requestsAtNo = site.requests().size();
        } else if (answeredAt >= 0 && closedAt < 0 && liveWorkers() == 0) {
            endedAt = r.now;
            requestsAtEnd = site.requests().size();
            runtime->desktop.answerNextMessageBox(kAnswerYes);  // and now closing ends the wait
            window->close();
            closedAt = r.now;
        }
    });
    EXPECT_TRUE(openAfterNo);
    ASSERT_GE(endedAt, 0) << "the workers went on after the No";
    // Only the passes under way at the No were finished.
    EXPECT_LE(requestsAtEnd - requestsAtNo, std::size_t(kRows));
    EXPECT_TRUE(window->hasClosed());
    EXPECT_LT(run.returnedAt - closedAt, 1000);
    std::printf(
        "[ measured ] workers ended %lld ms after the No; the wait ended %lld ms after the "
        "close\n",
        static_cast<long long>(endedAt - answeredAt),
        static_cast<long long>(run.returnedAt - closedAt));
}

TEST_F(PlanPagesWindow, ClosingWhileWorkersRunEndsThemAtOnce) {
    qint64 closedAt = -1;
    const RefreshRun run = refresh([&](const RefreshRun& r) {
        if (closedAt >= 0 || !allFilled(r)) return;
        runtime->desktop.answerNextMessageBox(kAnswerYes);
        window->close();
        closedAt = r.now;
    });
    EXPECT_TRUE(window->hasClosed());
    EXPECT_LT(run.returnedAt - closedAt, 1000);
    QElapsedTimer ending;
    ending.start();
    EXPECT_TRUE(waitUntil([] { return liveWorkers() == 0; }, 5s));
    std::printf("[ measured ] closed while workers ran: all gone %lld ms later\n",
                static_cast<long long>(ending.elapsed()));
}
