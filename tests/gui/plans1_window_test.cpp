// Plan buttons, kill plans, status lines and copy buttons on the real window, against a plan
// server on loopback.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "core/code_page.h"
#include "core/shutdown.h"
#include "gui/main_window.h"
#include "gui/tab_control.h"
#include "support/loopback_server.h"
#include "support/mixed_plan_file.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;
using namespace pv::test;

namespace {

const char* const kRequestLines[] = {
    "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n", "\r\nAccept: */*\r\n",
    "\r\nPragma: no-cache\r\n", "\r\nCache-Control: no-cache\r\n"};

std::string planBody(int id) {
    return "计划 " + std::to_string(id) + "\r\n第二行 01 02\r\n";
}

class PlanPages : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ensureApplication();
        resetShutdownForTesting();
        server = new LoopbackServer([](const std::string& request) {
            const std::string line = requestLine(request);
            const std::size_t at = line.find("/TeamContent/");
            const int id = at == std::string::npos ? 0 : std::atoi(line.c_str() + at + 13);
            std::lock_guard lock(filesMutex);
            auto it = files.find(id);
            return it != files.end() ? it->second : httpReply("HTTP/1.1 200 OK", planBody(id));
        });
        Settings settings;
        settings.planServer = "127.0.0.1";
        settings.planServerPort = server->port();
        runtime = new Runtime(settings);
        window = new MainWindow(*runtime);
        window->show();
        QApplication::processEvents();
    }
    static void TearDownTestSuite() {
        runtime->desktop.answerNextMessageBox(kAnswerYes);
        window->close();
        delete window;
        delete runtime;
        delete server;
        resetShutdownForTesting();
    }
    void TearDown() override {
        std::lock_guard lock(filesMutex);
        files.clear();
    }

    static void serve(int id, Reply reply) {
        std::lock_guard lock(filesMutex);
        files[id] = std::move(reply);
    }
    static void showPageOf(ControlName name) {
        const ControlSpec* spec = findControl(name);
        auto* main = qobject_cast<TabControl*>(window->control(ctl::kMainTabs));
        if (spec->container == ctl::kPlanTabs) {
            main->setCurrentIndex(findControl(ctl::kPlanTabs)->page);
            qobject_cast<TabControl*>(window->control(ctl::kPlanTabs))->setCurrentIndex(spec->page);
        } else if (spec->container == ctl::kMainTabs) {
            main->setCurrentIndex(spec->page);
        }
    }
    // Brings the button's page forward and clicks it with the mouse.
    static void press(ControlName name) {
        ASSERT_NE(findControl(name), nullptr) << name;
        showPageOf(name);
        QWidget* button = window->control(name);
        ASSERT_TRUE(button->isVisible()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static std::string box(ControlName name) { return runtime->controls.text(name); }

    static std::mutex filesMutex;
    static std::map<int, Reply> files;
    static LoopbackServer* server;
    static Runtime* runtime;
    static MainWindow* window;
};

std::mutex PlanPages::filesMutex;
std::map<int, Reply> PlanPages::files;
LoopbackServer* PlanPages::server = nullptr;
Runtime* PlanPages::runtime = nullptr;
MainWindow* PlanPages::window = nullptr;

TEST_F(PlanPages, EachFetchButtonRequestsItsOwnFileOnceAndShowsIt) {
    std::map<int, std::vector<std::string>> shownById;
    QElapsedTimer clock;
    clock.start();
    for (const FetchedPlan& plan : fetchedPlans()) {
        SCOPED_TRACE(plan.button);
        runtime->controls.setText(ctl::kFetchedPlanBox, "旧的计划");
        const std::size_t before = server->requests().size();
        press(plan.button);
        const std::vector<std::string> requests = server->requests();
        ASSERT_EQ(requests.size(), before + 1);
        const std::string& request = requests.back();
        EXPECT_EQ(requestLine(request),
                  "GET /TeamContent/" + std::to_string(plan.contentId) + ".txt HTTP/1.0");
        for (const char* line : kRequestLines)
            EXPECT_NE(request.find(line), std::string::npos) << line;
        EXPECT_EQ(box(ctl::kFetchedPlanBox), planBody(plan.contentId));
        shownById[plan.contentId].push_back(box(ctl::kFetchedPlanBox));
    }
    std::printf("[ measured ] %zu fetch clicks in %lld ms\n", fetchedPlans().size(),
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(fetchedPlans().size(), 158u);
    const std::vector<std::string> twins = shownById.at(43549);
    ASSERT_EQ(twins.size(), 2u);
    EXPECT_EQ(twins[0], twins[1]);

    // 按钮23 carries 按钮47's caption but fetches nothing.
    runtime->controls.setText(ctl::kFetchedPlanBox, "旧的计划");
    const std::size_t before = server->requests().size();
    press(ctl::kPlanlessFetchButton);
    EXPECT_EQ(server->requests().size(), before);
    EXPECT_EQ(box(ctl::kFetchedPlanBox), "旧的计划");
}

TEST_F(PlanPages, ErrorPagesLargeFilesZeroBytesAndRefusedConnections) {
    const std::string notFound = "<html>404 没有这个计划</html>";
    serve(97, httpReply("HTTP/1.1 404 Not Found", notFound));
    press(ctl::button(50));
    EXPECT_EQ(box(ctl::kFetchedPlanBox), notFound);

    std::string large;
    for (int i = 0; large.size() <= 3 * 102400; ++i)
        large += std::to_string(i) + "期 【黄金】 01 02 03 进行中\r\n";
    serve(97, httpReply("HTTP/1.1 200 OK", large));
    press(ctl::button(50));
    EXPECT_EQ(box(ctl::kFetchedPlanBox), large);

    serve(97, httpReply("HTTP/1.1 200 OK", std::string("前半\0后半", 9)));
    press(ctl::button(50));
    EXPECT_EQ(box(ctl::kFetchedPlanBox), "前半");

    {
        LoopbackServer gone([](const std::string&) { return Reply{}; });
        runtime->app.settings.planServerPort = gone.port();
    }
    press(ctl::button(207));
    runtime->app.settings.planServerPort = server->port();
    EXPECT_EQ(box(ctl::kFetchedPlanBox), "");
}

TEST_F(PlanPages, KillPlanButtonsListTheirLinesAndStopTheTwentyTimers) {
    for (const KillPlan& row : killPlans())
        serve(row.contentId, httpReply("HTTP/1.1 200 OK", mixedPlanFile()));
    const auto& timers = groupTimers(PlanGroup::BackThree);
    for (const KillPlan& row : killPlans()) {
        SCOPED_TRACE(row.button);
        for (const ControlName& t : timers)
            runtime->controls.setPeriod(t, 600000);
        press(row.button);
        std::string listed;
        for (const std::string& line : listedBy(row.button))
            listed += line + "\r\n";
        EXPECT_EQ(box(ctl::kBackThreePlanBox), listed);
        for (const ControlName& t : timers)
            EXPECT_FALSE(window->timer(t)->isActive()) << t;
    }
}

// Chinese text arrives through the input method, one committed string at a time.
void typeChinese(QWidget* box, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

TEST_F(PlanPages, StatusLinesFollowTypingInEitherBox) {
    showPageOf(ctl::kBackThreePlanBox);
    runtime->controls.setText(ctl::kBackThreePlanBox, "");
    QWidget* back3 = window->control(ctl::kBackThreePlanBox);
    back3->setFocus();
    typeChinese(back3, QStringLiteral("第8期 进行中"));
    QTest::keyClick(back3, Qt::Key_Return);
    typeChinese(back3, QStringLiteral("　"));
    QTest::keyClicks(back3, QStringLiteral("12 34 "));
    QTest::keyClick(back3, Qt::Key_Return);
    QTest::keyClicks(back3, QString(38, QLatin1Char('-')));
    EXPECT_EQ(box(ctl::kBackThreeNumbersBox), "");
    QTest::keyClicks(back3, QStringLiteral("-"));
    EXPECT_EQ(box(ctl::kBackThreeNumbersBox), "12 34\r\n");

    showPageOf(ctl::kBackTwoPlanBox);
    runtime->controls.setText(ctl::kBackTwoPlanBox, "");
    QWidget* back2 = window->control(ctl::kBackTwoPlanBox);
    back2->setFocus();
    typeChinese(back2, QStringLiteral("进行中"));
    QTest::keyClicks(back2, QStringLiteral(" 56"));
    QTest::keyClick(back2, Qt::Key_Return);
    QTest::keyClicks(back2, QString(39, QLatin1Char('-')));
    EXPECT_EQ(runtime->state.planStatusText, "56\r\n");
}

TEST_F(PlanPages, EachCopyButtonLeavesExactlyItsSourceOnTheClipboard) {
    const auto gbk = [](const QString& s) { return utf8ToGbk(s.toUtf8().toStdString()); };
    const QString back3 = QStringLiteral("后三计划\r\n第1期 进行中\r\n 123 \r\n"),
                  numbers = QStringLiteral("123\r\n456\r\n"),
                  back2 = QStringLiteral("后二计划\r\n进行中\r\n　78 90\r\n") +
                          QString(39, QLatin1Char('-')),
                  fetched = QStringLiteral("岚枫阁\r\n计划\r\n"),
                  blog = QStringLiteral("http://blog.test/1 提取码 abcd\r\n");
    runtime->controls.setText(ctl::kBackThreePlanBox, gbk(back3));
    runtime->controls.setText(ctl::kBackThreeNumbersBox,
                              gbk(numbers));  // after 编辑框2, which rewrites it
    runtime->controls.setText(ctl::kBackTwoPlanBox, gbk(back2));
    runtime->controls.setText(ctl::kFetchedPlanBox, gbk(fetched));
    runtime->controls.setText(ctl::kBlogPlansBox, gbk(blog));
    const std::pair<ControlName, QString> copies[] = {
        {ctl::kCopyBackThreePlanButton, back3},
        {ctl::kCopyBackThreeNumbersButton, numbers},
        {ctl::kCopyBackTwoPlanButton, back2},
        {ctl::kCopyBackTwoNumbersButton, QStringLiteral("78 90\r\n")},
        {ctl::kCopyFetchedPlanButton, fetched},
        {ctl::kCopyBlogPlansButton, blog},
        {ctl::kCopyBackThreePlanButton, back3}};
    for (const auto& [button, source] : copies) {
        press(button);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), source) << button;
    }
}

}  // namespace
