// A pattern the engine refuses is an error of the program, not a page without matches: it is
// written to the error stream (this library has no Qt logging), and the controls keep their
// content.
#pragma once

#include <cstdio>
#include <string_view>

namespace pv {

inline void logPatternFailure(std::string_view where, std::string_view pattern) {
    std::fprintf(stderr, "planviewer: %.*s: the pattern engine refused %.*s\n",
                 static_cast<int>(where.size()), where.data(), static_cast<int>(pattern.size()),
                 pattern.data());
}

}  // namespace pv
