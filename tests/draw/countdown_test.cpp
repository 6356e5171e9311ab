#include "draw/countdown.h"

#include <atomic>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "core/threads.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"

using namespace pv;
using namespace pv::test;

namespace {

constexpr int kDay = 86400;

int at(int h, int m, int s = 0) {
    return h * 3600 + m * 60 + s;
}

std::string clockText(int t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t % kDay / 3600, t % 3600 / 60, t % 60);
    return buf;
}

// The window on a simulated clock: 时钟1 ticks every second, 时钟2 just after it while it runs,
// and each refresh keeps both ticking for 15 s before it returns.
struct Simulation {
    explicit Simulation(int start) : clock(start) {
        trigger.scrape = [this](App&) { ++scrapes; };
        trigger.refresh = [this](App&) {
            fired.push_back(clock);
            runUntil(clock + 15);
        };
    }
    // The scrape threads count into this object.
    ~Simulation() {
        waitForWorkers(std::chrono::seconds(10));
        EXPECT_EQ(controls.unknownNames(), std::vector<std::string>());
    }
    void runUntil(int end) {
        while (clock < end) {
            ++clock;
            const bool nightRunning = controls.period(ctl::kNightTimer) != 0;
            const int t = clock % kDay;
            runCountdownTick(app, {2024, 5, 1, t / 3600, t % 3600 / 60, t % 60}, trigger);
            if (nightRunning && controls.period(ctl::kNightTimer) != 0)
                runNightTriggerTick(app, trigger);
        }
    }
    std::string label() { return controls.text(ctl::kCountdownLabel); }

    FakeControls controls{layoutTable()};
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
    int clock;
    DrawTrigger trigger;
    std::vector<int> fired;
    std::atomic<int> scrapes{0};
};

}  // namespace

TEST(Countdown, LabelAtTheEdgesOfEachPeriodAndTheQuietMinute1001) {
    const std::pair<int, const char*> cases[] = {
        {at(10, 0, 0), "09:59"},  {at(21, 59, 59), "00:00"}, {at(22, 0, 0), "04:59"},
        {at(1, 59, 59), "00:00"}, {at(14, 37, 12), "02:47"}, {at(14, 40, 0), "09:59"},
        {at(23, 3, 30), "01:29"}, {at(23, 7, 30), "02:29"},  {at(9, 0, 0), nullptr},
        {at(2, 0, 0), nullptr},
    };
    for (const auto& [t, caption] : cases) {
        const CountdownStep step = countdownStep(t / 3600, t % 3600 / 60, t % 60, {});
        EXPECT_EQ(step.caption.value_or("kept"), caption ? caption : "kept") << clockText(t);
        EXPECT_EQ(step.nightTimer == NightTimer::Stop, !caption) << clockText(t);
    }
    const CountdownStep quiet = countdownStep(10, 1, 30, {44, 7});
    EXPECT_FALSE(quiet.fire);
    EXPECT_EQ(quiet.counters.day, 44);
}

// Midnight to 01:59:59 the next day: one trigger in every draw period but 10:00's.
TEST(Countdown, OneTriggerPerDrawPeriodOverAWholeDay) {
    Simulation sim(0);
    sim.runUntil(at(1, 59, 59));
    EXPECT_EQ(sim.label(), "00:00");
    sim.runUntil(at(2, 0));
    const int nightStarts = sim.controls.timerStarts(ctl::kNightTimer);
    sim.runUntil(at(9, 59, 59));
    EXPECT_EQ(sim.label(), "00:00");
    EXPECT_EQ(sim.controls.period(ctl::kNightTimer), 0);
    EXPECT_EQ(sim.controls.timerStarts(ctl::kNightTimer), nightStarts);
    sim.runUntil(kDay + at(1, 59, 59));

    std::vector<int> periods;  // starts of the draw periods, from the schedule
    for (int t = 0; t < sim.clock; t += 300) {
        const int hour = t % kDay / 3600;
        if (hour >= 22 || hour <= 1 || (hour >= 10 && t % 600 == 0 && t != at(10, 0)))
            periods.push_back(t);
    }
    ASSERT_EQ(sim.fired.size(), periods.size());
    for (std::size_t i = 0; i < periods.size(); ++i) {
        // Day: the 45th tick of the minute after the draw. Night: about 33 s into it, as the
        // night timer's phase falls.
        const int into = sim.fired[i] - periods[i], hour = periods[i] % kDay / 3600;
        if (hour >= 10 && hour <= 21)
            EXPECT_EQ(into, 60 + 44) << clockText(sim.fired[i]);
        else
            EXPECT_TRUE(into >= 60 + 30 && into <= 60 + 34) << clockText(sim.fired[i]);
    }
    ASSERT_TRUE(waitForWorkers(std::chrono::seconds(10)));
    EXPECT_EQ(sim.scrapes, int(periods.size()));
}

TEST(Countdown, ProgramsStartedMidPeriodWaitForTheNextTriggerMinute) {
    Simulation day(at(14, 41, 30));
    day.runUntil(at(14, 52));
    ASSERT_EQ(day.fired.size(), 1u);
    EXPECT_EQ(clockText(day.fired[0]), "14:51:44");

    Simulation night(at(23, 2));
    night.runUntil(at(23, 2, 1));
    EXPECT_EQ(night.label(), "02:58");
    night.runUntil(at(23, 5, 59));
    EXPECT_EQ(night.controls.timerStarts(ctl::kNightTimer), 0);
    night.runUntil(at(23, 7));
    EXPECT_EQ(night.controls.timerStarts(ctl::kNightTimer), 1);
    ASSERT_EQ(night.fired.size(), 1u);
    EXPECT_EQ(clockText(night.fired[0]), "23:06:33");
}
