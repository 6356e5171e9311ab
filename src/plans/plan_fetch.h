// Click of a fetched-plan button: downloads the plan file and shows it in 编辑框4.
#pragma once

#include "core/program_state.h"

namespace pv {

void fetchPlan(App& app, int contentId);

}  // namespace pv
