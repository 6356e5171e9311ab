#include "killplans/kill_plans.h"

#include "catalogue/catalogue.h"
#include "core/regex_object.h"
#include "plans/plan_fetch.h"

namespace pv {

std::optional<TextArray> killPlanLines(std::string_view planText, std::string_view pattern) {
    RegexObject regex;
    if (!regex.create(pattern, planText)) return std::nullopt;
    TextArray lines;
    lines.reserve(static_cast<std::size_t>(regex.matchCount()));
    for (int i = 1; i <= regex.matchCount(); ++i)
        lines.push_back(regex.matchText(i));
    return lines;
}

void listKillPlan(App& app, const KillPlan& plan) {
    const std::string planText = downloadPlanFile(app.settings, plan.contentId);
    const std::optional<TextArray> lines = killPlanLines(planText, plan.pattern);
    // Each clear and append raises the box's content-changed event, so the status lines follow
    // the listing as it grows.
    app.controls.setText(ctl::kBackThreePlanBox, "");
    if (lines)
        for (const std::string& line : *lines)
            app.controls.appendText(ctl::kBackThreePlanBox, line + "\r\n");
    for (const ControlName& timer : groupTimers(PlanGroup::BackThree))
        app.controls.setPeriod(timer, 0);
}

}  // namespace pv
