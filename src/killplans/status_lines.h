// Content-changed events of the two plan boxes: derive the in-progress lines.
#pragma once

#include "core/program_state.h"

namespace pv {

void onBox2Changed(App& app);
void onBox10Changed(App& app);

}  // namespace pv
