#include "app/wiring.h"

#include <map>
#include <utility>

#include "catalogue/catalogue.h"
#include "draw/draw_history.h"
#include "killplans/kill_plans.h"
#include "killplans/status_lines.h"
#include "plans/copy_actions.h"
#include "plans/page_cache.h"
#include "plans/plan_display.h"
#include "plans/plan_fetch.h"
#include "publisher/blog_plans.h"

namespace pv {
namespace {

std::vector<EventBinding> buildBindings() {
    std::vector<EventBinding> b;
    auto on = [&b](ControlName control, ControlEvent event, Handler handler) {
        b.push_back({control, event, std::move(handler)});
    };
    on(ctl::kRefreshPageCacheButton, ControlEvent::Click, refreshPageCache);
    on(ctl::kUpdateBlogPlansButton, ControlEvent::Click, updateBlogPlans);
    on(ctl::kCopyBackThreePlanButton, ControlEvent::Click, copyBackThreePlan);
    on(ctl::kCopyBackThreeNumbersButton, ControlEvent::Click, copyBackThreeNumbers);
    on(ctl::kCopyBackTwoPlanButton, ControlEvent::Click, copyBackTwoPlan);
    on(ctl::kCopyBackTwoNumbersButton, ControlEvent::Click, copyBackTwoNumbers);
    on(ctl::kCopyFetchedPlanButton, ControlEvent::Click, copyFetchedPlan);
    on(ctl::kCopyBlogPlansButton, ControlEvent::Click, copyBlogPlans);
    on(ctl::kCountdownTimer, ControlEvent::Tick, [](App& app) {
        runCountdownTick(app, app.state.localTime ? app.state.localTime() : now(), drawTrigger());
    });
    on(ctl::kNightTimer, ControlEvent::Tick,
       [](App& app) { runNightTriggerTick(app, drawTrigger()); });
    on(ctl::kBackThreePlanBox, ControlEvent::ContentChanged, onBackThreePlanBoxChanged);
    on(ctl::kBackTwoPlanBox, ControlEvent::ContentChanged, onBackTwoPlanBoxChanged);
    // The plan buttons and refresh timers, from the catalogue; the entries live as long as the
    // program.
    for (const FetchedPlan& p : fetchedPlans()) {
        const int id = p.contentId;
        on(p.button, ControlEvent::Click, [id](App& app) { fetchPlan(app, id); });
    }
    for (const CachedPlan& p : cachedPlans()) {
        on(p.button, ControlEvent::Click, [&p](App& app) { showPlan(app, p); });
        on(p.refreshTimer, ControlEvent::Tick, [&p](App& app) { refreshPlan(app, p); });
    }
    for (const KillPlan& k : killPlans())
        on(k.button, ControlEvent::Click, [&k](App& app) { listKillPlan(app, k); });
    return b;
}

}  // namespace

DrawTrigger drawTrigger() {
    return {scrapeDrawHistory, refreshPageCache};
}

const std::vector<EventBinding>& eventBindings() {
    static const std::vector<EventBinding> bindings = buildBindings();
    return bindings;
}

const Handler* findHandler(ControlName control, ControlEvent event) {
    static const auto index = [] {
        std::map<std::pair<ControlName, ControlEvent>, const Handler*> byKey;
        for (const EventBinding& b : eventBindings())
            byKey.emplace(std::pair{b.control, b.event}, &b.handler);
        return byKey;
    }();
    auto it = index.find({control, event});
    return it == index.end() ? nullptr : it->second;
}

}  // namespace pv
