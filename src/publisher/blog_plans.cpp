#include "publisher/blog_plans.h"

#include <cstdio>

#include "core/regex_object.h"
#include "core/text.h"
#include "core/text_between.h"
#include "web/win_http_client.h"

namespace pv {
namespace {

constexpr std::string_view kDateStart = "<meta property=\"og:release_date\" content=\"";
constexpr std::string_view kDateEnd =
    "\"/>\r\n<meta http-equiv=\"Cache-Control\" content=\"no-transform\" />";

constexpr std::string_view kLinkPattern = R"re(>(.{2,4}计划：)</span><a href="(.*?)")re";
constexpr std::string_view kLinkAndCodePattern =
    R"re(">(.{2})</span>.*?>(计划：)</span><a href="(.*?)".*?">(密码：\d+)</span>)re";

constexpr std::string_view kNotUpdatedMessage =
    "点击确定后所更新的是昨天的博客地址，今天博客地址请稍后再试！";

std::string twoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

}  // namespace

std::string blogAddress(const Settings& settings) {
    return settings.blogSite + "/ssc/201612/63.html";
}

std::string blogReleaseDate(std::string_view page) {
    return textBetween(page, kDateStart, kDateEnd);
}

BlogDateStatus blogDateStatus(std::string_view page, const DateTime& today) {
    const std::string release = blogReleaseDate(page);
    const std::string date = midText(release, 1, 10);
    BlogDateStatus status;
    status.pending = joinTexts("博客地址更新时间  ", date, "今日博客计划已更新");
    if (release.empty()) return status;
    const std::string year = toText(yearOf(today));
    const std::string bare =
        joinTexts(year, "-", toText(monthOf(today)), "-", toText(dayOf(today)));
    const std::string padded =
        joinTexts(year, "-", twoDigits(monthOf(today)), "-", twoDigits(dayOf(today)));
    // Release dates are written both ways; the bare form alone missed every day below the tenth.
    const bool updated = findText(date, bare) != -1 || findText(date, padded) != -1;
    status.notUpdated = !updated;
    status.checked = updated ? joinTexts("本博客地址更新时间  ", date, "       今日博客计划已更新")
                             : joinTexts("本博客地址更新时间  ", date,
                                         "       抱歉，今日计划暂未更新，请稍后……");
    return status;
}

std::string blogPlanList(std::string_view page) {
    std::string list;
    RegexObject regex;
    if (regex.create(kLinkPattern, page)) {
        for (int i = 1; i <= regex.matchCount(); ++i)
            list += joinTexts(regex.subMatchText(i, 1), regex.subMatchText(i, 2), "\r\n\r\n");
    }
    if (regex.create(kLinkAndCodePattern, page)) {
        for (int i = 1; i <= regex.matchCount(); ++i)
            list += joinTexts("\r\n", regex.subMatchText(i, 1), regex.subMatchText(i, 2),
                              regex.subMatchText(i, 3), "  ", regex.subMatchText(i, 4), "\r\n\r\n");
    }
    return list;
}

void checkBlogDate(App& app, const DateTime& today) {
    Controls& c = app.controls;
    c.setText(ctl::kBlogPlansBox, "");
    const BlogDateStatus status = blogDateStatus(WinHttpClient(blogAddress(app.settings)), today);
    c.setText(ctl::kBlogStatusLabel, status.pending);
    if (status.checked.empty()) return;
    c.setText(ctl::kBlogStatusLabel, status.checked);
    if (status.notUpdated) app.desktop.messageBox(std::string(kNotUpdatedMessage), kStyleIconStop);
}

void listBlogPlans(App& app) {
    // A second request of its own: the article may have changed while the message was open.
    const std::string list = blogPlanList(WinHttpClient(blogAddress(app.settings)));
    if (!list.empty()) app.controls.appendText(ctl::kBlogPlansBox, list);
}

void updateBlogPlans(App& app) {
    checkBlogDate(app, now());
    listBlogPlans(app);
}

}  // namespace pv
