#include "plans/plan_fetch.h"

#include "core/convert.h"
#include "web/fetch_url.h"

namespace pv {

std::string planFileUrl(const Settings& settings, int contentId) {
    return "http://" + settings.planServer + ":" + std::to_string(settings.planServerPort) +
           "/TeamContent/" + std::to_string(contentId) + ".txt ";
}

std::string downloadPlanFile(const Settings& settings, int contentId) {
    return toText(fetchUrl(planFileUrl(settings, contentId)));
}

void fetchPlan(App& app, int contentId) {
    // A failed download empties the box, as it always has.
    app.controls.setText(ctl::kFetchedPlanBox, downloadPlanFile(app.settings, contentId));
}

}  // namespace pv
