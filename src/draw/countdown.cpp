#include "draw/countdown.h"

#include "core/threads.h"

namespace pv {
namespace {

constexpr int kDayTriggerTick = 45;
constexpr int kNightTriggerTick = 33;

void fireTrigger(App& app, const DrawTrigger& trigger) {
    if (trigger.scrape) {
        startThread([context = WorkerContext(app), scrape = trigger.scrape](int) mutable {
            scrape(context.app());
        });
    }
    // Ticks keep arriving while the refresh waits; they push the counter past the threshold
    // instead of firing again.
    if (trigger.refresh) trigger.refresh(app);
}

}  // namespace

std::string countdownText(int k, int second) {
    const int left = 59 - second;
    std::string text = "0" + std::to_string(k) + ":";
    if (left < 10) text += "0";
    return text + std::to_string(left);
}

CountdownStep countdownStep(int hour, int minute, int second, TriggerCounters counters) {
    CountdownStep step;
    step.counters = counters;
    const int d = minute % 10;
    if (hour >= 10 && hour <= 21) {
        step.caption = countdownText(9 - d, second);
        // The first draw of the day is at 10:00; its minute after leaves the counter alone.
        if (hour == 10 && minute == 1) return step;
        if (d == 1) {
            step.fire = ++step.counters.day == kDayTriggerTick;
        } else {
            step.counters.day = 0;
        }
    } else if (hour >= 22 || hour <= 1) {
        step.caption = countdownText(d >= 5 ? 9 - d : 4 - d, second);
        if (d == 1 || d == 6) {
            step.nightTimer = NightTimer::Start;
        } else {
            step.counters.night = 0;
        }
    } else {
        step.nightTimer = NightTimer::Stop;
    }
    return step;
}

NightStep nightTriggerStep(std::int32_t counter) {
    NightStep step;
    step.counter = counter + 1;
    step.fire = step.counter == kNightTriggerTick;
    return step;
}

void runCountdownTick(App& app, const DateTime& time, const DrawTrigger& trigger) {
    ProgramState& state = app.state;
    const CountdownStep step = countdownStep(time.hour, time.minute, time.second,
                                             {state.dayTriggerCounter, state.nightTriggerCounter});
    if (step.caption) app.controls.setText(ctl::kCountdownLabel, *step.caption);
    state.dayTriggerCounter = step.counters.day;
    state.nightTriggerCounter = step.counters.night;
    if (step.nightTimer == NightTimer::Start) app.controls.setPeriod(ctl::kNightTimer, 1000);
    if (step.nightTimer == NightTimer::Stop) app.controls.setPeriod(ctl::kNightTimer, 0);
    if (step.fire) {
        fireTrigger(app, trigger);
        state.dayTriggerCounter = 0;
    }
}

void runNightTriggerTick(App& app, const DrawTrigger& trigger) {
    const NightStep step = nightTriggerStep(app.state.nightTriggerCounter);
    app.state.nightTriggerCounter = step.counter;
    if (step.fire) {
        fireTrigger(app, trigger);
        app.state.nightTriggerCounter = 0;
    }
}

}  // namespace pv
