// Worker entry: scrapes the recent draws into 高级表格1 and the digit labels.
#pragma once

#include "core/program_state.h"

namespace pv {

void scrapeDrawHistory(App& app);

}  // namespace pv
