#include "killplans/kill_plans.h"

namespace pv {

void listKillPlan(App&, const KillPlan&) {}

}  // namespace pv
