// The origin on sockets: one path of each site, fetched the way the viewer fetches it.
#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "origin/origin_server.h"
#include "origin/plan_texts.h"
#include "origin/site_pages.h"
#include "web/fetch_url.h"
#include "web/web_client.h"

using namespace pv;
using namespace pv::origin;

namespace {

TEST(OriginServer, ServesEverySiteAndMovesWithItsClock) {
    const Seconds now = parseClock("2017-03-05 14:41:30").value();
    OriginServer origin({.anyPorts = true, .clock = now});
    ASSERT_TRUE(origin.start()) << origin.error();
    const auto url = [&](Site site, const std::string& path) {
        return origin.address(site) + path;
    };
    const int id = fetchedPlans().front().contentId;
    const int page = pageCacheDetailPages().front();

    EXPECT_EQ(fetchUrl(url(Site::PlanServer, "/TeamContent/" + std::to_string(id) + ".txt")),
              planFile(id, now));
    EXPECT_EQ(fetchUrl(url(Site::PlanServer, "/TeamContent/1.txt")), "404 Not Found\n");
    EXPECT_EQ(fetchUrl(url(Site::PlanPages, detailPath(page))), planPage(page, now));
    EXPECT_EQ(fetchUrl(url(Site::Publisher, "/ruanjian/gengxin.htm")), versionCaption());
    const SiteAddresses sites{origin.address(Site::PlanPages), origin.address(Site::Publisher),
                              origin.address(Site::Counter)};
    EXPECT_EQ(fetchUrl(url(Site::Blog, "/ssc/201612/63.html")), blogArticle(now, sites));

    const std::string counter = url(Site::Counter, "/count/count.asp?id=1032&sx=1&ys=43");
    EXPECT_EQ(fetchUrl(counter), counterScript(1001, origin.address(Site::Counter), "43"));
    EXPECT_EQ(fetchUrl(counter), counterScript(1002, origin.address(Site::Counter), "43"));

    // The control request moves the clock of every site.
    WebClientArgs post;
    post.method = 1;
    post.postText = "2017-03-05 22:00:00";
    EXPECT_EQ(WebClient(url(Site::Counter, "/__origin/clock"), post), "2017-03-05 22:00:00\n");
    EXPECT_EQ(fetchUrl(url(Site::Draws, "/trend/ssc/scchart_16.aspx")),
              trendPage(parseClock("2017-03-05 22:00:00").value()));
    post.postText = "22:00";
    WebClient(url(Site::Draws, "/__origin/clock"), post);
    EXPECT_EQ(fetchUrl(url(Site::Blog, "/__origin/clock")), "2017-03-05 22:00:00\n");
    post.postText.clear();
    EXPECT_EQ(WebClient(url(Site::Blog, "/__origin/next-draw"), post), "2017-03-05 22:05:00\n");
    origin.stop();
}

TEST(OriginServer, ReportsAPortItCannotBind) {
    OriginServer first({.anyPorts = true, .clock = {}});
    ASSERT_TRUE(first.start());
    // The second origin's plan page site collides with the first one's plan server.
    OriginServer second({.portBase = first.port(Site::PlanServer) - 1, .clock = {}});
    EXPECT_FALSE(second.start());
    EXPECT_NE(second.error().find("cannot listen on 127.0.0.1:"), std::string::npos);
}

}  // namespace
