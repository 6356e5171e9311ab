#include "killplans/kill_plans.h"

#include <mutex>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "app/wiring.h"
#include "core/text.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_desktop.h"
#include "killplans/status_lines.h"
#include "loopback_server.h"
#include "mixed_plan_file.h"
#include "plans/catalogue.h"

using namespace pv;
using namespace pv::test;
using namespace pv::testing;

namespace {

TEST(KillPlanLines, EachRowListsExactlyItsMatchesOfAMixedFileInFileOrder) {
    for (const KillPlan& row : killPlans()) {
        const auto lines = killPlanLines(mixedPlanFile(), row.pattern);
        ASSERT_TRUE(lines) << row.button;
        EXPECT_EQ(*lines, listedBy(row.button)) << row.button;
    }
    EXPECT_NE(listedBy("按钮210"), listedBy("按钮213"));
    // A broken pattern is an engine failure, not an empty listing.
    EXPECT_FALSE(killPlanLines("123期 【乾坤】x杀尾x", "[0-9]{3,}期 【乾坤】(.+杀尾.+"));
    EXPECT_EQ(killPlanLines("", killPlans().front().pattern), TextArray{});
}

// A click on fake controls whose content changes run the window's handlers.
class KillPlanClick : public ::testing::Test {
  protected:
    KillPlanClick() : controls(layoutTable()) {
        app.settings.planServer = "127.0.0.1";
        app.settings.planServerPort = server.port();
        controls.setContentChangedHandler([this](const std::string& name) {
            if (const Handler* h = findHandler(name, ControlEvent::ContentChanged)) (*h)(app);
            if (name != "编辑框2") return;
            numbersAfterEachChange.push_back(controls.text(ctl::kBackThreeNumbersBox));
            for (const ControlName& t : groupTimers(PlanGroup::BackThree))
                if (controls.period(t) == 0) stoppedWhileListing = true;
        });
    }
    void click(ControlName button) {
        for (const ControlName& t : groupTimers(PlanGroup::BackThree))
            controls.setPeriod(t, 30000);
        controls.setText(ctl::kBackThreePlanBox, "先前的计划");
        numbersAfterEachChange.clear();
        listKillPlan(app, *findKillPlan(button));
        for (const ControlName& t : groupTimers(PlanGroup::BackThree))
            EXPECT_EQ(controls.period(t), 0) << t;
        EXPECT_FALSE(stoppedWhileListing);
    }

    void serve(const std::string& body) {
        std::lock_guard lock(fileMutex);
        file = body;
    }

    std::mutex fileMutex;
    std::string file;
    LoopbackServer server{[this](const std::string&) {
        std::lock_guard lock(fileMutex);
        return httpReply("HTTP/1.1 200 OK", file);
    }};
    void TearDown() override { EXPECT_EQ(controls.unknownNames(), std::vector<std::string>()); }

    FakeControls controls;
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
    std::vector<std::string> numbersAfterEachChange;
    bool stoppedWhileListing = false;
};

TEST_F(KillPlanClick, ClearsThenAppendsEachMatchAndTheNumbersFollowEveryAppend) {
    const std::string first = "20240201期 【乾坤】进行中 杀尾 1 2";
    const std::string second = "20240202期 【乾坤】 杀尾 3 " + repeatText(39, "-") + " 4";
    serve("20240201期 【局宴】杀跨 0\r\n" + first + "\r\n第3期\r\n" + second + "\r\n");
    click(ctl::button(46));
    EXPECT_EQ(controls.history(ctl::kBackThreePlanBox),
              (std::vector<std::string>{"先前的计划", "", first + "\r\n",
                                        first + "\r\n" + second + "\r\n"}));
    // The section closes only with the second line.
    EXPECT_EQ(numbersAfterEachChange,
              (std::vector<std::string>{"", "", "杀尾 1 2\r\n20240202期 【乾坤】 杀尾 3\r\n"}));
}

TEST_F(KillPlanClick, NothingFoundOrNothingFetchedStillStopsAllTwentyTimers) {
    serve("20240201期 【乾坤】杀码 1\r\n");
    click(ctl::button(46));
    EXPECT_EQ(controls.text(ctl::kBackThreePlanBox), "");
    {
        LoopbackServer gone([](const std::string&) { return Reply{}; });
        app.settings.planServerPort = gone.port();
    }
    click(ctl::button(216));
    EXPECT_EQ(controls.text(ctl::kBackThreePlanBox), "");
}

}  // namespace
