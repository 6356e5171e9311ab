#include "killplans/status_lines.h"

namespace pv {

void onBox2Changed(App&) {}
void onBox10Changed(App&) {}

}  // namespace pv
