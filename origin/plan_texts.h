// The plans the demo origin publishes: the plan server's files and the plan page site's detail
// pages, generated from the catalogue and the draws up to a given time.
#pragma once

#include <string>
#include <vector>

#include "origin/draw_schedule.h"

namespace pv::origin {

// Plan files show this many past periods, detail pages fewer.
constexpr int kFileHistory = 30;
constexpr int kPageHistory = 12;

// The plan file "/TeamContent/<contentId>.txt" as GBK text; "" when no fetched or kill plan has
// that content id. A kill plan's file holds the lines its row's pattern picks out, and lines of
// the same plan that the pattern must pass over.
std::string planFile(int contentId, Seconds now);
// Every content id of the catalogue, ascending, each once.
std::vector<int> servedContentIds();

// The page "/detail/<detailPage>.html" of the plan page site as UTF-8 HTML; "" when the page
// cache has no such page. Its planinfo block holds the open period under "等待1" or "等待2".
std::string planPage(int detailPage, Seconds now);
// The author label a detail page publishes its plan under: the catalogue's source label of the
// row's plan, or a label of its own for the page no plan reads.
std::string pageSourceLabel(int detailPage);

}  // namespace pv::origin
