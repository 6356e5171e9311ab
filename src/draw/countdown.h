// The draw countdown of 标签4 and the refresh triggers after each draw, both derived from the
// local time alone: draws every ten minutes from 10:00 to 21:59, every five minutes from 22:00 to
// 01:59, none from 02:00 to 09:59.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/convert.h"
#include "core/program_state.h"

namespace pv {

struct TriggerCounters {
    std::int32_t day = 0;
    std::int32_t night = 0;
};

enum class NightTimer { Keep, Start, Stop };

// What one countdown tick does.
struct CountdownStep {
    std::optional<std::string> caption;  // new caption of 标签4; none keeps the old one
    NightTimer nightTimer = NightTimer::Keep;
    TriggerCounters counters;  // after the tick
    bool fire = false;         // the day trigger: scrape, refresh, then clear the day counter
};

// "0k:SS" with SS the seconds left in the minute.
std::string countdownText(int k, int second);
CountdownStep countdownStep(int hour, int minute, int second, TriggerCounters counters);

struct NightStep {
    std::int32_t counter = 0;  // after the tick
    bool fire = false;         // then clear the counter once the refresh is done
};
NightStep nightTriggerStep(std::int32_t counter);

// What a trigger sets going; the program's own is composed by the app library.
struct DrawTrigger {
    std::function<void(App&)> scrape;   // body of a new detached worker, given its WorkerContext
    std::function<void(App&)> refresh;  // then run on the window thread and waited for
};

// The tick events of 时钟1 (with the local time) and 时钟2.
void runCountdownTick(App& app, const DateTime& time, const DrawTrigger& trigger);
void runNightTriggerTick(App& app, const DrawTrigger& trigger);

}  // namespace pv
