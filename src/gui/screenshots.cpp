// Development and packaging aid, not part of the program:
//   planviewer_screenshots <folder>         a picture of each page, drawn without the network
//   planviewer_screenshots --live <folder>  the same once the program has shown live data from
//                                           the sites it is built for (the demo origin by default)
//   planviewer_screenshots --icon <file>    the program's icon as a PNG, for the desktop entry
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "catalogue/catalogue.h"
#include "gui/app_icon.h"
#include "gui/main_window.h"
#include "gui/program.h"
#include "gui/tab_control.h"
#include "plans/page_cache.h"

using namespace pv;

namespace {

bool save(QWidget& window, const QString& path) {
    QApplication::processEvents();
    if (window.grab().save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

bool savePages(MainWindow& window, const QDir& folder) {
    auto* pages = qobject_cast<TabControl*>(window.control(ctl::kMainTabs));
    if (!pages) {
        std::fprintf(stderr, "the layout has no tab control 选择夹1\n");
        return false;
    }
    bool ok = true;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        ok &= save(window, folder.filePath(QStringLiteral("page-%1.png").arg(i)));
        auto* sub = qobject_cast<TabControl*>(window.control(ctl::kPlanTabs));
        if (sub && pages->page(i)->isAncestorOf(sub)) {
            for (int j = 1; j < sub->count(); ++j) {
                sub->setCurrentIndex(j);
                ok &= save(window, folder.filePath(QStringLiteral("page-%1-%2.png").arg(i).arg(j)));
            }
            sub->setCurrentIndex(0);
        }
    }
    pages->setCurrentIndex(0);
    return ok;
}

// Serves the window until `ready` holds or the time is up; a site that does not answer costs
// its wait and no more.
bool waitFor(const std::function<bool()>& ready, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return ready();
}

void press(MainWindow& window, ControlName button) {
    if (auto* b = qobject_cast<QAbstractButton*>(window.control(button))) b->click();
}

int offline(int argc, char** argv, const QDir& folder) {
    QApplication app(argc, argv);
    QApplication::setFont(programFont());
    Runtime runtime;
    MainWindow window(runtime);
    window.show();
    StartupSequence steps;  // only the look: no network, no workers
    window.runStartup(steps);
    runtime.controls.setPeriod(ctl::kCountdownTimer, 0);
    const bool ok = savePages(window, folder);
    runtime.desktop.answerNextMessageBox(kAnswerYes);
    window.close();
    return ok ? 0 : 1;
}

int live(int argc, char** argv, const QDir& folder) {
    bool ok = true;
    ProgramOptions options;
    options.started = [&](MainWindow& window, Runtime& rt) {
        Controls& c = rt.controls;
        auto filled = [&c](ControlName box) { return [&c, box] { return !c.text(box).empty(); }; };
        waitFor(filled(ctl::kAnnouncementBox), 10000);
        // The page cache: the click waits out its refresh while the window keeps serving.
        press(window, ctl::kRefreshPageCacheButton);
        waitFor([&c] { return !cachedPage(c, 0).empty(); }, 20000);
        for (PlanGroup group : {PlanGroup::BackThree, PlanGroup::BackTwo}) {
            for (const CachedPlan& p : cachedPlans()) {
                if (p.group != group) continue;
                press(window, p.button);
                break;
            }
        }
        press(window, fetchedPlans().front().button);
        waitFor(filled(ctl::kFetchedPlanBox), 10000);
        press(window, ctl::kUpdateBlogPlansButton);
        waitFor(filled(ctl::kBlogPlansBox), 10000);
        waitFor(filled(ctl::kCounterWorkLabel), 5000);
        ok = savePages(window, folder);
        rt.desktop.answerNextMessageBox(kAnswerYes);
        window.close();
    };
    const int rc = runPlanViewer(argc, argv, options);
    return ok ? rc : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--icon") == 0) {
        QApplication app(argc, argv);
        if (appIconImage().save(QString::fromLocal8Bit(argv[2]))) return 0;
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    const bool isLive = argc == 3 && std::strcmp(argv[1], "--live") == 0;
    if (argc != 2 && !isLive) {
        std::fprintf(stderr, "usage: planviewer_screenshots [--live] <folder> | --icon <file>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[argc - 1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot make %s\n", argv[argc - 1]);
        return 1;
    }
    int qtArgc = 1;
    return isLive ? live(qtArgc, argv, folder) : offline(qtArgc, argv, folder);
}
