// The origin's formats against the markers and patterns the viewer cuts them with.
#include <algorithm>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "catalogue/catalogue.h"
#include "core/code_page.h"
#include "core/regex_object.h"
#include "core/text.h"
#include "core/text_between.h"
#include "origin/plan_texts.h"
#include "origin/site_pages.h"

using namespace pv;
using namespace pv::origin;

namespace {

const std::string kPlanInfoStart = " id=\"planinfo\">";
const std::string kPlanInfoEnd = " </textarea>\r";
const std::string kStatusStart = "进行中";
const std::string kSeparator(39, '-');

Seconds at(const char* clock) {
    return parseClock(clock).value();
}

// A day and month below ten, in the day period.
const Seconds kNow = at("2017-03-05 14:41:30");

// What the page cache stores of a detail page.
std::string cachedPage(int detailPage, Seconds now) {
    std::string page = utf8ToGbk(planPage(detailPage, now));
    page = replaceText(page, "等待1", " 1 进行中");
    return replaceText(page, "等待2", " 2 进行中");
}

// The in-progress lines as the status lines keep them: trimmed, blank lines dropped.
std::vector<std::string> statusLines(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& l : splitText(textBetween(text, kStatusStart, kSeparator), "\r\n"))
        if (!trimBoth(l).empty()) lines.push_back(trimBoth(l));
    return lines;
}

std::string lineWith(const std::string& text, const std::string& word) {
    for (const std::string& line : splitText(text, "\r\n"))
        if (findText(line, word) != -1) return line;
    return {};
}

std::vector<std::string> matches(const std::string& pattern, const std::string& subject,
                                 bool caseSensitive = false) {
    RegexObject re;
    EXPECT_TRUE(re.create(pattern, subject, caseSensitive)) << pattern;
    std::vector<std::string> v;
    for (int i = 1; i <= re.matchCount(); ++i)
        v.push_back(re.matchText(i));
    return v;
}

TEST(OriginClock, ParsesOnlyWholeValidTimes) {
    EXPECT_EQ(formatClock(at("2016-02-29 23:59:59")), "2016-02-29 23:59:59");
    for (const char* bad : {"2017-02-29 10:00:00", "2017-03-05 24:00:00", "2017-03-05 10:00",
                            "2017-3-5 10:00:00", "2017-03-05T10:00:00", ""})
        EXPECT_FALSE(parseClock(bad)) << bad;
}

