// The fake controls that handler tests use behave as the window's controls do.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "fakes/fake_controls.h"
#include "gui/main_window.h"
#include "window_support.h"

using namespace pv;
using namespace pv::testing;

namespace {

struct Subject {
    Controls* controls;
    std::function<int(const std::string&)> starts;
    std::function<int(const std::string&)> changes;
};

void checkContract(const Subject& s) {
    Controls& c = *s.controls;
    c.setPeriod("时钟3", 1000);
    c.setPeriod("时钟3", 1000);
    c.setPeriod("时钟3", -1);
    c.setPeriod("时钟3", 0);
    c.setPeriod("时钟3", 30);
    EXPECT_EQ(s.starts("时钟3"), 2);
    EXPECT_EQ(c.period("时钟3"), 30);
    c.setPeriod("编辑框2", 10);
    EXPECT_EQ(c.period("编辑框2"), 0);
    EXPECT_EQ(c.period("时钟99"), 0);

    // Read before 编辑框2 is written: in the window its content-changed handler rewrites 编辑框1.
    EXPECT_EQ(c.text("编辑框1"), "\r\n挂机直接采集专用");
    c.setText("编辑框2", std::string("a\r\n\xff\0tail", 8));
    c.appendText("编辑框2", "b");
    c.setText("标签4", "x");
    EXPECT_EQ(c.text("编辑框2"),
              "a\r\n\xff"
              "b");
    EXPECT_EQ(s.changes("编辑框2"), 2);
    EXPECT_EQ(s.changes("标签4"), 0);

    EXPECT_EQ(c.itemCount("超级列表框1"), 2);
    EXPECT_EQ(c.itemText("超级列表框1", 1), "http://pages.test/detail/1191.html");
    c.setItemText("超级列表框1", 2, 0, "x");
    c.setItemText("超级列表框1", 0, 3, "x");
    c.setItemText("超级列表框1", 0, 2, "page");
    EXPECT_EQ(c.itemText("超级列表框1", 2, 0) + c.itemText("超级列表框1", 0, 3), "");
    EXPECT_EQ(c.itemText("超级列表框1", 0, 2), "page");
    EXPECT_EQ(c.itemCount("高级表格1"), 0);

    c.setGridRows("高级表格1", {{"期号"}, {"1期"}});
    c.setGridRows("超级列表框1", {{"not a grid"}});
    EXPECT_EQ(c.gridRows("高级表格1"), (GridRows{{"期号"}, {"1期"}}));
    EXPECT_EQ(c.itemText("超级列表框1", 0, 2), "page");

    EXPECT_FALSE(c.visible("超级列表框1"));
    EXPECT_TRUE(c.visible("编辑框2"));
    EXPECT_FALSE(c.visible("时钟3"));
    c.setText("未知", "x");
    EXPECT_EQ(c.text("未知"), "");
    EXPECT_EQ(c.text("MainWindow"), "岚枫阁免费版+大底v1.41");
}

Settings pages() {
    Settings s;
    s.planPageSite = "http://pages.test";
    return s;
}

}  // namespace

TEST(ControlsContract, WindowControls) {
    ensureApplication();
    resetShutdownForTesting();
    Runtime runtime(pages());
    MainWindow window(runtime, sampleLayout());
    std::map<std::string, int> changes;
    window.setEventObserver([&](const std::string& name, ControlEvent event) {
        if (event == ControlEvent::ContentChanged) ++changes[name];
    });
    checkContract({&runtime.controls,
                   [&](const std::string& n) { return runtime.controls.timerStarts(n); },
                   [&](const std::string& n) { return changes[n]; }});
    runtime.desktop.answerNextMessageBox(kAnswerYes);
    window.close();
    resetShutdownForTesting();
}

TEST(ControlsContract, FakeControls) {
    FakeControls fake(sampleLayout(), pages());
    checkContract({&fake, [&](const std::string& n) { return fake.timerStarts(n); },
                   [&](const std::string& n) { return fake.contentChanges(n); }});
    EXPECT_EQ(fake.history("编辑框2"), (std::vector<std::string>{"a\r\n\xff",
                                                                 "a\r\n\xff"
                                                                 "b"}));
}
