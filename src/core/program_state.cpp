#include "core/program_state.h"

namespace pv {

void ProgramState::releaseAtExit() {
    std::string().swap(planStatusText);
}

}  // namespace pv
