// The page cache: the rows of 超级列表框1, refilled by one worker per row.
#pragma once

#include "core/program_state.h"

namespace pv {

// Click of 按钮25 and the countdown's refresh trigger; runs on the window thread.
void refreshPageCache(App& app);
// Worker entry; rowNumber counts from 1.
void pageWorker(App& app, int rowNumber);

}  // namespace pv
