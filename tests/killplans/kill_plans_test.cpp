#include "killplans/kill_plans.h"

#include <mutex>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "app/wiring.h"
#include "catalogue/catalogue.h"
#include "core/text.h"
#include "killplans/status_lines.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"
#include "support/loopback_server.h"
#include "support/mixed_plan_file.h"

using namespace pv;
using namespace pv::test;
using namespace pv::test;

namespace {

TEST(KillPlanLines, EachRowListsExactlyItsMatchesOfAMixedFileInFileOrder) {
    for (const KillPlan& row : killPlans()) {
        const auto lines = killPlanLines(mixedPlanFile(), row.pattern);
        ASSERT_TRUE(lines) << row.button;
        EXPECT_EQ(*lines, listedBy(row.button)) << row.button;
    }
    EXPECT_NE(listedBy(ctl::button(210)), listedBy(ctl::button(213)));
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
        controls.setContentChangedHandler([this](ControlName name) {
            if (const Handler* h = findHandler(name, ControlEvent::ContentChanged)) (*h)(app);
            if (name != ctl::kBackThreePlanBox) return;
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

// The status lines read what each append added, not the whole box again: reading grows with
// the listing, four times the lines four times the bytes.
TEST_F(KillPlanClick, ReadingTheBoxGrowsLinearlyWithTheListing) {
    auto bytesReadListing = [this](int lines) {
        std::string file;
        for (int i = 0; i < lines; ++i)
            file += std::to_string(20240000 + i) + "期 【乾坤】本期杀尾 " + std::to_string(i % 10) +
                    " 中\r\n";
        serve(file);
        const std::size_t before = controls.bytesRead(ctl::kBackThreePlanBox);
        const int changesBefore = controls.contentChanges(ctl::kBackThreePlanBox);
        click(ctl::button(46));
        const std::size_t read = controls.bytesRead(ctl::kBackThreePlanBox) - before;
        // The old plan, the clearing, then one change per line.
        EXPECT_EQ(controls.contentChanges(ctl::kBackThreePlanBox) - changesBefore, lines + 2);
        EXPECT_EQ(controls.text(ctl::kBackThreePlanBox), file);
        return read;
    };
    const std::size_t small = bytesReadListing(300);
    const std::size_t large = bytesReadListing(1200);
    EXPECT_LE(large, small * 9 / 2);
    EXPECT_LE(large, 2u * 1200 * 40);
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
