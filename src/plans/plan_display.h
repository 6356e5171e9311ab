// Click and refresh-timer tick of a cached plan: shows the plan from the page cache.
#pragma once

#include "core/program_state.h"

namespace pv {

struct CachedPlan;

void showPlan(App& app, const CachedPlan& plan);
void refreshPlan(App& app, const CachedPlan& plan);

}  // namespace pv
