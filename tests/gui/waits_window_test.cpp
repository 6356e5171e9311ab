// The window thread never stops: its timers go on ticking while one of their own handlers waits
// in the page-cache refresh, and start-up fetches from a site that never finishes its answer
// leave the window painting and closable.
#include <QTimer>
#include <memory>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "core/threads.h"
#include "gui/main_window.h"
#include "support/loopback_server.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

namespace {

class TimersThroughRefresh : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureApplication();
        resetShutdownForTesting();
        Settings settings;
        settings.planPageSite = settings.drawSite = site.url("");
        runtime = std::make_unique<Runtime>(settings);
        window = std::make_unique<MainWindow>(*runtime);
        window->show();
    }
    void TearDown() override {
        closeWindow();
        EXPECT_TRUE(waitUntil([] { return liveWorkers() == 0; }, 20s));
        window.reset();
        runtime.reset();
        resetShutdownForTesting();
    }
    void closeWindow() {
        if (window->hasClosed()) return;
        runtime->desktop.answerNextMessageBox(kAnswerYes);
        window->close();
    }

    test::LoopbackServer site{
        [](const std::string&) { return test::httpReply("HTTP/1.1 404 Not Found", ""); }};
    std::unique_ptr<Runtime> runtime;
    std::unique_ptr<MainWindow> window;
};

// The day trigger fires at 14:41:44; the clock moves one second per tick, so every tick that
// arrives while the refresh waits shows another countdown.
TEST_F(TimersThroughRefresh, CountdownGoesOnThroughTheDayRefresh) {
    ProgramState& state = runtime->state;
    int second = 44;
    state.localTime = [&second] {
        DateTime t;
        t.hour = 14;
        t.minute = 41;
        t.second = std::min(second++, 59);
        return t;
    };
    state.dayTriggerCounter = 44;
    std::vector<std::string> shownDuringRefresh;
    bool refreshButtonHidden = false;
    window->setEventObserver([&](const std::string& name, ControlEvent event) {
        // The counter stays at or past 45 only while the refresh it fired waits.
        if (name != ctl::kCountdownTimer || event != ControlEvent::Tick ||
            state.dayTriggerCounter < 45)
            return;
        const std::string shown = runtime->controls.text(ctl::kCountdownLabel);
        if (shownDuringRefresh.empty() || shownDuringRefresh.back() != shown)
            shownDuringRefresh.push_back(shown);
        if (shownDuringRefresh.size() != 11) return;
        refreshButtonHidden =
            !runtime->controls.visible(ctl::kRefreshPageCacheButton);  // the page cache's refresh
        QTimer::singleShot(0, window.get(), [this] { closeWindow(); });
    });
    runtime->controls.setPeriod(ctl::kCountdownTimer, 50);

    ASSERT_TRUE(waitUntil([&] { return window->hasClosed() && state.dayTriggerCounter == 0; }));
    ASSERT_GE(shownDuringRefresh.size(), 11u);
    EXPECT_EQ(shownDuringRefresh.front(), "08:15");
    EXPECT_EQ(shownDuringRefresh.at(10), "08:05");
    EXPECT_TRUE(refreshButtonHidden);
}

TEST_F(TimersThroughRefresh, NightTimerGoesOnThroughItsRefresh) {
    ProgramState& state = runtime->state;
    state.nightTriggerCounter = 32;
    int highest = 0;
    window->setEventObserver([&](const std::string& name, ControlEvent event) {
        if (name != ctl::kNightTimer || event != ControlEvent::Tick) return;
        highest = std::max(highest, state.nightTriggerCounter);
        if (state.nightTriggerCounter == 43)
            QTimer::singleShot(0, window.get(), [this] { closeWindow(); });
    });
    runtime->controls.setPeriod(ctl::kNightTimer, 50);

    ASSERT_TRUE(waitUntil([&] { return window->hasClosed() && state.nightTriggerCounter == 0; }));
    EXPECT_GE(highest, 43);
}

ProbeRun runWaitProbe(const QString& mode) {
    return runProbe(QStringLiteral(PLANVIEWER_WAIT_PROBE), mode, "closing ", 20000);
}

qint64 valueOf(const QByteArray& output, const char* key) {
    for (const QByteArray& line : output.split('\n'))
        if (line.startsWith(QByteArray(key) + ' '))
            return line.mid(int(qstrlen(key)) + 1).toLongLong();
    return -1;
}

}  // namespace

TEST(FetchWait, WindowPaintsAndClosesWhileTheStartUpFetchWaits) {
    for (const char* mode : {"silent", "trickle"}) {
        SCOPED_TRACE(mode);
        const ProbeRun run = runWaitProbe(QString::fromLatin1(mode));
        ASSERT_TRUE(run.output.contains("closing ")) << run.errors.toStdString();
        // Painted, and ticked by a timer, while the announcement was still on its way.
        const qint64 painted = valueOf(run.output, "painted");
        EXPECT_GE(painted, 0);
        EXPECT_LT(painted, 2000);
        EXPECT_GE(valueOf(run.output, "ticked"), 0);
        EXPECT_TRUE(run.output.contains("waiting GET /ruanjian/gonggao.htm "))
            << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("asked 确定要关闭吗？"));
        EXPECT_GE(run.closingMs, 0);
        EXPECT_LT(run.closingMs, 2000);
        EXPECT_EQ(run.exitCode, 0);
        std::printf("[ measured ] %s: painted at %lld ms, closed to exit in %lld ms\n", mode,
                    static_cast<long long>(painted), static_cast<long long>(run.closingMs));
    }
}
