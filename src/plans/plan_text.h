// The text a cached plan shows: its planinfo block cut out of the cached page, with the plan's
// own name in place of the author label the plan page site publishes it under. All texts are GBK.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/catalogue.h"

namespace pv {

struct BlockMarkers {
    std::string_view start;
    std::string_view end;
};

// The end marker carries the page's carriage return: a block whose line ends in a bare line feed
// is not a block.
inline constexpr BlockMarkers kPlanInfoMarkers{" id=\"planinfo\">", " </textarea>\r"};

// The first block between the markers; empty when there is none.
std::string cutPlanBlock(std::string_view page, const BlockMarkers& markers = kPlanInfoMarkers);
// Every occurrence of the label, case-sensitively, in one pass from the start.
std::string relabel(std::string_view text, std::string_view sourceLabel, std::string_view planName);

// What the plan's box holds once a click or tick is done. Extract-first cuts, then relabels the
// block; replace-first relabels the whole page, then cuts.
std::string planDisplayText(std::string_view page, const BlockMarkers& markers,
                            std::string_view sourceLabel, std::string_view planName,
                            SubstitutionOrder order);

// The refresh period for the seconds typed in 编辑框6: toNumber × 1000, truncated toward zero
// and kept inside the 32-bit range. Zero or below leaves the timer stopped.
int refreshPeriodMs(std::string_view seconds);

}  // namespace pv
