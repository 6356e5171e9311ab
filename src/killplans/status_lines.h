// Content-changed events of the two plan boxes: derive the in-progress lines, the numbers that
// "复制号码" copies.
#pragma once

#include <string>
#include <string_view>

#include "core/program_state.h"

namespace pv {

// The text between the first "进行中" and the next separator of 39 hyphens after it; "" when
// either is missing.
std::string inProgressSection(std::string_view boxText);
// The section's lines (split at "\r\n") without leading or trailing ASCII and full-width blanks,
// blank ones dropped, each kept one ending in "\r\n".
std::string cleanStatusLines(std::string_view section);
inline std::string statusLines(std::string_view boxText) {
    return cleanStatusLines(inProgressSection(boxText));
}

void onBox2Changed(App& app);   // into 编辑框1
void onBox10Changed(App& app);  // into the plan status text

}  // namespace pv
