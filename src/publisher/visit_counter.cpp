#include "publisher/visit_counter.h"

namespace pv {

void requestVisitCounter(App&) {}

}  // namespace pv
