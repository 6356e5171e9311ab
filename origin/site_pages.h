// The pages of the draw-results site, the publisher's site, the counter service and the blog,
// as the demo origin serves them.
#pragma once

#include <string>

#include "origin/draw_schedule.h"

namespace pv::origin {

// Where the origin's own sites answer, as written into the pages that point at them.
struct SiteAddresses {
    std::string planPageSite = "http://127.0.0.1:2201";
    std::string publisherSite = "http://127.0.0.1:2203";
    std::string counterSite = "http://127.0.0.1:2204";  // also the prefix of the digit images
};

constexpr int kTrendDraws = 30;

// "/trend/ssc/scchart_16.aspx" (GBK): the latest draws, oldest first, in the chart script.
std::string trendPage(Seconds now);

// "/ruanjian/gonggao.htm" (GBK): paragraphs ended by "</p> ".
std::string announcement(Seconds now);
// "/ruanjian/gengxin.htm" (GBK): the caption of the current version's main window.
const std::string& versionCaption();
// "/ruanjian/xzlj.htm": the address of the download page, and that page (GBK).
std::string downloadAddress(const SiteAddresses& sites);
std::string downloadPage();

// "/count/count.asp": a script that draws `count` with one image per digit, each image under
// imagePrefix + "/img/" + style + "/" + digit + ".gif". A style that is not a short run of
// letters and digits is replaced by the default one.
std::string counterScript(long long count, const std::string& imagePrefix, std::string style);

// "/ssc/201612/63.html" (UTF-8, with a charset meta tag): today's release date, written with
// leading zeros, labelled plan links and name, link and access-code entries.
std::string blogArticle(Seconds now, const SiteAddresses& sites);

}  // namespace pv::origin
