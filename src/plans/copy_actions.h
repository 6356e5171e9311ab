// The copy buttons: each puts one source text on the clipboard.
#pragma once

#include "core/program_state.h"

namespace pv {

void copyBackThreePlan(App& app);     // 按钮3: 编辑框2
void copyBackThreeNumbers(App& app);  // 按钮1: 编辑框1
void copyBackTwoPlan(App& app);       // 按钮27: 编辑框10
void copyBackTwoNumbers(App& app);    // 按钮29: the plan status text
void copyFetchedPlan(App& app);       // 按钮24: 编辑框4
void copyBlogPlans(App& app);         // 按钮34: 编辑框5

}  // namespace pv
