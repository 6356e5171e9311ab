#include "plans/copy_actions.h"

namespace pv {

void copyBackThreePlan(App&) {}
void copyBackThreeNumbers(App&) {}
void copyBackTwoPlan(App&) {}
void copyBackTwoNumbers(App&) {}
void copyFetchedPlan(App&) {}
void copyBlogPlans(App&) {}

}  // namespace pv
