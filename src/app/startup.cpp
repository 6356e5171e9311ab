#include "app/startup.h"

#include <dirent.h>
#include <sched.h>

#include <cstdlib>

#include "core/threads.h"
#include "draw/draw_history.h"
#include "publisher/announcement.h"
#include "publisher/visit_counter.h"

namespace pv {

bool pinToFirstProcessor() {
    cpu_set_t mask;
    CPU_ZERO(&mask);
    CPU_SET(0, &mask);
    const bool pinned = sched_setaffinity(0, sizeof mask, &mask) == 0;
    // The call above binds only this thread; threads started earlier (the toolkit's own) are
    // bound one by one so that the whole process runs on one processor.
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* task = readdir(tasks)) {
            const int tid = std::atoi(task->d_name);
            if (tid > 0) sched_setaffinity(tid, sizeof mask, &mask);
        }
        closedir(tasks);
    }
    return pinned;
}

StartupSequence StartupSequence::defaults() {
    StartupSequence s;
    s.pinProcessor = [] { pinToFirstProcessor(); };
    s.loadAnnouncement = pv::loadAnnouncement;
    s.drawHistoryWorker = pv::scrapeDrawHistory;
    s.checkForUpdate = pv::checkForUpdate;
    s.requestVisitCounter = pv::requestVisitCounter;
    return s;
}

void StartupSequence::run(App& app) const {
    if (pinProcessor) pinProcessor();
    if (applyStyle) applyStyle();
    if (loadAnnouncement) loadAnnouncement(app);
    app.controls.setPeriod(ctl::kCountdownTimer, 1000);
    if (drawHistoryWorker) {
        // The worker outlives this call: it gets its own WorkerContext, not this call's App.
        startThread([context = WorkerContext(app), worker = drawHistoryWorker](int) mutable {
            worker(context.app());
        });
    }
    if (checkForUpdate) checkForUpdate(app);
    if (requestVisitCounter) requestVisitCounter(app);
}

}  // namespace pv
