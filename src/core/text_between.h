#pragma once

#include <string>
#include <string_view>

namespace pv {

// The text between the first `startMarker` at or after `startPosition` and the next `endMarker`
// behind it; empty when either is missing. "#引号" in a marker stands for a double quote.
std::string textBetween(std::string_view source, std::string_view startMarker,
                        std::string_view endMarker, int startPosition = 1,
                        bool caseInsensitive = false);

}  // namespace pv
