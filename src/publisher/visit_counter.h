// The visit counter request of the start-up sequence.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/program_state.h"

namespace pv {

std::string counterAddress(const Settings& settings);
// The digit of every counter image in the script, in page order: group 2 of the prefix followed
// by "/img/(.*?)/(.*?).gif", matched case-sensitively. nullopt when the pattern does not compile.
std::optional<std::string> counterDigits(std::string_view page, std::string_view imagePrefix);

void requestVisitCounter(App& app);

}  // namespace pv
