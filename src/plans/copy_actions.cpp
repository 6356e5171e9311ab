#include "plans/copy_actions.h"

namespace pv {
namespace {

// The clipboard may be held by another program; the click then simply has no effect.
void copy(App& app, const std::string& text) {
    (void)app.desktop.setClipboardText(text);
}

}  // namespace

void copyBackThreePlan(App& app) {
    copy(app, app.controls.text(ctl::kBackThreePlanBox));
}

void copyBackThreeNumbers(App& app) {
    copy(app, app.controls.text(ctl::kBackThreeNumbersBox));
}

void copyBackTwoPlan(App& app) {
    copy(app, app.controls.text(ctl::kBackTwoPlanBox));
}

void copyBackTwoNumbers(App& app) {
    copy(app, app.state.planStatusText);
}

void copyFetchedPlan(App& app) {
    copy(app, app.controls.text(ctl::kFetchedPlanBox));
}

void copyBlogPlans(App& app) {
    copy(app, app.controls.text(ctl::kBlogPlansBox));
}

}  // namespace pv
