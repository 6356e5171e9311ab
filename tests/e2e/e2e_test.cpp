// The whole program against the demo origin: the user's journeys through the real window, each
// expectation taken from what the origin serves at its (fixed) time.
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/code_page.h"
#include "core/regex_object.h"
#include "core/text.h"
#include "draw/countdown.h"
#include "origin/plan_texts.h"
#include "origin/site_pages.h"
#include "origin_viewer.h"
#include "plans/catalogue.h"
#include "publisher/blog_plans.h"
#include "window_support.h"

using namespace pv;
using namespace pv::testing;
using namespace std::chrono_literals;

namespace {

constexpr long long kCounterStart = 4085;

// Texts of a few kilobytes: on a difference, only the first line that differs, readable.
::testing::AssertionResult sameText(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    const std::vector<std::string> a = splitText(actual, "\r\n"), e = splitText(expected, "\r\n");
    std::size_t i = 0;
    while (i < a.size() && i < e.size() && a[i] == e[i])
        ++i;
    const auto line = [](const std::vector<std::string>& v, std::size_t n) {
        return n < v.size() ? gbkToUtf8(v[n]) : std::string("(none)");
    };
    return ::testing::AssertionFailure()
           << a.size() << " lines where " << e.size() << " were expected; line " << i + 1
           << " is \"" << line(a, i) << "\", expected \"" << line(e, i) << "\"";
}

std::string clipboardText() {
    return utf8ToGbk(QGuiApplication::clipboard()->text().toStdString());
}

// What a copy button puts on the clipboard.
std::string copied(OriginViewer& v, const std::string& button) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before the copy"));
    v.click(button);
    return clipboardText();
}

std::vector<std::string> digitLabels(Controls& c) {
    std::vector<std::string> v;
    for (ControlName label :
         {ctl::kDrawDigit1, ctl::kDrawDigit2, ctl::kDrawDigit3, ctl::kDrawDigit4, ctl::kDrawDigit5})
        v.push_back(c.text(label));
    return v;
}

std::vector<std::string> digitsOf(const origin::Draw& d) {
    std::vector<std::string> v;
    for (int digit : d.digits)
        v.push_back(std::to_string(digit));
    return v;
}

// The lines a kill plan lists: every match of its row's pattern in the plan file.
std::string killListing(const KillPlan& k, origin::Seconds now) {
    RegexObject re;
    EXPECT_TRUE(re.create(k.pattern, origin::planFile(k.contentId, now)));
    // Every past period and the open one.
    EXPECT_EQ(re.matchCount(), origin::kFileHistory + 1);
    std::string lines;
    for (int i = 1; i <= re.matchCount(); ++i)
        lines += re.matchText(i) + "\r\n";
    return lines;
}

// Without a day or month of two digits, so "today" without leading zeros must still be found in
// the article's zero-padded date.
TEST(EndToEnd, StartUpFetchedPlansKillPlansAndTheBlogShowWhatTheOriginServes) {
    const origin::Seconds t = at("2017-03-05 14:37:12");
    OriginViewer v(t, kCounterStart);
    Controls& c = v.controls();

    EXPECT_TRUE(v.startupMessages().empty()) << "an update message at start";
    EXPECT_TRUE(
        sameText(c.text(ctl::kAnnouncementBox), replaceText(origin::announcement(t), "</p> ", "")));
    EXPECT_EQ(c.text(ctl::kCounterWorkLabel), std::to_string(kCounterStart + 1));
    ASSERT_TRUE(v.waitForWorkersToEnd());  // the start-up scrape
    EXPECT_EQ(c.gridRows(ctl::kDrawHistoryGrid), expectedDrawGrid(t));
    EXPECT_EQ(digitLabels(c), digitsOf(origin::recentDraws(t, 1).front()));

    // One fetched plan from each sub-page, shown raw and copied whole.
    for (int subPage = 0; subPage < 3; ++subPage) {
        const auto& plans = fetchedPlans();
        const auto plan = std::find_if(plans.begin(), plans.end(),
                                       [&](const FetchedPlan& p) { return p.subPage == subPage; });
        ASSERT_NE(plan, plans.end());
        SCOPED_TRACE(gbkToUtf8(plan->button.view()));
        const std::string file = origin::planFile(plan->contentId, t);
        v.click(plan->button);
        EXPECT_TRUE(sameText(c.text(ctl::kFetchedPlanBox), file));
        EXPECT_TRUE(sameText(copied(v, "按钮24"), file));
    }

    for (const KillPlan& k : killPlans()) {
        SCOPED_TRACE(gbkToUtf8(k.button.view()));
        const std::string listing = killListing(k, t);
        v.click(k.button);
        EXPECT_TRUE(sameText(c.text(ctl::kBackThreePlanBox), listing));
        EXPECT_TRUE(sameText(copied(v, "按钮3"), listing));
    }

    // The blog check with the origin's day as today (按钮33 would read the wall clock).
    const std::vector<std::string> asked = v.messagesDuring([&] {
        checkBlogDate(v.app(), dateTimeOf(t));
        listBlogPlans(v.app());
    });
    EXPECT_TRUE(asked.empty()) << gbkToUtf8(asked.front());
    EXPECT_EQ(c.text(ctl::kBlogStatusLabel),
              "本博客地址更新时间  2017-03-05       今日博客计划已更新");
    const std::string article =
        utf8ToGbk(origin::blogArticle(t, {v.origin().address(origin::Site::PlanPages),
                                          v.origin().address(origin::Site::Publisher),
                                          v.origin().address(origin::Site::Counter)}));
    const std::string list = c.text(ctl::kBlogPlansBox);
    EXPECT_TRUE(sameText(list, blogPlanList(article)));
    EXPECT_NE(findText(list, v.origin().address(origin::Site::PlanPages) + "/detail/"), -1);
    EXPECT_TRUE(sameText(copied(v, "按钮34"), list));
}

