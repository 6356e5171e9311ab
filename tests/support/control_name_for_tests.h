// Names that no control of the window has, for tests of what an unknown name does. Handlers have
// only the vocabulary of core/control_roles.h.
#pragma once

#include <string_view>

#include "core/control_name.h"

namespace pv {

struct ControlNameTestAccess {
    static ControlName unknown(std::string_view name) { return ControlName(name); }
};

}  // namespace pv
