// Handlers on the fake controls against the same faults: the announcement shows what arrived,
// the draw scrape of a broken page leaves the header row and the labels.
#include <mutex>

#include "app/layout_table.h"
#include "core/program_state.h"
#include "draw/draw_history.h"
#include "fault_support.h"
#include "publisher/announcement.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"
#include "support/loopback_server.h"

using namespace pv;
using namespace pv::test;

namespace {

struct Window {
    ~Window() { EXPECT_EQ(controls.unknownNames(), std::vector<std::string>()); }
    FakeControls controls{layoutTable()};
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
};

Reply resetAfter(const std::string& part) {
    Reply r{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + part};
    r.reset = true;
    return r;
}

Reply bloated() {
    return httpReply("HTTP/1.1 200 OK", "page",
                     std::vector<std::string>(4096, "X-Pad: " + std::string(1024, 'x')));
}

Reply loop() {
    return httpReply("HTTP/1.1 302 Found", "moved", {"Location: /ruanjian/gonggao.htm"});
}

TEST_F(FaultTest, TheAnnouncementShowsWhatArrivedUpToAZeroByte) {
    const std::pair<Reply, std::string> cases[] = {
        {resetAfter("公告：第一条</p> 第二"), "公告：第一条第二"},
        {Reply{"", true}, ""},
        {httpReply("HTTP/1.1 200 OK", std::string("公告\0隐藏</p> ", 13)), "公告"},
        {httpReply("HTTP/1.1 200 OK", "公告</p> \xB9"), "公告\xB9"},
        {bloated(), ""},
        {loop(), ""},
    };
    for (const auto& [reply, shown] : cases) {
        SCOPED_TRACE(shown);
        LoopbackServer server([&](const std::string&) { return reply; });
        Window w;
        w.app.settings.publisherSite = server.url("");
        w.controls.setText(ctl::kAnnouncementBox, "before");
        bounded([&] { loadAnnouncement(w.app); });
        EXPECT_EQ(w.controls.text(ctl::kAnnouncementBox), shown);
    }
}

std::string trendPage(const std::string& list) {
    return "<script>\r\n    var Con_BonusCode = \"" + list +
           "\";\r\n                    //画走势图\r\n</script>";
}

TEST_F(FaultTest, TheDrawScrapeOfABrokenPageLeavesTheHeaderRowAndTheLabels) {
    std::mutex mutex;
    Reply current = httpReply("HTTP/1.1 200 OK", trendPage("230=1,2,3,4,5;229=6,7,8,9,0"));
    LoopbackServer server([&](const std::string&) {
        std::lock_guard lock(mutex);
        return current;
    });
    Window w;
    w.app.settings.drawSite = server.url("");
    scrapeDrawHistory(w.app);
    const GridRows good = w.controls.gridRows(ctl::kDrawHistoryGrid);
    ASSERT_EQ(good.size(), 3u);

    const std::string page = trendPage("231=0,0,0,0,0;230=1,2,3,4,5");
    const std::pair<const char*, Reply> cases[] = {
        {"reset in the list", resetAfter(page.substr(0, 40))},
        {"silent", Reply{"", true}},
        {"zero byte in the list",
         httpReply("HTTP/1.1 200 OK", trendPage(std::string("231=0,0,0,\0,0", 13)))},
        {"lead byte ending the list", httpReply("HTTP/1.1 200 OK", page.substr(0, 50) + "\xB9")},
        {"4 MiB header block", bloated()},
        {"redirect loop",
         httpReply("HTTP/1.1 302 Found", "", {"Location: /trend/ssc/scchart_16.aspx"})},
        {"1 GiB body", generatedReply(std::uint64_t{1} << 30, true, page.substr(0, 50))},
    };
    for (const auto& [name, reply] : cases) {
        SCOPED_TRACE(name);
        {
            std::lock_guard lock(mutex);
            current = reply;
        }
        PeakGrowth peak;
        bounded([&] { scrapeDrawHistory(w.app); });
        if (kMemoryMeasurable && peak.valid()) {
            EXPECT_LE(peak.mib(),
                      static_cast<double>(transferLimits().bodyCap >> 20) + kMemorySlackMiB);
        }
        EXPECT_EQ(w.controls.gridRows(ctl::kDrawHistoryGrid), drawGridHeader());
        EXPECT_EQ(w.controls.text(ctl::kDrawPanelCaption), "第20230期");
    }
}

}  // namespace
