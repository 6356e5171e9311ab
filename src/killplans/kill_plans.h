// Click of a kill-plan button: lists the plan's exclusion lines in 编辑框2.
#pragma once

#include "core/program_state.h"

namespace pv {

struct KillPlan;

void listKillPlan(App& app, const KillPlan& plan);

}  // namespace pv
