// The fake controls and desktop that handler tests use behave as the window's own do.
#include <QClipboard>
#include <QGuiApplication>
#include <QUrl>
#include <functional>
#include <memory>
#include <mutex>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "support/control_name_for_tests.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;

namespace {

struct Subject {
    Controls* controls;
    std::function<int(ControlName)> starts;
    std::function<int(ControlName)> changes;
    std::function<std::vector<std::string>()> unknownNames;
};

void checkContract(const Subject& s) {
    Controls& c = *s.controls;
    c.setPeriod(ctl::timer(3), 1000);
    c.setPeriod(ctl::timer(3), 1000);
    c.setPeriod(ctl::timer(3), -1);
    c.setPeriod(ctl::timer(3), 0);
    c.setPeriod(ctl::timer(3), 30);
    EXPECT_EQ(s.starts(ctl::timer(3)), 2);
    EXPECT_EQ(c.period(ctl::timer(3)), 30);
    c.setPeriod(ctl::kBackThreePlanBox, 10);
    EXPECT_EQ(c.period(ctl::kBackThreePlanBox), 0);
    EXPECT_EQ(c.period(ControlNameTestAccess::unknown("时钟99")), 0);

    // Read before 编辑框2 is written: in the window its content-changed handler rewrites 编辑框1.
    EXPECT_EQ(c.text(ctl::kBackThreeNumbersBox), "\r\n挂机直接采集专用");
    c.setText(ctl::kBackThreePlanBox, std::string("a\r\n\xff\0tail", 8));
    c.appendText(ctl::kBackThreePlanBox, "b");
    c.setText(ctl::kCountdownLabel, "x");
    EXPECT_EQ(c.text(ctl::kBackThreePlanBox),
              "a\r\n\xff"
              "b");
    EXPECT_EQ(s.changes(ctl::kBackThreePlanBox), 2);
    EXPECT_EQ(s.changes(ctl::kCountdownLabel), 0);

    EXPECT_EQ(c.itemCount(ctl::kPageCacheList), 2);
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 1), "http://pages.test/detail/1191.html");
    c.setItemText(ctl::kPageCacheList, 2, 0, "x");
    c.setItemText(ctl::kPageCacheList, 0, 3, "x");
    c.setItemText(ctl::kPageCacheList, 0, 2, "page");
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 2, 0) + c.itemText(ctl::kPageCacheList, 0, 3), "");
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 0, 2), "page");
    EXPECT_EQ(c.itemCount(ctl::kDrawHistoryGrid), 0);

    c.setGridRows(ctl::kDrawHistoryGrid, {{"期号"}, {"1期"}});
    c.setGridRows(ctl::kPageCacheList, {{"not a grid"}});
    EXPECT_EQ(c.gridRows(ctl::kDrawHistoryGrid), (GridRows{{"期号"}, {"1期"}}));
    EXPECT_EQ(c.itemText(ctl::kPageCacheList, 0, 2), "page");

    EXPECT_FALSE(c.visible(ctl::kPageCacheList));
    EXPECT_TRUE(c.visible(ctl::kBackThreePlanBox));
    EXPECT_FALSE(c.visible(ctl::timer(3)));
    c.setText(ControlNameTestAccess::unknown("未知"), "x");
    EXPECT_EQ(c.text(ControlNameTestAccess::unknown("未知")), "");
    EXPECT_EQ(c.text(ctl::kWindow), "岚枫阁免费版+大底v1.41");
    // Each name no control has is reported once, however often it is used.
    EXPECT_EQ(s.unknownNames(), (std::vector<std::string>{"时钟99", "未知"}));
}

// Addresses and whether the desktop opens them.
const std::pair<std::string, bool> kAddresses[] = {
    {"http://127.0.0.1:2203/xz.htm \r\n", true},
    {"HTTPS://Example.com:8443/a?b=c#d", true},
    {"http://[::1]:8080/x", true},
    {std::string("http://a.test/\0javascript:", 26), true},
    {"", false},
    {"file:///etc/passwd", false},
    {"javascript:alert(1)", false},
    {"ftp://a.test/", false},
    {"http:///path", false},
    {"http://exa mple.test/", false},
    {"http://a.test/a b", false},
    {"http://a.test:99999/", false},
    {"http://a.test/路径", false},
};

void checkDesktop(Desktop& d, const std::function<std::string()>& clipboard) {
    for (const auto& [address, opens] : kAddresses)
        EXPECT_EQ(d.openAddress(address), opens) << address;
    EXPECT_TRUE(d.setClipboardText(std::string("复制\0x", 6)));
    EXPECT_EQ(clipboard(), "复制");
    d.delay(-5);
    d.delay(0);
}

// The window's warnings about unknown names, as GBK names.
std::mutex g_warningsMutex;
std::vector<std::string> g_unknownWarnings;
QtMessageHandler g_previousHandler = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QString prefix = QStringLiteral("no control is named ");
    if (type == QtWarningMsg && message.startsWith(prefix)) {
        std::lock_guard lock(g_warningsMutex);
        g_unknownWarnings.push_back(fromUserText(message.mid(prefix.size())));
        return;
    }
    if (g_previousHandler) g_previousHandler(type, context, message);
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
    g_unknownWarnings.clear();
    g_previousHandler = qInstallMessageHandler(collectWarnings);
    checkContract({&runtime.controls,
                   [&](ControlName n) { return runtime.controls.timerStarts(n); },
                   [&](ControlName n) { return changes[n]; },
                   [] {
                       std::lock_guard lock(g_warningsMutex);
                       return g_unknownWarnings;
                   }});
    qInstallMessageHandler(g_previousHandler);

    std::vector<QUrl> opened;
    runtime.desktop.setAddressOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    checkDesktop(runtime.desktop,
                 [] { return fromUserText(QGuiApplication::clipboard()->text()); });
    ASSERT_EQ(opened.size(), 4u);  // the browser is asked only for what opens
    EXPECT_EQ(opened[0].toString(), QStringLiteral("http://127.0.0.1:2203/xz.htm"));
    runtime.desktop.answerNextMessageBox(kAnswerYes);
    window.close();
    resetShutdownForTesting();
}

TEST(ControlsContract, FakeControls) {
    FakeControls fake(sampleLayout(), pages());
    checkContract({&fake, [&](ControlName n) { return fake.timerStarts(n); },
                   [&](ControlName n) { return fake.contentChanges(n); },
                   [&] { return fake.unknownNames(); }});
    EXPECT_EQ(fake.history(ctl::kBackThreePlanBox), (std::vector<std::string>{"a\r\n\xff",
                                                                              "a\r\n\xff"
                                                                              "b"}));
}

TEST(ControlsContract, FakeDesktop) {
    FakeDesktop desktop;
    checkDesktop(desktop, [&] { return desktop.clipboard(); });
    EXPECT_EQ(desktop.openedAddresses().size(), std::size(kAddresses));
}
