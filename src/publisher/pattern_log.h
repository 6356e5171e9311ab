// A pattern the engine refuses is an error of the program, not a page without matches: it is
// logged, and the controls keep their content.
#pragma once

#include <string>
#include <string_view>

#include "core/log.h"

namespace pv {

inline void logPatternFailure(std::string_view where, std::string_view pattern) {
    logFailure(std::string(where) + ": the pattern engine refused " + std::string(pattern));
}

}  // namespace pv
