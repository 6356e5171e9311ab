#include "publisher/announcement.h"

#include "publisher_fixture.h"

using namespace pv;
using namespace pv::test;

namespace {

const std::string kNotice = "#换行符+软件已更新！请下载最新版……";

TEST(Announcement, DropsTaggedBlanksButKeepsBareTags) {
    const auto server =
        site({{"/ruanjian/gonggao.htm", page("公告</p> 第一</p>第二</P> 完</p> ")}});
    Handlers h;
    h.app.settings.publisherSite = server->url("");
    loadAnnouncement(h.app);
    EXPECT_EQ(h.controls.text(ctl::kAnnouncementBox), "公告第一</p>第二</P> 完");
}

TEST(UpdateCheck, FollowsThePublishedVersion) {
    const std::string caption = windowSpec().caption;
    struct Case {
        const char* name;
        Reply version;
        std::string link;
        bool reported;
        std::string opened;  // empty: nothing is opened
    };
    const Reply silent{"", false};  // the connection closes without an answer
    const Case cases[] = {
        {"same caption", page(caption), "http://dl.example/new", false, ""},
        {"site down", silent, "http://dl.example/new", false, ""},
        {"empty version page", page(""), "http://dl.example/new", false, ""},
        {"caption with a line end", page(caption + "\r\n"), "http://dl.example/new", true,
         "http://dl.example/new"},
        {"https link with a line end", page("v1.42"), "https://dl.example/a?b=1\r\n", true,
         "https://dl.example/a?b=1"},
        {"script link", page("v1.42"), "javascript:alert(1)", true, ""},
        {"file link", page("v1.42"), "file:///etc/passwd", true, ""},
        {"no link", page("v1.42"), "", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto server =
            site({{"/ruanjian/gengxin.htm", c.version}, {"/ruanjian/xzlj.htm", page(c.link)}});
        Handlers h;
        h.app.settings.publisherSite = server->url("");
        h.controls.setVisible(ctl::kDownloadLink, true);
        h.controls.setText(ctl::kBackThreePlanBox, "plan");
        int closesDuringWait = -1;
        h.desktop.setDelayHook([&](int) { closesDuringWait = h.desktop.closeRequests(); });
        checkForUpdate(h.app);

        // The download address is fetched and kept in every check, news or not.
        std::vector<std::string> paths;
        for (const std::string& request : server->requests())
            paths.push_back(pathOf(request));
        EXPECT_EQ(paths, (std::vector<std::string>{"/ruanjian/gengxin.htm", "/ruanjian/xzlj.htm"}));
        EXPECT_EQ(h.controls.text(ctl::kDownloadAddressLabel), c.link);
        EXPECT_FALSE(h.controls.visible(ctl::kDownloadLink));
        const auto messages = h.desktop.messages();
        if (!c.reported) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(h.controls.text(ctl::kBackThreePlanBox), "plan");
            EXPECT_TRUE(h.desktop.delays().empty());
            EXPECT_EQ(h.desktop.closeRequests(), 0);
            EXPECT_TRUE(h.desktop.openedAddresses().empty());
            continue;
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "发现新版本！请下载最新版");
        EXPECT_EQ(messages[0].style, 0);
        EXPECT_EQ(h.controls.text(ctl::kDownloadLink), c.link);
        EXPECT_EQ(h.desktop.openedAddresses(), c.opened.empty()
                                                   ? std::vector<std::string>{}
                                                   : std::vector<std::string>{c.opened});
        EXPECT_EQ(h.controls.text(ctl::kBackThreePlanBox), kNotice);
        EXPECT_EQ(h.desktop.delays(), std::vector<int>{kNewVersionWaitMs});
        EXPECT_EQ(closesDuringWait, 0);
        EXPECT_EQ(h.desktop.closeRequests(), 1);
    }
}

}  // namespace
