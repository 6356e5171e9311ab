// Ticks of 时钟1 (the countdown) and 时钟2 (the night trigger).
#pragma once

#include "core/program_state.h"

namespace pv {

void countdownTick(App& app);
void nightTriggerTick(App& app);

}  // namespace pv
