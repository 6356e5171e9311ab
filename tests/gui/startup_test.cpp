// The created event's start-up sequence on a real window.
#include <QApplication>
#include <QStyle>
#include <QTimer>
#include <future>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "core/threads.h"
#include "gui/main_window.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;
using namespace std::chrono_literals;

TEST(Startup, RunsItsStepsInOrderAndOnlyThenStartsTheCountdown) {
    ensureApplication();
    resetShutdownForTesting();
    Runtime runtime;
    MainWindow window(runtime, sampleLayout());
    int countdownTicks = 0, otherTicks = 0;
    window.setEventObserver([&](const std::string& name, ControlEvent event) {
        if (event == ControlEvent::Tick)
            ++(name == ctl::kCountdownTimer ? countdownTicks : otherTicks);
    });
    window.show();
    for (ControlName name : {ctl::kCountdownTimer, ctl::timer(3)}) {
        EXPECT_FALSE(window.timer(name)->isActive()) << name;
        EXPECT_EQ(runtime.controls.period(name), 0);
    }

    std::vector<std::string> order;
    auto step = [&order](const char* name) {
        return [&order, name](App& app) {
            order.push_back(std::string(name) + ":" +
                            std::to_string(app.controls.period(ctl::kCountdownTimer)));
        };
    };
    std::promise<std::thread::id> worker;
    StartupSequence steps;
    steps.pinProcessor = [&] { order.push_back("pin"); };
    steps.loadAnnouncement = step("announcement");
    steps.drawHistoryWorker = [&](App&) { worker.set_value(std::this_thread::get_id()); };
    steps.checkForUpdate = step("update");
    steps.requestVisitCounter = step("counter");
    window.runStartup(steps);  // the style step is the window's own

    EXPECT_EQ(order,
              (std::vector<std::string>{"pin", "announcement:0", "update:1000", "counter:1000"}));
    auto workerThread = worker.get_future();
    ASSERT_EQ(workerThread.wait_for(10s), std::future_status::ready);
    EXPECT_NE(workerThread.get(), std::this_thread::get_id());
    EXPECT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
    EXPECT_EQ(window.timer(ctl::kCountdownTimer)->interval(), 1000);
    EXPECT_TRUE(waitUntil([&] { return countdownTicks > 0; }));
    EXPECT_EQ(otherTicks, 0);
    EXPECT_TRUE(waitForWorkers(10s));

    runtime.desktop.answerNextMessageBox(kAnswerYes);
    window.close();
    resetShutdownForTesting();
}
