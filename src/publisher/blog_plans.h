// Click of 按钮33: lists the day's blog plan addresses in 编辑框5.
#pragma once

#include "core/program_state.h"

namespace pv {

void updateBlogPlans(App& app);

}  // namespace pv
