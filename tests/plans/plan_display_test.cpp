// The display text of a cached plan and the click and tick handlers of the 38 cached plans.
#include <climits>
#include <map>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "app/wiring.h"
#include "catalogue/catalogue.h"
#include "plans/plan_text.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"

using namespace pv;
using namespace pv::test;

namespace {

// A plan page as the site lays it out; "{L}" marks where the author label goes.
std::string pageWith(const std::string& block, const std::string& end = " </textarea>\r\n") {
    return "<p>作者 {L}</p>\r\n<textarea class=\"plan\" id=\"planinfo\">" + block + end + "{L}";
}
std::string blockOf(int row) {
    return "{L}计划 第" + std::to_string(row) + "行\r\n125期 8 9 进行中\r\n{L}";
}
std::string fill(std::string text, const std::string& label) {
    for (std::size_t at; (at = text.find("{L}")) != std::string::npos;)
        text.replace(at, 3, label);
    return text;
}

}  // namespace

TEST(PlanText, CutsTheBlockAndPutsTheNameInPlaceOfTheLabel) {
    struct Case {
        std::string label, page, extractFirst, replaceFirst;
    };
    const std::string block = blockOf(7);
    const Case cases[] = {
        {"青松", fill(pageWith(block), "青松"), fill(block, "乾坤"), fill(block, "乾坤")},
        {"青松", fill(pageWith("125期 8 9"), "青松"), "125期 8 9", "125期 8 9"},
        {"青松", fill(pageWith(block, " </textarea>\n"), "青松"), "", ""},
        {"青松", "", "", ""},
        // Replacing first can break a marker, so the orders are not interchangeable.
        {"planinfo", fill(pageWith(block), "planinfo"), fill(block, "乾坤"), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(planDisplayText(c.page, kPlanInfoMarkers, c.label, "乾坤",
                                  SubstitutionOrder::ExtractFirst),
                  c.extractFirst);
        EXPECT_EQ(planDisplayText(c.page, kPlanInfoMarkers, c.label, "乾坤",
                                  SubstitutionOrder::ReplaceFirst),
                  c.replaceFirst);
    }
}

class CachedPlans : public ::testing::Test {
  protected:
    CachedPlans() {
        for (const CachedPlan& p : cachedPlans())
            controls.setItemText(ctl::kPageCacheList, p.cacheRow, 2,
                                 fill(pageWith(blockOf(p.cacheRow)), p.sourceLabel));
    }
    void run(ControlName control, ControlEvent event) { (*findHandler(control, event))(app); }
    std::map<std::string, int> periods() {
        std::map<std::string, int> p;
        for (PlanGroup g : {PlanGroup::BackThree, PlanGroup::BackTwo})
            for (const ControlName& t : groupTimers(g))
                p[t] = controls.period(t);
        return p;
    }

    void TearDown() override { EXPECT_EQ(controls.unknownNames(), std::vector<std::string>()); }

    FakeControls controls{layoutTable()};
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
};

TEST_F(CachedPlans, EachButtonStartsOnlyItsOwnTimerAndEachTickShowsItsOwnRow) {
    for (const CachedPlan& p : cachedPlans()) {
        SCOPED_TRACE(p.button);
        const ControlName& box = groupTextBox(p.group);
        const std::string shown = fill(blockOf(p.cacheRow), p.planName);
        std::vector<std::string> writes = {"", shown};
        if (p.order == SubstitutionOrder::ExtractFirst)
            writes.insert(writes.begin() + 1, fill(blockOf(p.cacheRow), p.sourceLabel));
        std::map<std::string, int> expected = periods();  // the other group's timer stays
        for (const ControlName& t : groupTimers(p.group))
            expected[t] = t == p.refreshTimer ? 30000 : 0;

        const std::pair<ControlName, ControlEvent> clickThenTick[] = {
            {p.button, ControlEvent::Click}, {p.refreshTimer, ControlEvent::Tick}};
        for (const auto& [control, event] : clickThenTick) {
            const auto before = std::ptrdiff_t(controls.history(box).size());
            run(control, event);
            const std::vector<std::string> history = controls.history(box);
            EXPECT_EQ(std::vector<std::string>(history.begin() + before, history.end()), writes);
            EXPECT_EQ(periods(), expected);
        }
    }
}

TEST_F(CachedPlans, PeriodPhaseAndEmptyRows) {
    const std::map<std::string, int> periods = {
        {"2.5", 2500}, {"0", 0}, {"-1", 0}, {"abc", 0}, {"1e30", INT_MAX}};
    for (const auto& [seconds, ms] : periods) {
        controls.setText(ctl::kRefreshPeriodBox, seconds);
        run(ctl::button(2), ControlEvent::Click);
        EXPECT_EQ(controls.period(ctl::timer(6)), ms) << seconds;
        EXPECT_EQ(controls.text(ctl::kBackThreePlanBox), fill(blockOf(0), "乾坤")) << seconds;
    }
    // 按钮28 keeps its own timer running in its phase; 按钮36 stops all eighteen, its own too.
    controls.setText(ctl::kRefreshPeriodBox, "30");
    for (ControlName button : {ctl::button(28), ctl::button(28), ctl::button(36), ctl::button(36)})
        run(button, ControlEvent::Click);
    EXPECT_EQ(controls.timerStarts(ctl::timer(23)), 1);
    EXPECT_EQ(controls.timerStarts(ctl::timer(25)), 2);

    controls.setItemText(ctl::kPageCacheList, 0, 2, "");  // not fetched yet
    run(ctl::button(2), ControlEvent::Click);
    EXPECT_EQ(controls.text(ctl::kBackThreePlanBox), "");
}
