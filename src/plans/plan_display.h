// Click and refresh-timer tick of a cached plan: shows the plan from the page cache in its
// group's box (编辑框2 or 编辑框10). Window thread only.
#pragma once

#include "core/program_state.h"

namespace pv {

struct CachedPlan;

// Stops the group's refresh timers (all of them, or all but its own for the plans that keep
// their timer), shows the plan, then starts its timer with the period from 编辑框6.
void showPlan(App& app, const CachedPlan& plan);
// Shows the plan again; touches no timer.
void refreshPlan(App& app, const CachedPlan& plan);

}  // namespace pv
