#include "plans/plan_display.h"

namespace pv {

void showPlan(App&, const CachedPlan&) {}
void refreshPlan(App&, const CachedPlan&) {}

}  // namespace pv
