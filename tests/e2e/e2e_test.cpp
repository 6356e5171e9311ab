// The whole program against the demo origin: the user's journeys through the real window. What
// the window must show is the text the origin's data gave at each test's fixed time, written out
// once under expected/ (UTF-8, with the window's line ends), so no expectation here re-derives a
// rule of the program.
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include <gtest/gtest.h>

#include "app/wiring.h"
#include "catalogue/catalogue.h"
#include "core/code_page.h"
#include "core/text.h"
#include "core/threads.h"
#include "origin/plan_texts.h"
#include "origin_viewer.h"
#include "publisher/blog_plans.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;
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

// The origin listens on free ports; the files name its sites by these words instead.
std::vector<std::pair<std::string, std::string>> sitePlaceholders(OriginViewer& v) {
    using origin::Site;
    return {{v.origin().address(Site::PlanPages), "{plan pages}"},
            {v.origin().address(Site::Publisher), "{publisher}"},
            {v.origin().address(Site::Counter), "{counter}"}};
}

// expected/<name>.txt with the origin's addresses in place; none when there is no such file.
std::optional<std::string> expectedText(OriginViewer& v, const std::string& name) {
    std::ifstream in(std::filesystem::path(PLANVIEWER_E2E_EXPECTED) / (name + ".txt"),
                     std::ios::binary);
    if (!in) return std::nullopt;
    std::string text = utf8ToGbk(std::string(std::istreambuf_iterator<char>(in), {}));
    for (const auto& [address, word] : sitePlaceholders(v))
        text = replaceText(text, word, address);
    return text;
}

// A missing file is written from the text and the check fails, so that a new expectation is
// read before it is kept.
::testing::AssertionResult isExpected(OriginViewer& v, const std::string& actual,
                                      const std::string& name) {
    if (const std::optional<std::string> expected = expectedText(v, name))
        return sameText(actual, *expected) << " (" << name << ")";
    std::string text = actual;
    for (const auto& [address, word] : sitePlaceholders(v))
        text = replaceText(text, address, word);
    const std::filesystem::path path =
        std::filesystem::path(PLANVIEWER_E2E_EXPECTED) / (name + ".txt");
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << gbkToUtf8(text);
    return ::testing::AssertionFailure() << path << " was missing; written from the window";
}

// A grid as text: one line per row, cells apart by tabs.
std::string gridText(const GridRows& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            text += (i ? "\t" : "") + row[i];
        text += "\r\n";
    }
    return text;
}

std::string clipboardText() {
    return utf8ToGbk(QGuiApplication::clipboard()->text().toStdString());
}

// What a copy button puts on the clipboard.
std::string copied(OriginViewer& v, ControlName button) {
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

// Without a day or month of two digits, so "today" without leading zeros must still be found in
// the article's zero-padded date.
TEST(EndToEnd, StartUpFetchedPlansKillPlansAndTheBlogShowWhatTheOriginServes) {
    const origin::Seconds t = at("2017-03-05 14:37:12");
    OriginViewer v(t, kCounterStart);
    Controls& c = v.controls();

    EXPECT_TRUE(v.startupMessages().empty()) << "an update message at start";
    const std::string at1 = "2017-03-05 14-37-12/";
    EXPECT_TRUE(isExpected(v, c.text(ctl::kAnnouncementBox), at1 + "announcement"));
    EXPECT_EQ(c.text(ctl::kCounterWorkLabel), std::to_string(kCounterStart + 1));
    ASSERT_TRUE(v.waitForWorkersToEnd());  // the start-up scrape
    EXPECT_TRUE(isExpected(v, gridText(c.gridRows(ctl::kDrawHistoryGrid)), at1 + "draw-grid"));
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
        EXPECT_TRUE(sameText(copied(v, ctl::kCopyFetchedPlanButton), file));
    }

    for (const KillPlan& k : killPlans()) {
        SCOPED_TRACE(gbkToUtf8(k.button.view()));
        const std::string name = at1 + "kill-plan-" + std::to_string(k.position);
        v.click(k.button);
        EXPECT_TRUE(isExpected(v, c.text(ctl::kBackThreePlanBox), name));
        EXPECT_TRUE(isExpected(v, copied(v, ctl::kCopyBackThreePlanButton), name));
    }

    // The blog check with the origin's day as today (按钮33 would read the wall clock).
    const std::vector<std::string> asked = v.messagesDuring([&] {
        checkBlogDate(v.app(), dateTimeOf(t));
        listBlogPlans(v.app());
    });
    EXPECT_TRUE(asked.empty()) << gbkToUtf8(asked.front());
    EXPECT_EQ(c.text(ctl::kBlogStatusLabel),
              "本博客地址更新时间  2017-03-05       今日博客计划已更新");
    const std::string list = c.text(ctl::kBlogPlansBox);
    EXPECT_TRUE(isExpected(v, list, at1 + "blog-plans"));
    EXPECT_NE(findText(list, v.origin().address(origin::Site::PlanPages) + "/detail/"), -1);
    EXPECT_TRUE(sameText(copied(v, ctl::kCopyBlogPlansButton), list));
}

