#include "publisher/blog_plans.h"

namespace pv {

void updateBlogPlans(App&) {}

}  // namespace pv
