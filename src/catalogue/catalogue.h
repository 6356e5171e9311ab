// The plan catalogue: every plan button of the main window with where its plan comes from and
// how it is shown. The layout table takes the captions of plan buttons from here, and the click
// and tick handlers look their entries up here. All texts are GBK.
#pragma once

#include <string>
#include <vector>

#include "core/control_roles.h"

namespace pv {

// A button on one of the three sub-pages of 选择夹2 that downloads
// "/TeamContent/" + contentId + ".txt" from the plan server and shows it raw in 编辑框4.
struct FetchedPlan {
    ControlName button;  // "按钮50"
    std::string caption;
    int contentId = 0;
    int subPage = 0;  // 0 "第一页", 1 "第二页", 2 "第三页"
    int row = 0;      // 0-based row of the sub-page's button grid
    int column = 0;   // 0-based, left to right
};

enum class PlanGroup { BackThree, BackTwo };

enum class SubstitutionOrder {
    ExtractFirst,  // cut the planinfo block, show it, then put the plan name in place of the label
    ReplaceFirst,  // put the plan name in place of the label in the whole page, then cut
};

enum class ClickVariant {
    BackThree,      // stops all 20 timers of the back-three group
    FullStop,       // stops all 18 timers of the back-two group
    KeepsOwnTimer,  // stops the 17 other back-two timers, leaving its own running
    ReplaceFirst,   // stops all 18 back-two timers; replace-first order
};

// A plan shown from the page cache (column 2 of row cacheRow of 超级列表框1).
struct CachedPlan {
    ControlName button;
    std::string caption;
    std::string planName;  // replaces sourceLabel in the shown text
    PlanGroup group = PlanGroup::BackThree;
    int cacheRow = 0;
    int detailPage = 0;  // the row's page is "/detail/" + detailPage + ".html"
    ControlName refreshTimer;
    SubstitutionOrder order = SubstitutionOrder::ExtractFirst;
    ClickVariant variant = ClickVariant::BackThree;
    // The author label under which the plan page site publishes this plan. Every plan has its
    // own; the demo origin publishes its detail pages with exactly these labels.
    std::string sourceLabel;
};

// A button of the kill-plan column on "后三700大底": lists the lines of plan file contentId that
// `pattern` matches.
struct KillPlan {
    ControlName button;
    std::string caption;
    int contentId = 0;
    std::string pattern;  // GBK regular expression
    int position = 0;     // 0-based, from the top of the column
};

// In the order of the button grids: sub-page, row, column.
const std::vector<FetchedPlan>& fetchedPlans();
// In the order of their page-cache rows (cacheRow == index).
const std::vector<CachedPlan>& cachedPlans();
// From the top of the column to the bottom.
const std::vector<KillPlan>& killPlans();

// nullptr when the button has no entry of that kind.
const FetchedPlan* findFetchedPlan(ControlName button);
const CachedPlan* findCachedPlanByButton(ControlName button);
const CachedPlan* findCachedPlanByTimer(ControlName timer);
const KillPlan* findKillPlan(ControlName button);

// ctl::kBackThreePlanBox or ctl::kBackTwoPlanBox.
const ControlName& groupTextBox(PlanGroup group);
// 时钟3 to 时钟22 or 时钟23 to 时钟40, in ascending order (the order the kill plans stop them).
const std::vector<ControlName>& groupTimers(PlanGroup group);

// The detail page numbers of the 39 page-cache rows; rows 0 to 37 belong to the cached plans,
// row 38 is fetched but read by no plan.
const std::vector<int>& pageCacheDetailPages();
// "/detail/" + number + ".html": the path of a page-cache row on the plan page site.
std::string detailPath(int detailPage);

}  // namespace pv
