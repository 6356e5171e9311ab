#include "plans/plan_display.h"

#include "catalogue/catalogue.h"
#include "plans/page_cache.h"
#include "plans/plan_text.h"

namespace pv {
namespace {

constexpr ControlName kPeriodBox = ctl::kRefreshPeriodBox;

// Every write raises the box's content-changed event, and the status lines follow each one:
// extract-first writes the box three times, replace-first twice.
void showFromCache(App& app, const CachedPlan& plan) {
    Controls& c = app.controls;
    const ControlName& box = groupTextBox(plan.group);
    c.setText(box, "");
    const std::string page = cachedPage(c, plan.cacheRow);
    if (plan.order == SubstitutionOrder::ExtractFirst) {
        c.setText(box, cutPlanBlock(page));
        c.setText(box, relabel(c.text(box), plan.sourceLabel, plan.planName));
    } else {
        c.setText(box, planDisplayText(page, kPlanInfoMarkers, plan.sourceLabel, plan.planName,
                                       plan.order));
    }
}

}  // namespace

void showPlan(App& app, const CachedPlan& plan) {
    Controls& c = app.controls;
    const bool keepOwn = plan.variant == ClickVariant::KeepsOwnTimer;
    for (const ControlName& timer : groupTimers(plan.group))
        if (!keepOwn || timer != plan.refreshTimer) c.setPeriod(timer, 0);
    showFromCache(app, plan);
    c.setPeriod(plan.refreshTimer, refreshPeriodMs(c.text(kPeriodBox)));
}

void refreshPlan(App& app, const CachedPlan& plan) {
    showFromCache(app, plan);
}

}  // namespace pv
