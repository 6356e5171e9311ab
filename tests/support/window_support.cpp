#include "support/window_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

namespace pv::test {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    (void)app;
}

bool waitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeout.count()) return pred();
        // Sleeps until an event arrives or 5 ms pass, then checks again.
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

std::vector<ControlSpec> sampleLayout() {
    std::vector<ControlSpec> layout;
    auto add = [&layout](ControlName name, ControlKind kind, std::uint32_t id, int l, int t, int w,
                         int h) -> ControlSpec& {
        ControlSpec s;
        s.name = name;
        s.kind = kind;
        s.id = id;
        s.left = l;
        s.top = t;
        s.width = w;
        s.height = h;
        layout.push_back(std::move(s));
        return layout.back();
    };
    ControlSpec& tabs = add(ctl::kMainTabs, ControlKind::TabControl, 1, 200, 103, 640, 481);
    tabs.pageCaptions = {"后三700大底", "后二60注"};
    ControlSpec& box = add(ctl::kBackThreePlanBox, ControlKind::EditBox, 2, 3, 24, 413, 384);
    box.container = ctl::kMainTabs;
    box.multiLine = box.verticalScrollBar = true;
    ControlSpec& numbers = add(ctl::kBackThreeNumbersBox, ControlKind::EditBox, 3, 6, 416, 120, 41);
    numbers.container = ctl::kMainTabs;
    numbers.multiLine = true;
    numbers.text = "\r\n挂机直接采集专用";
    ControlSpec& other = add(ctl::kBackTwoPlanBox, ControlKind::EditBox, 4, 0, 25, 392, 392);
    other.container = ctl::kMainTabs;
    other.page = 1;
    other.multiLine = true;
    add(ctl::kRefreshPeriodBox, ControlKind::EditBox, 5, 746, 97, 32, 24).text = "30";
    add(ctl::kCountdownLabel, ControlKind::Label, 6, 132, 75, 67, 24);
    ControlSpec& button =
        add(ctl::kRefreshPageCacheButton, ControlKind::Button, 7, 72, 65, 256, 56);
    button.container = ctl::kMainTabs;
    button.text = "A&B ";
    ControlSpec& hidden = add(ctl::kPageCacheList, ControlKind::ListView, 8, 184, 400, 392, 72);
    hidden.visible = false;
    hidden.columnHeaders = {"网址", "操作", "返回信息"};
    hidden.columnWidths = {200, 80, 250};
    hidden.rows = {{"/detail/1193.html", "3", ""}, {"/detail/1191.html", "3", ""}};
    add(ctl::kDrawHistoryGrid, ControlKind::Grid, 9, 0, 104, 192, 464);
    add(ctl::kCountdownTimer, ControlKind::Timer, 10, 0, 0, 0, 0);
    add(ctl::timer(3), ControlKind::Timer, 11, 0, 0, 0, 0);
    return layout;
}

ProbeRun runProbe(const QString& program, const QString& mode, const QByteArray& marker,
                  int finishMs) {
    ProbeRun run;
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(env);
    probe.start(program, {mode});
    if (!probe.waitForStarted(30000)) return run;
    while (!run.output.contains(marker) && probe.waitForReadyRead(60000))
        run.output += probe.readAllStandardOutput();
    run.started = run.output.contains(marker);
    QElapsedTimer clock;
    clock.start();
    run.finished = probe.waitForFinished(finishMs);
    run.closingMs = clock.elapsed();
    if (!run.finished) probe.kill(), probe.waitForFinished(5000);
    run.output += probe.readAllStandardOutput();
    run.exitCode = probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
    run.errors = QString::fromLocal8Bit(probe.readAllStandardError());
    return run;
}

}  // namespace pv::test
