#include "draw/draw_history.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"
#include "support/loopback_server.h"

using namespace pv;
using namespace pv::test;

namespace {

std::string trendPage(const std::string& list) {
    return "<script>\r\n    var Con_BonusCode = \"" + list +
           "\";\r\n                    //画走势图\r\n</script>";
}

// The grid, then 标签3 and the five digit labels.
GridRows shown(FakeControls& c) {
    GridRows s = c.gridRows(ctl::kDrawHistoryGrid);
    s.push_back({});
    for (ControlName label : {ctl::kDrawPanelCaption, ctl::kDrawDigit1, ctl::kDrawDigit2,
                              ctl::kDrawDigit3, ctl::kDrawDigit4, ctl::kDrawDigit5})
        s.back().push_back(c.text(label));
    return s;
}

GridRows board(const GridRows& draws, const std::vector<std::string>& labels) {
    GridRows s = drawGridHeader();
    s.insert(s.end(), draws.begin(), draws.end());
    s.push_back(labels);
    return s;
}

struct Window {
    explicit Window(const std::string& drawSite) { app.settings.drawSite = drawSite; }
    ~Window() { EXPECT_EQ(controls.unknownNames(), std::vector<std::string>()); }
    FakeControls controls{layoutTable()};
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
};

}  // namespace

TEST(DrawHistory, EachScrapeStartsFromTheHeaderRowAndShowsItsList) {
    std::mutex mutex;
    std::string page;
    FakeControls* controls = nullptr;
    GridRows gridAtFetch;
    LoopbackServer server([&](const std::string& request) {
        std::lock_guard lock(mutex);
        EXPECT_EQ(requestLine(request), "GET /trend/ssc/scchart_16.aspx HTTP/1.0");
        gridAtFetch = controls->gridRows(ctl::kDrawHistoryGrid);
        return httpReply("HTTP/1.1 200 OK", page);
    });
    Window w(server.url(""));
    controls = &w.controls;
    const GridRows example =
        board({{"230期", "1", "2", "3", "4", "5"}, {"229期", "6", "7", "8", "9", "0"}},
              {"第20230期", "1", "2", "3", "4", "5"});
    const GridRows unusable;  // the header row alone, the labels as they were
    const std::pair<std::string, GridRows> cases[] = {
        // The labels keep their layout captions until a usable list arrives.
        {trendPage(""), unusable},
        {trendPage("230=1,2,3,4,5;229=6,7,8,9,0"), example},
        {trendPage(""), unusable},
        {"", unusable},
        {"var Con_BonusCode = \"231=1,2,3,4,5;\";", unusable},
        {trendPage("2311,2,3,4,5;;"), unusable},
        {trendPage("231=1,2,3,4;"), unusable},
        {trendPage("229=6,7,8,9,0;230=1,2,3,4,5;"), example},
        {trendPage("240502001=9,9,9,9;240501089=1,2,3,4,5;240501088;;240501087=0,0,0,0,0"),
         board({{"089期", "1", "2", "3", "4", "5"}, {"087期", "0", "0", "0", "0", "0"}},
               {"第20240501089期", "1", "2", "3", "4", "5"})},
        {trendPage("9=1,2,3,4,5;23=0,1,2,3,4;230=5,6,7,8,9"),
         board({{"9期", "1", "2", "3", "4", "5"},
                {"230期", "5", "6", "7", "8", "9"},
                {"23期", "0", "1", "2", "3", "4"}},
               {"第209期", "1", "2", "3", "4", "5"})},
        // The labels read every other character, whatever it is.
        {trendPage("230=1,12,3,4,5"),
         board({{"230期", "1", "12", "3", "4", "5"}}, {"第20230期", "1", "1", ",", ",", ","})},
    };
    for (const auto& [text, expected] : cases) {
        {
            std::lock_guard lock(mutex);
            page = text;
        }
        const std::vector<std::string> labels = shown(w.controls).back();
        scrapeDrawHistory(w.app);
        EXPECT_EQ(shown(w.controls), expected.empty() ? board({}, labels) : expected) << text;
        {
            std::lock_guard lock(mutex);
            EXPECT_EQ(gridAtFetch, drawGridHeader());
        }
        EXPECT_EQ(w.controls.gridColumnWidth(ctl::kDrawHistoryGrid, 0), 50);
    }
}

// The older scrape's page arrives last; the grid keeps the newer scrape whole.
TEST(DrawHistory, OverlappingScrapesLeaveTheNewerOneWhole) {
    std::mutex mutex;
    std::condition_variable changed;
    int served = 0;
    bool release = false;
    LoopbackServer server([&](const std::string&) {
        std::unique_lock lock(mutex);
        if (served++ > 0) return httpReply("HTTP/1.1 200 OK", trendPage("121=3,3,3,3,3"));
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return release; });
        return httpReply("HTTP/1.1 200 OK", trendPage("120=1,1,1,1,1;119=2,2,2,2,2"));
    });
    Window w(server.url(""));
    std::thread older([&] { scrapeDrawHistory(w.app); });
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return served > 0; }));
    }
    std::thread([&] { scrapeDrawHistory(w.app); }).join();
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    older.join();
    EXPECT_EQ(shown(w.controls),
              board({{"121期", "3", "3", "3", "3", "3"}}, {"第20121期", "3", "3", "3", "3", "3"}));
}
