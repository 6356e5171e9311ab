// Click of a fetched-plan button: downloads the plan file and shows it in 编辑框4.
#pragma once

#include <string>

#include "core/program_state.h"

namespace pv {

// "http://" + server + ":" + port + "/TeamContent/" + id + ".txt ", with the blank that ends every
// stored plan address; the fetch drops it before the request.
std::string planFileUrl(const Settings& settings, int contentId);
// The plan file as text: the body up to its first zero byte, whatever the status; "" when the
// download fails.
std::string downloadPlanFile(const Settings& settings, int contentId);

void fetchPlan(App& app, int contentId);

}  // namespace pv
