#include "plans/plan_text.h"

#include "core/convert.h"
#include "core/text.h"
#include "core/text_between.h"

namespace pv {

std::string cutPlanBlock(std::string_view page, const BlockMarkers& markers) {
    return textBetween(page, markers.start, markers.end);
}

std::string relabel(std::string_view text, std::string_view sourceLabel,
                    std::string_view planName) {
    return replaceText(text, sourceLabel, planName, 1, -1, true);
}

std::string planDisplayText(std::string_view page, const BlockMarkers& markers,
                            std::string_view sourceLabel, std::string_view planName,
                            SubstitutionOrder order) {
    if (order == SubstitutionOrder::ExtractFirst)
        return relabel(cutPlanBlock(page, markers), sourceLabel, planName);
    return cutPlanBlock(relabel(page, sourceLabel, planName), markers);
}

int refreshPeriodMs(std::string_view seconds) {
    return toInteger(toNumber(seconds) * toNumber("1000"));
}

}  // namespace pv
