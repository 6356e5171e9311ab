// The recent draws: 高级表格1 (a header row and one row per draw, newest first), the latest
// issue in 标签3 and its five digits in 标签2, 标签10, 标签11, 标签12 and 标签13, all cut from
// the draw list in the script of the draw-results site's trend page.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/controls.h"
#include "core/program_state.h"

namespace pv {

inline constexpr const char* kDrawTrendPath = "/trend/ssc/scchart_16.aspx";

// Everything one scrape shows.
struct DrawBoard {
    GridRows rows;  // header row first
    std::string issueCaption;
    std::array<std::string, 5> digitCaptions;
};

GridRows drawGridHeader();
// The board of a trend page; none when the page holds no usable draw. Draws without "=" or with
// fewer than five digits are left out.
std::optional<DrawBoard> drawBoardFromPage(std::string_view page);

// Worker entry: cuts the grid back to its header row, fetches the trend page and hands the board
// to the window in one request. A page without a usable draw leaves the header row alone in the
// grid and the labels as they were; of overlapping scrapes, an older board never replaces a newer
// one.
void scrapeDrawHistory(App& app);

}  // namespace pv
