// The display text of a cached plan and the click and tick handlers of the 38 cached plans.
#include <climits>
#include <map>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "app/wiring.h"
#include "core/text.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_desktop.h"
#include "plans/catalogue.h"
#include "plans/plan_text.h"

using namespace pv;

namespace {

constexpr auto kExtract = SubstitutionOrder::ExtractFirst;
constexpr auto kReplace = SubstitutionOrder::ReplaceFirst;

// A plan page the way the site lays it out; "{L}" marks where the author label goes.
std::string pageWith(const std::string& block, const std::string& ending = " </textarea>\r\n") {
    return "<html><p>作者 {L}</p>\r\n<textarea class=\"plan\" id=\"planinfo\">" + block + ending +
           "<p>{L} 版权</p></html>";
}

std::string fill(std::string text, const std::string& label) {
    for (std::size_t at; (at = text.find("{L}")) != std::string::npos;)
        text.replace(at, 3, label);
    return text;
}

std::string blockOf(int row) {
    return "{L}计划 第" + std::to_string(row) + "行\r\n125期 8 9 进行中\r\n" +
           std::string(39, '-') + "\r\n{L}";
}

}  // namespace

TEST(PlanText, CutsTheBlockAndPutsTheNameInPlaceOfTheLabel) {
    struct Case {
        const char* what;
        std::string label, page;
        std::string extractFirst, replaceFirst;
    };
    const std::string block = blockOf(7);
    const Case cases[] = {
        {"label inside and outside the block", "青松", fill(pageWith(block), "青松"),
         fill(block, "乾坤"), fill(block, "乾坤")},
        {"block without the label", "青松", fill(pageWith("125期 8 9"), "青松"), "125期 8 9",
         "125期 8 9"},
        {"end marker without its carriage return", "青松",
         fill(pageWith(block, " </textarea>\n"), "青松"), "", ""},
        {"page not fetched yet", "青松", "", "", ""},
        // The orders are not interchangeable: replacing first can break a marker.
        {"label inside the start marker", "planinfo", fill(pageWith(block), "planinfo"),
         fill(block, "乾坤"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(planDisplayText(c.page, kPlanInfoMarkers, c.label, "乾坤", kExtract),
                  c.extractFirst);
        EXPECT_EQ(planDisplayText(c.page, kPlanInfoMarkers, c.label, "乾坤", kReplace),
                  c.replaceFirst);
    }
}

TEST(PlanText, RefreshPeriodIsSecondsTimesAThousandTruncated) {
    const std::map<std::string, int> periods = {
        {"30", 30000}, {"2.5", 2500}, {" 1.0009秒", 1000}, {"0", 0}, {"-1", -1000},
        {"abc", 0},    {"", 0},       {"1e30", INT_MAX},
    };
    for (const auto& [text, ms] : periods)
        EXPECT_EQ(refreshPeriodMs(text), ms) << text;
}

class CachedPlans : public ::testing::Test {
  protected:
    CachedPlans() : controls(layoutTable()) {
        for (int row = 0; row < 39; ++row) {
            const CachedPlan* plan = row < 38 ? &cachedPlans()[size_t(row)] : nullptr;
            controls.setItemText("超级列表框1", row, 2,
                                 fill(pageWith(blockOf(row)), plan ? plan->sourceLabel : "无名"));
        }
    }
    void click(const std::string& button) { (*findHandler(button, ControlEvent::Click))(app); }
    void tick(const std::string& timer) { (*findHandler(timer, ControlEvent::Tick))(app); }
    std::map<std::string, int> periods() {
        std::map<std::string, int> p;
        for (PlanGroup g : {PlanGroup::BackThree, PlanGroup::BackTwo})
            for (const std::string& t : groupTimers(g))
                p[t] = controls.period(t);
        return p;
    }
    // The contents the box went through since `from` writes.
    std::vector<std::string> writesSince(const std::string& box, std::size_t from) {
        const std::vector<std::string> all = controls.history(box);
        return {all.begin() + std::ptrdiff_t(from), all.end()};
    }

    FakeControls controls;
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
};

TEST_F(CachedPlans, EachButtonStartsOnlyItsOwnTimerAndEachTickShowsItsOwnRow) {
    for (const CachedPlan& p : cachedPlans()) {
        SCOPED_TRACE(p.button);
        const std::string& box = groupTextBox(p.group);
        const std::string shown = fill(blockOf(p.cacheRow), p.planName);
        const std::vector<std::string> writes =
            p.order == kExtract
                ? std::vector<std::string>{"", fill(blockOf(p.cacheRow), p.sourceLabel), shown}
                : std::vector<std::string>{"", shown};

        std::map<std::string, int> expected = periods();
        for (const std::string& t : groupTimers(p.group))
            expected[t] = t == p.refreshTimer ? 30000 : 0;
        std::size_t before = controls.history(box).size();
        click(p.button);
        EXPECT_EQ(writesSince(box, before), writes);
        EXPECT_EQ(periods(), expected);  // the other group's running timer included

        before = controls.history(box).size();
        tick(p.refreshTimer);
        EXPECT_EQ(writesSince(box, before), writes);
        EXPECT_EQ(periods(), expected);
    }
}

TEST_F(CachedPlans, PeriodComesFromBox6AndNoNumberMeansShownOnce) {
    const std::map<std::string, int> periods = {{"2.5", 2500}, {"0", 0}, {"-1", 0}, {"abc", 0}};
    for (const auto& [seconds, ms] : periods) {
        SCOPED_TRACE(seconds);
        controls.setText("编辑框6", seconds);
        click("按钮2");
        EXPECT_EQ(controls.period("时钟6"), ms);
        EXPECT_EQ(controls.text("编辑框2"), fill(blockOf(0), "乾坤"));
    }
}

TEST_F(CachedPlans, OnlyTheKeepsOwnTimerPlansKeepTheirPhaseWhenClickedAgain) {
    // 按钮28 keeps its own timer (时钟23); 按钮36 stops all eighteen, its own too (时钟25).
    click("按钮28");
    click("按钮28");
    EXPECT_EQ(controls.timerStarts("时钟23"), 1);
    click("按钮36");
    EXPECT_EQ(controls.period("时钟23"), 0);
    click("按钮36");
    EXPECT_EQ(controls.timerStarts("时钟25"), 2);
}

TEST_F(CachedPlans, RowsWithoutABlockShowAnEmptyBox) {
    controls.setItemText("超级列表框1", 0, 2, "");
    controls.setItemText("超级列表框1", 28, 2,
                         fill(pageWith(blockOf(28), " </textarea>\n"), "雁南"));
    click("按钮2");
    click("按钮130");
    EXPECT_EQ(controls.history("编辑框2"), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(controls.history("编辑框10"), (std::vector<std::string>{"", ""}));
}
