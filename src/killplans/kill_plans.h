// Click of a kill-plan button: lists the plan's exclusion lines in 编辑框2.
#pragma once

#include <optional>
#include <string_view>

#include "core/program_state.h"
#include "core/text.h"

namespace pv {

struct KillPlan;

// Every match of the row's pattern in the whole plan text, in file order, without line ends
// (case-insensitive, multi-line, global; "." stops at line ends). nullopt when the pattern
// engine fails (the engine logs why), which is not the same as finding nothing.
std::optional<TextArray> killPlanLines(std::string_view planText, std::string_view pattern);

// Downloads the plan file, lists its matching lines in 编辑框2 one append at a time, then stops
// the twenty timers of the back-three page, whatever was found.
void listKillPlan(App& app, const KillPlan& plan);

}  // namespace pv