TEST(OriginClock, DrawsFollowTheDayAndNightSchedule) {
    const struct {
        const char* now;
        const char* next;
    } cases[] = {
        {"2017-03-05 09:59:59", "2017-03-05 10:00:00"},
        {"2017-03-05 14:41:30", "2017-03-05 14:50:00"},
        {"2017-03-05 21:55:00", "2017-03-05 22:00:00"},
        {"2017-03-05 22:00:00", "2017-03-05 22:05:00"},
        {"2017-03-05 23:57:00", "2017-03-06 00:00:00"},
        {"2017-03-06 01:55:00", "2017-03-06 02:00:00"},
        {"2017-03-06 02:00:00", "2017-03-06 10:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatClock(nextDrawTime(at(c.now))), c.next) << c.now;
    // Issues count the draws of a day from 001 on, so they sort by time within the day.
    const std::vector<Draw> day = drawsOfDay(kNow);
    EXPECT_EQ(day.front().issue, "170305001");
    EXPECT_EQ(day.back().issue, "170305" + std::to_string(day.size()));
    EXPECT_EQ(drawAt(latestDrawTime(kNow)).time, at("2017-03-05 14:40:00"));
}

TEST(OriginPlanPages, CarryThePlanInfoBlockWithTheCataloguesSourceLabel) {
    std::set<int> planned;
    for (const CachedPlan& p : cachedPlans()) {
        planned.insert(p.detailPage);
        const std::string block =
            textBetween(cachedPage(p.detailPage, kNow), kPlanInfoStart, kPlanInfoEnd);
        ASSERT_FALSE(block.empty()) << p.detailPage;
        EXPECT_NE(findText(block, p.sourceLabel), -1) << p.caption;
        // Nothing of another plan's name may be touched by the substitution.
        EXPECT_EQ(findText(block, p.planName), -1) << p.caption;
        // The open period: the 700 back-three or 60 back-two numbers the pages are named by.
        const bool backThree = p.group == PlanGroup::BackThree;
        std::set<std::string> numbers;
        for (const std::string& line : statusLines(block))
            for (const std::string& n : splitText(line, " ")) {
                EXPECT_EQ(n.size(), backThree ? 3u : 2u) << n;
                numbers.insert(n);
            }
        EXPECT_EQ(numbers.size(), backThree ? 700u : 60u) << p.caption;
    }
    for (int page : pageCacheDetailPages()) {
        const std::string raw = planPage(page, kNow);
        EXPECT_TRUE(findText(raw, gbkToUtf8("等待1")) != -1 ||
                    findText(raw, gbkToUtf8("等待2")) != -1)
            << page;
        if (!planned.count(page)) {
            EXPECT_NE(textBetween(cachedPage(page, kNow), kPlanInfoStart, kPlanInfoEnd), "");
        }
    }
    EXPECT_EQ(planPage(1190, kNow), "");
}

TEST(OriginPlanFiles, EveryContentIdHasAnInProgressSection) {
    std::set<int> ids;
    for (const FetchedPlan& f : fetchedPlans())
        ids.insert(f.contentId);
    for (const KillPlan& k : killPlans())
        ids.insert(k.contentId);
    for (int id : ids) {
        const std::string file = planFile(id, kNow);
        EXPECT_FALSE(statusLines(file).empty()) << id;
    }
    EXPECT_EQ(planFile(1, kNow), "");
}

TEST(OriginPlanFiles, KillPlanFilesHoldLinesTheirPatternTakesAndLinesItPassesOver) {
    for (const KillPlan& k : killPlans()) {
        const std::string file = planFile(k.contentId, kNow);
        const std::string label = "【" + textBetween(k.pattern, "【", "】") + "】";
        int taken = 0, passed = 0;
        for (const std::string& line : splitText(file, "\r\n")) {
            if (findText(line, label) == -1) continue;
            (matches(k.pattern, line).empty() ? passed : taken)++;
        }
        // Every past period and the open one, each on a line of its own.
        EXPECT_EQ(taken, kFileHistory + 1) << k.caption;
        EXPECT_GE(passed, 3) << k.caption;
        EXPECT_EQ(matches(k.pattern, file).size(), static_cast<std::size_t>(taken)) << k.caption;
    }
}

std::string drawList(Seconds now) {
    const std::string start = "var Con_BonusCode = \"";
    const std::string end = "\";\r\n" + std::string(20, ' ') + "//画走势图";
    EXPECT_EQ(start.size(), 21u);
    EXPECT_EQ(end.size(), 34u);
    return textBetween(trendPage(now), start, end);
}

TEST(OriginDraws, TheTrendPageCarriesTheDrawListBetweenItsMarkers) {
    const std::string list = drawList(kNow);
    std::vector<std::string> draws = splitText(list, ";");
    if (!draws.empty() && draws.back().empty()) draws.pop_back();
    ASSERT_EQ(draws.size(), static_cast<std::size_t>(kTrendDraws));
    for (const std::string& d : draws) {
        const std::vector<std::string> parts = splitText(d, "=");
        ASSERT_EQ(parts.size(), 2u) << d;
        EXPECT_EQ(parts[0].size(), 9u) << d;
        const std::vector<std::string> digits = splitText(parts[1], ",");
        ASSERT_EQ(digits.size(), 5u) << d;
        for (const std::string& digit : digits)
            EXPECT_TRUE(digit.size() == 1 && std::isdigit(static_cast<unsigned char>(digit[0])));
    }
    EXPECT_TRUE(std::is_sorted(draws.begin(), draws.end()));
    EXPECT_EQ(splitText(draws.back(), "=")[0], "170305054");
}

TEST(OriginDraws, ADrawMovesEveryFeedOnAndNothingMovesBetweenDraws) {
    const Seconds next = nextDrawTime(kNow);
    const int page = cachedPlans().front().detailPage;
    const int file = fetchedPlans().front().contentId;
    EXPECT_EQ(trendPage(kNow), trendPage(next - 1));
    EXPECT_EQ(planPage(page, kNow), planPage(page, next - 1));

    // Each draw is "170305054=9,7,9,5,8;", oldest first: the oldest goes, the new one comes.
    const std::string before = drawList(kNow), after = drawList(next);
    EXPECT_EQ(after.substr(0, after.size() - 20), before.substr(20));
    EXPECT_EQ(findText(after, drawAt(next).issue + "="), textLength(after) - 19);
    // The open period moves on: to its second period, or to a new run.
    EXPECT_NE(lineWith(cachedPage(page, kNow), "进行中"),
              lineWith(cachedPage(page, next), "进行中"));
    EXPECT_NE(statusLines(planFile(file, kNow))[0], statusLines(planFile(file, next))[0]);
}

TEST(OriginBlog, TheArticleMatchesTheViewersPatternsAndCarriesTodayWithLeadingZeros) {
    SiteAddresses sites;
    sites.planPageSite = "http://127.0.0.1:9201";
    const std::string utf8 = blogArticle(kNow, sites);
    RegexObject charset;
    ASSERT_TRUE(charset.create("<meta.+?charset=[^\\w]?([-\\w]+)", utf8.substr(0, 1024)));
    EXPECT_EQ(charset.subMatchText(1, 1), "utf-8");

    const std::string page = utf8ToGbk(utf8);
    const std::string date =
        textBetween(page, "<meta property=\"og:release_date\" content=\"",
                    "\"/>\r\n<meta http-equiv=\"Cache-Control\" content=\"no-transform\" />");
    EXPECT_EQ(midText(date, 1, 10), "2017-03-05");

    RegexObject links;
    ASSERT_TRUE(links.create(">(.{2,4}计划：)</span><a href=\"(.*?)\"", page));
    EXPECT_GE(links.matchCount(), 2);
    RegexObject codes;
    ASSERT_TRUE(codes.create(
        "\">(.{2})</span>.*?>(计划：)</span><a href=\"(.*?)\".*?\">(密码：\\d+)</span>", page));
    ASSERT_GE(codes.matchCount(), 2);
    for (RegexObject* re : {&links, &codes})
        for (int i = 1; i <= re->matchCount(); ++i)
            EXPECT_EQ(findText(re->subMatchText(i, re == &links ? 2 : 3),
                               sites.planPageSite + "/detail/"),
                      1);
}

TEST(OriginCounter, EveryDigitOfTheCountIsOneImageTheViewersPatternReads) {
    const std::string prefix = "http://127.0.0.1:9204";
    for (const char* style : {"43", "<script>"}) {
        std::string digits;
        for (const std::string& d :
             matches(prefix + "/img/(.*?)/(.*?).gif", counterScript(1207, prefix, style), true))
            digits += textBetween(d, "/img/43/", ".gif");
        EXPECT_EQ(digits, "1207") << style;
    }
}

TEST(OriginPublisher, TheVersionIsTheWindowCaptionAndTheAnnouncementHasParagraphEnds) {
    EXPECT_EQ(versionCaption(), windowSpec().caption);
    const std::string text = announcement(kNow);
    EXPECT_NE(findText(text, "</p> "), -1);
    EXPECT_EQ(findText(replaceText(text, "</p> ", ""), "</p>"), -1);
    SiteAddresses sites;
    EXPECT_EQ(findText(downloadAddress(sites), sites.publisherSite + "/"), 1);
}

}  // namespace
