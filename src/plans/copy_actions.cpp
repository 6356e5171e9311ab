#include "plans/copy_actions.h"

namespace pv {
namespace {

// The clipboard may be held by another program; the click then simply has no effect.
void copy(App& app, const std::string& text) {
    (void)app.desktop.setClipboardText(text);
}

}  // namespace

void copyBackThreePlan(App& app) {
    copy(app, app.controls.text("编辑框2"));
}

void copyBackThreeNumbers(App& app) {
    copy(app, app.controls.text("编辑框1"));
}

void copyBackTwoPlan(App& app) {
    copy(app, app.controls.text("编辑框10"));
}

void copyBackTwoNumbers(App& app) {
    copy(app, app.state.planStatusText);
}

void copyFetchedPlan(App& app) {
    copy(app, app.controls.text("编辑框4"));
}

void copyBlogPlans(App& app) {
    copy(app, app.controls.text("编辑框5"));
}

}  // namespace pv
