// Content-changed events of the two plan boxes: derive the in-progress lines, the numbers that
// "复制号码" copies.
#pragma once

#include <cstdint>
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

// Keeps the section and the status lines of one box up to date as the box changes. After an
// append it looks only at what was added (and the few bytes before it where a marker may have
// begun), so a box that grows line by line costs what it grows by, not its whole length.
class StatusLinesFollower {
  public:
    void follow(Controls& controls, ControlName box);
    // inProgressSection and statusLines of the box as it was at the last follow.
    const std::string& section() const { return section_; }
    const std::string& lines() const { return lines_; }

  private:
    enum class Phase { Marker, Separator, Done };
    void advance();

    std::uint64_t run_ = 0;
    std::size_t size_ = 0;
    Phase phase_ = Phase::Marker;
    // Marker: the end of the box, from the first character where "进行中" may still begin.
    // Separator: the section so far; no separator begins before resume_.
    std::string held_;
    std::size_t resume_ = 0;
    std::string section_;
    std::string lines_;
};

void onBackThreePlanBoxChanged(App& app);  // into 编辑框1
void onBackTwoPlanBoxChanged(App& app);    // into the plan status text

}  // namespace pv
