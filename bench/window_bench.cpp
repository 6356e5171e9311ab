// The program's own window, offscreen, timed around what a user does: a kill-plan click that
// lists many lines, and the page-cache refresh of 按钮25. Prints one line of figures per run for
// bench/compare.sh.
//
//   window_bench --listing=LINES [--runs=N]   whole click of 按钮46; "ms=" per run
//   window_bench --listing-reference=LINES [--runs=N]
//                                             the download and the pattern alone, no window
//   window_bench --page-cache                 when each of the 39 rows is filled after the click
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"
#include "core/code_page.h"
#include "core/threads.h"
#include "gui/main_window.h"
#include "killplans/kill_plans.h"
#include "plans/plan_fetch.h"
#include "support/loopback_server.h"

namespace {

using namespace pv;

constexpr int kRows = 39;

// `lines` lines that the 乾坤 row lists, one in four of the file's lines.
std::string killPlanFile(int lines) {
    std::string out;
    for (int i = 0; i < lines; ++i) {
        const std::string n = std::to_string(20161201000 + i);
        out += n + "期 【乾坤】本期杀尾 " + std::to_string(i % 10) + " 中\r\n";
        out += n + "期 【金囍】定位胆 12345 错\r\n";
        out += "第" + n + "期 3 7 8 9 0 2 4 5 6 1\r\n";
        out += "---------------------------------------\r\n";
    }
    return out;
}

std::string detailPage(int page) {
    std::string plan =
        "<p>作者 某某</p>\r\n<textarea id=\"planinfo\">某某 第" + std::to_string(page) + "页\r\n";
    for (int period = 100; period < 160; ++period)
        plan += std::to_string(period) + "期 后三 012 345 678 中\r\n";
    plan += "160期 等待1\r\n" + std::string(39, '-') + " </textarea>\r\n";
    return gbkToUtf8(plan);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

int intArg(int argc, char** argv, std::string_view key, int fallback) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a.starts_with(key)) return std::atoi(argv[i] + key.size());
    }
    return fallback;
}

struct Window {
    explicit Window(const Settings& settings) : runtime(settings), window(runtime) {
        window.show();
        QApplication::processEvents();
    }
    ~Window() {
        runtime.desktop.answerNextMessageBox(kAnswerYes);
        window.close();
        // Workers may still be in their last pass; they use the runtime until they end.
        QElapsedTimer waited;
        waited.start();
        while (liveWorkers() > 0 && waited.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    Runtime runtime;
    MainWindow window;
};

int listing(int count, int runs) {
    const std::string file = killPlanFile(count);
    test::LoopbackServer server(
        [&file](const std::string&) { return test::httpReply("HTTP/1.1 200 OK", file); });
    Settings settings;
    settings.planServer = "127.0.0.1";
    settings.planServerPort = server.port();
    Window w(settings);
    auto* button = qobject_cast<QPushButton*>(w.window.control(ctl::button(46)));
    std::vector<double> ms, handler;
    for (int run = 0; run <= runs; ++run) {  // the first run warms up
        QElapsedTimer clock;
        clock.start();
        button->click();
        const double clicked = double(clock.nsecsElapsed()) / 1e6;
        QApplication::processEvents();  // what the click left for the window to show
        const double took = double(clock.nsecsElapsed()) / 1e6;
        if (run > 0) ms.push_back(took), handler.push_back(clicked);
    }
    std::string expected;
    const auto lines = killPlanLines(file, findKillPlan(ctl::button(46))->pattern);
    for (const std::string& l : lines.value_or(TextArray{}))
        expected += l + "\r\n";
    const bool ok = w.runtime.controls.text(ctl::kBackThreePlanBox) == expected;
    std::printf("listing lines=%d median_ms=%.2f handler_ms=%.2f ok=%d\n", count, median(ms),
                median(handler), ok ? 1 : 0);
    return ok ? 0 : 1;
}

int listingReference(int lines, int runs) {
    const std::string file = killPlanFile(lines);
    test::LoopbackServer server(
        [&file](const std::string&) { return test::httpReply("HTTP/1.1 200 OK", file); });
    Settings settings;
    settings.planServer = "127.0.0.1";
    settings.planServerPort = server.port();
    const KillPlan& plan = *findKillPlan(ctl::button(46));
    std::vector<double> ms;
    std::size_t found = 0;
    for (int run = 0; run <= runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        found = killPlanLines(downloadPlanFile(settings, plan.contentId), plan.pattern)->size();
        if (run > 0) ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("reference lines=%d median_ms=%.2f ok=%d\n", lines, median(ms),
                found == std::size_t(lines) ? 1 : 0);
    return 0;
}

int pageCache() {
    test::LoopbackServer site([](const std::string& request) {
        const std::string line = test::requestLine(request);
        const int page = std::atoi(line.c_str() + line.find("/detail/") + 8);
        return test::httpReply("HTTP/1.1 200 OK", detailPage(page));
    });
    Settings settings;
    settings.planPageSite = site.url("");
    Window w(settings);
    std::vector<qint64> filledAt(kRows, -1);
    QElapsedTimer clock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        for (int row = 0; row < kRows; ++row)
            if (filledAt[size_t(row)] < 0 &&
                !w.runtime.controls.itemText(ctl::kPageCacheList, row, 2).empty())
                filledAt[size_t(row)] = clock.elapsed();
    });
    probe.start(2);
    clock.start();
    qobject_cast<QPushButton*>(w.window.control(ctl::kRefreshPageCacheButton))
        ->click();  // returns after 15 s
    std::vector<double> filled;
    for (qint64 t : filledAt)
        if (t >= 0) filled.push_back(double(t));
    std::sort(filled.begin(), filled.end());
    std::printf("page_cache rows=%zu first_ms=%.0f median_ms=%.0f last_ms=%.0f\n", filled.size(),
                filled.empty() ? -1.0 : filled.front(), median(filled),
                filled.empty() ? -1.0 : filled.back());
    return filled.size() == kRows ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = intArg(argc, argv, "--runs=", 5);
    int rc = 2;
    if (const int lines = intArg(argc, argv, "--listing=", 0); lines > 0)
        rc = listing(lines, runs);
    else if (const int ref = intArg(argc, argv, "--listing-reference=", 0); ref > 0)
        rc = listingReference(ref, runs);
    else if (intArg(argc, argv, "--page-cache", -1) != -1)
        rc = pageCache();
    return rc;
}
