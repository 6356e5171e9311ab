// The publisher's announcement and the update check, both run by the start-up sequence.
#pragma once

#include "core/program_state.h"

namespace pv {

void loadAnnouncement(App& app);
void checkForUpdate(App& app);

}  // namespace pv
