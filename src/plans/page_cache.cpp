#include "plans/page_cache.h"

namespace pv {

void refreshPageCache(App&) {}
void pageWorker(App&, int) {}

}  // namespace pv