// From 按钮25 to the numbers on the clipboard, then a draw: the countdown's trigger scrapes the
// new draw and refreshes the cache, and the running plan timer shows the new open period.
TEST(EndToEnd, CachedPlansShowTheirNameAndNumbersAndFollowTheNextDraw) {
    const origin::Seconds t = at("2017-03-05 14:41:50");
    OriginViewer v(t);
    Controls& c = v.controls();
    ASSERT_TRUE(v.waitForWorkersToEnd());

    v.click("按钮25");  // returns after the 15 s refresh
    ASSERT_TRUE(v.waitForWorkersToEnd());
    for (int row = 0; row < c.itemCount(ctl::kPageCacheList); ++row)
        EXPECT_TRUE(sameText(c.itemText(ctl::kPageCacheList, row, 2),
                             originCachedPage(pageCacheDetailPages()[std::size_t(row)], t)))
            << row;

    for (const CachedPlan& plan : cachedPlans()) {
        SCOPED_TRACE(gbkToUtf8(plan.button.view()));
        v.click(plan.button);
        const std::string shown = expectedPlanDisplay(plan.cacheRow, t);
        const std::string numbers = inProgressLines(shown);
        ASSERT_FALSE(numbers.empty());
        EXPECT_NE(findText(shown, plan.planName), -1);
        if (plan.group == PlanGroup::BackThree) {
            EXPECT_TRUE(sameText(c.text(ctl::kBackThreePlanBox), shown));
            EXPECT_TRUE(sameText(c.text(ctl::kBackThreeNumbersBox), numbers));
        } else {
            EXPECT_TRUE(sameText(c.text(ctl::kBackTwoPlanBox), shown));
            EXPECT_TRUE(sameText(v.runtime().state.planStatusText, numbers));
        }
    }
    const CachedPlan& three = cachedPlans().front();
    const CachedPlan& two = cachedPlans().back();
    EXPECT_TRUE(sameText(copied(v, "按钮27"), expectedPlanDisplay(two.cacheRow, t)));
    EXPECT_TRUE(
        sameText(copied(v, "按钮29"), inProgressLines(expectedPlanDisplay(two.cacheRow, t))));
    c.setText(ctl::kRefreshPeriodBox, "0.5");
    v.click(three.button);
    EXPECT_TRUE(sameText(copied(v, "按钮3"), expectedPlanDisplay(three.cacheRow, t)));
    EXPECT_TRUE(
        sameText(copied(v, "按钮1"), inProgressLines(expectedPlanDisplay(three.cacheRow, t))));

    // The draw of 14:50; the countdown's 45th tick in the minute after it fires the trigger.
    const origin::Seconds draw = v.origin().clock().advanceToNextDraw();
    const origin::Seconds fire = draw + 60 + 44;
    ASSERT_NE(expectedPlanDisplay(three.cacheRow, draw), expectedPlanDisplay(three.cacheRow, t));
    for (origin::Seconds s = draw + 59; s <= fire; ++s) {
        v.setTime(s);
        runCountdownTick(v.app(), dateTimeOf(s), DrawTrigger::defaults());
    }
    EXPECT_EQ(v.runtime().state.dayTriggerCounter, 0);
    EXPECT_EQ(c.text(ctl::kCountdownLabel), "08:15");
    ASSERT_TRUE(v.waitForWorkersToEnd());
    EXPECT_EQ(c.gridRows(ctl::kDrawHistoryGrid), expectedDrawGrid(fire));
    EXPECT_EQ(c.text(ctl::kDrawPanelCaption), "第20" + origin::drawAt(draw).issue + "期");
    EXPECT_EQ(digitLabels(c), digitsOf(origin::drawAt(draw)));
    const std::string shown = expectedPlanDisplay(three.cacheRow, fire);
    waitUntil([&] { return c.text(ctl::kBackThreePlanBox) == shown; }, 5s);
    EXPECT_TRUE(sameText(c.text(ctl::kBackThreePlanBox), shown));
    EXPECT_TRUE(sameText(c.text(ctl::kBackThreeNumbersBox), inProgressLines(shown)));
}

}  // namespace
