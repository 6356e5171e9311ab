// The blog article: its date status against a fuzzed day and its list of plan links never
// crash, and a page without a release date is never reported as not updated.
#include "harness.h"
#include "publisher/blog_plans.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    Draw draw(data);
    DateTime today;
    today.year = 2000 + draw.number(0, 40);
    today.month = draw.number(1, 12);
    today.day = draw.number(1, 31);
    const std::string_view page = draw.rest();
    const BlogDateStatus status = blogDateStatus(page, today);
    if (blogReleaseDate(page).empty()) FUZZ_CHECK(!status.notUpdated);
    (void)blogPlanList(page);
}
