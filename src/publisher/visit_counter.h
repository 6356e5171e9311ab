// The visit counter request of the start-up sequence.
#pragma once

#include "core/program_state.h"

namespace pv {

void requestVisitCounter(App& app);

}  // namespace pv
