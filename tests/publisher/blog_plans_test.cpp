#include "publisher/blog_plans.h"

#include "core/code_page.h"
#include "core/text.h"
#include "publisher_fixture.h"

using namespace pv;
using namespace pv::test;

namespace {

const DateTime kToday{2017, 3, 5, 9, 30, 0};

std::string article(const std::string& releaseDate, const std::string& body = "") {
    return "<meta property=\"og:release_date\" content=\"" + releaseDate +
           "\"/>\r\n<meta http-equiv=\"Cache-Control\" content=\"no-transform\" />\r\n" + body;
}

// Two labelled links and one entry of name, link and access code.
const std::string kPlans =
    "<p><span>后三计划：</span><a href=\"http://pan.example/s/1\">链接</a></p>\r\n"
    "<p><span>后二A计划：</span><a href=\"http://pan.example/s/2\">下载</a></p>\r\n"
    "<p><span style=\"x\">定位</span> <span>计划：</span>"
    "<a href=\"http://pan.example/s/3\">链接</a> <span style=\"c\">密码：4521</span></p>\r\n";
const std::string kPlanList =
    "后三计划：http://pan.example/s/1\r\n\r\n"
    "后二A计划：http://pan.example/s/2\r\n\r\n"
    "\r\n定位计划：http://pan.example/s/3  密码：4521\r\n\r\n";

std::string updatedText(const std::string& date) {
    return "本博客地址更新时间" + spaceText(2) + date + spaceText(7) + "今日博客计划已更新";
}
std::string notUpdatedText(const std::string& date) {
    return "本博客地址更新时间" + spaceText(2) + date + spaceText(7) +
           "抱歉，今日计划暂未更新，请稍后……";
}
std::string pendingText(const std::string& date) {
    return "博客地址更新时间" + spaceText(2) + date + "今日博客计划已更新";
}

TEST(BlogDate, TodayInEitherFormCountsAsUpdated) {
    enum Verdict { kNoDate, kUpdated, kNotUpdated };
    struct Case {
        std::string page;
        DateTime today;
        std::string date;  // the ten bytes shown
        Verdict verdict;
    };
    const Case cases[] = {
        {article("2017-3-5 08:00:00"), kToday, "2017-3-5 0", kUpdated},
        {article("2017-03-05 08:00"), kToday, "2017-03-05", kUpdated},
        {article("2017-3-5"), kToday, "2017-3-5", kUpdated},
        {article("2017-11-25 08:00"), {2017, 11, 25}, "2017-11-25", kUpdated},
        {article("2017-03-04 22:10"), kToday, "2017-03-04", kNotUpdated},
        {article("2016-03-05"), kToday, "2016-03-05", kNotUpdated},
        {"<p>no date here</p>", kToday, "", kNoDate},
        // The end marker must match byte for byte, line break included.
        {replaceText(article("2017-3-5"), "\r\n", "\n"), kToday, "", kNoDate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const BlogDateStatus status = blogDateStatus(c.page, c.today);
        EXPECT_EQ(status.pending, pendingText(c.date));
        EXPECT_EQ(status.checked, c.verdict == kNoDate    ? ""
                                  : c.verdict == kUpdated ? updatedText(c.date)
                                                          : notUpdatedText(c.date));
        EXPECT_EQ(status.notUpdated, c.verdict == kNotUpdated);
    }
}

TEST(BlogPlans, ListsLinksThenNamesLinksAndCodes) {
    EXPECT_EQ(blogPlanList(article("2017-3-5", kPlans)), kPlanList);
    EXPECT_EQ(blogPlanList("<p>nothing</p>"), "");
}

struct BlogSite {
    explicit BlogSite(const std::string& gbkPage) {
        // The article arrives in UTF-8 and says so; the request turns it into GBK.
        const std::string utf8 =
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n" +
            gbkToUtf8(gbkPage);
        server = site({{"/ssc/201612/63.html", page(utf8)}});
        h.app.settings.blogSite = server->url("");
        h.controls.setText(ctl::kBlogPlansBox, "old list");
    }
    void update() {
        checkBlogDate(h.app, kToday);
        listBlogPlans(h.app);
    }
    std::unique_ptr<LoopbackServer> server;
    Handlers h;
};

TEST(BlogPlans, YesterdaysArticleIsReportedAndStillListed) {
    BlogSite blog(article("2017-03-04 07:55", kPlans));
    blog.update();
    EXPECT_EQ(blog.h.controls.text(ctl::kBlogStatusLabel), notUpdatedText("2017-03-04"));
    const auto messages = blog.h.desktop.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "点击确定后所更新的是昨天的博客地址，今天博客地址请稍后再试！");
    EXPECT_EQ(messages[0].style, 16);
    EXPECT_EQ(messages[0].caption, "信息：");
    EXPECT_EQ(blog.h.controls.text(ctl::kBlogPlansBox), kPlanList);
    ASSERT_EQ(blog.server->requests().size(), 2u);  // one request per step
    for (const std::string& request : blog.server->requests())
        EXPECT_EQ(requestLine(request), "GET /ssc/201612/63.html HTTP/1.1");
}

TEST(BlogPlans, ArticleWithoutDateStillListsItsLinks) {
    BlogSite blog(kPlans);
    blog.update();
    EXPECT_EQ(blog.h.controls.text(ctl::kBlogStatusLabel), pendingText(""));
    EXPECT_TRUE(blog.h.desktop.messages().empty());
    EXPECT_EQ(blog.h.controls.text(ctl::kBlogPlansBox), kPlanList);
}

}  // namespace