// From 按钮25 to the numbers on the clipboard, then a draw: the countdown's trigger scrapes the
// new draw and refreshes the cache, and the running plan timer shows the new open period.
TEST(EndToEnd, CachedPlansShowTheirNameAndNumbersAndFollowTheNextDraw) {
    const origin::Seconds t = at("2017-03-05 14:41:50");
    OriginViewer v(t);
    Controls& c = v.controls();
    ASSERT_TRUE(v.waitForWorkersToEnd());

    v.click(ctl::kRefreshPageCacheButton);  // returns after the 15 s refresh
    ASSERT_TRUE(v.waitForWorkersToEnd());
    const std::string at2 = "2017-03-05 14-41-50/";
    ASSERT_EQ(c.itemCount(ctl::kPageCacheList), static_cast<int>(pageCacheDetailPages().size()));
    for (int row = 0; row < c.itemCount(ctl::kPageCacheList); ++row)
        EXPECT_TRUE(isExpected(v, c.itemText(ctl::kPageCacheList, row, 2),
                               at2 + "cached-page-" + std::to_string(row)));
    const auto shown = [&](const CachedPlan& plan, const std::string& when) {
        return at2 + when + "plan-" + std::to_string(plan.cacheRow);
    };
    const auto numbers = [&](const CachedPlan& plan, const std::string& when) {
        return at2 + when + "numbers-" + std::to_string(plan.cacheRow);
    };

    for (const CachedPlan& plan : cachedPlans()) {
        SCOPED_TRACE(gbkToUtf8(plan.button.view()));
        v.click(plan.button);
        const bool three = plan.group == PlanGroup::BackThree;
        const std::string box = c.text(three ? ctl::kBackThreePlanBox : ctl::kBackTwoPlanBox);
        EXPECT_NE(findText(box, plan.planName), -1);
        EXPECT_TRUE(isExpected(v, box, shown(plan, "")));
        EXPECT_TRUE(isExpected(
            v, three ? c.text(ctl::kBackThreeNumbersBox) : v.runtime().state.planStatusText,
            numbers(plan, "")));
    }
    const CachedPlan& three = cachedPlans().front();
    const CachedPlan& two = cachedPlans().back();
    EXPECT_TRUE(isExpected(v, copied(v, ctl::kCopyBackTwoPlanButton), shown(two, "")));
    EXPECT_TRUE(isExpected(v, copied(v, ctl::kCopyBackTwoNumbersButton), numbers(two, "")));
    c.setText(ctl::kRefreshPeriodBox, "0.5");
    v.click(three.button);
    EXPECT_TRUE(isExpected(v, copied(v, ctl::kCopyBackThreePlanButton), shown(three, "")));
    EXPECT_TRUE(isExpected(v, copied(v, ctl::kCopyBackThreeNumbersButton), numbers(three, "")));

    // The draw of 14:50; the countdown's 45th tick in the minute after it fires the trigger.
    const origin::Seconds draw = v.origin().clock().advanceToNextDraw();
    const origin::Seconds fire = draw + 60 + 44;
    for (origin::Seconds s = draw + 59; s <= fire; ++s) {
        v.setTime(s);
        runCountdownTick(v.app(), dateTimeOf(s), drawTrigger());
    }
    EXPECT_EQ(v.runtime().state.dayTriggerCounter, 0);
    EXPECT_EQ(c.text(ctl::kCountdownLabel), "08:15");
    ASSERT_TRUE(v.waitForWorkersToEnd());
    EXPECT_TRUE(
        isExpected(v, gridText(c.gridRows(ctl::kDrawHistoryGrid)), at2 + "after-draw-draw-grid"));
    EXPECT_EQ(c.text(ctl::kDrawPanelCaption), "第20" + origin::drawAt(draw).issue + "期");
    EXPECT_EQ(digitLabels(c), digitsOf(origin::drawAt(draw)));
    // The running plan timer shows the new open period once its next tick has passed.
    const std::optional<std::string> after = expectedText(v, shown(three, "after-draw-"));
    waitUntil([&] { return after && c.text(ctl::kBackThreePlanBox) == *after; }, 5s);
    EXPECT_TRUE(isExpected(v, c.text(ctl::kBackThreePlanBox), shown(three, "after-draw-")));
    EXPECT_TRUE(isExpected(v, c.text(ctl::kBackThreeNumbersBox), numbers(three, "after-draw-")));
}

}  // namespace
