// The blog article of daily plan addresses: 按钮33 checks its release date against today and
// lists its plan links with their access codes in 编辑框5.
#pragma once

#include <string>
#include <string_view>

#include "core/convert.h"
#include "core/program_state.h"

namespace pv {

struct BlogDateStatus {
    std::string pending;  // 标签7 before the check, and for good when no release date was found
    std::string checked;  // 标签7 after the check; empty when there was no release date
    bool notUpdated = false;
};

std::string blogAddress(const Settings& settings);
// The release date of the article: the text between the two meta markers, or "".
std::string blogReleaseDate(std::string_view page);
// The article counts as updated when the first ten bytes of its release date hold today's date
// written without or with leading zeros (2017-3-5, 2017-03-05).
BlogDateStatus blogDateStatus(std::string_view page, const DateTime& today);
// Every labelled link, each followed by a blank line, then every name, link and access code. A
// pattern the engine refuses (it logs the failure) adds nothing.
std::string blogPlanList(std::string_view page);

void checkBlogDate(App& app, const DateTime& today);
void listBlogPlans(App& app);
// Click of 按钮33: both steps, each with its own request for the article.
void updateBlogPlans(App& app);

}  // namespace pv
