// The program's window refreshing its page cache from a plan page site whose 39 pages are 20 MB
// each. It reports the peak resident memory of the whole refresh and how steadily the window
// went on painting and ticking meanwhile, and fails when the peak passes --limit-mib (below 0:
// not checked, for the sanitizer builds) or the window stood still for longer than --gap-ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "core/code_page.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "core/threads.h"
#include "gui/program.h"
#include "plans/page_cache.h"
#include "support/loopback_server.h"

using namespace pv;

namespace {

constexpr std::uint64_t kPageBytes = std::uint64_t{20} << 20;

long statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    return -1;
}

// The longest stretch without a paint of any widget or a tick of the countdown.
struct Steadiness : QObject {
    QElapsedTimer clock;
    qint64 last = 0, longestGap = 0;
    int paints = 0, ticks = 0;

    void seen() {
        if (!clock.isValid()) return;  // counted from the start of the refresh
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && clock.isValid()) ++paints, seen();
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    double limitMiB = 512;
    long gapMs = 2000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--limit-mib") == 0) limitMiB = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--gap-ms") == 0) gapMs = std::atol(argv[i + 1]);
    }
    const std::string start =
        gbkToUtf8("<html><body><textarea id=\"planinfo\">豆豆 001-003期 等待1\r\n </textarea>\r\n");
    test::LoopbackServer site(
        [&start](const std::string&) { return test::generatedReply(kPageBytes, true, start); });

    int status = 0;
    ProgramOptions options;
    options.adjustStartup = [](StartupSequence& steps) {
        steps = StartupSequence{};  // no network, no pinning: the countdown and the look
    };
    static Steadiness steadiness;
    options.started = [&](MainWindow& window, Runtime& runtime) {
        App& app = runtime.app;
        const ControlName list = ctl::kPageCacheList;
        for (int row = 0; row < app.controls.itemCount(list); ++row) {
            const std::string address = app.controls.itemText(list, row, 0);
            app.controls.setItemText(list, row, 0,
                                     site.url(address.substr(address.find("/detail/"))));
        }
        qApp->installEventFilter(&steadiness);
        window.setEventObserver([](const std::string& name, ControlEvent event) {
            if (event == ControlEvent::Tick && name == ctl::kCountdownTimer)
                steadiness.ticks += steadiness.clock.isValid(), steadiness.seen();
        });
        QTimer::singleShot(0, &window, [&app, &window, &runtime, &status, list, limitMiB, gapMs] {
            const long baseKiB = statusKiB("VmRSS:");
            steadiness.clock.start();
            refreshPageCache(app);
            steadiness.seen();
            const qint64 gap = steadiness.longestGap;
            const int paints = steadiness.paints, ticks = steadiness.ticks;
            // The workers' last writes need the window thread.
            QElapsedTimer waited;
            waited.start();
            while (liveWorkers() > 0 && waited.elapsed() < 30000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            const long peakKiB = statusKiB("VmHWM:");
            std::printf("resident before the refresh: %.1f MiB\n", baseKiB / 1024.0);
            std::printf("peak resident: %.1f MiB (limit %.0f MiB)\n", peakKiB / 1024.0, limitMiB);
            std::printf("kept afterwards: %.1f MiB\n", statusKiB("VmRSS:") / 1024.0);
            std::printf(
                "during the refresh: paints %d, countdown ticks %d, longest stand-still %lld ms\n",
                paints, ticks, static_cast<long long>(gap));
            std::printf("row 0 holds %d bytes\n", textLength(app.controls.itemText(list, 0, 2)));
            std::fflush(stdout);
            if (limitMiB >= 0 && peakKiB / 1024.0 > limitMiB) status = 1;
            if (gap > gapMs || ticks < 10) status = 1;
            runtime.desktop.answerNextMessageBox(kAnswerYes);
            window.close();
        });
    };
    const int ended = runPlanViewer(argc, argv, options);
    return ended != 0 ? ended : status;
}
