// The start-up sequence the main window runs once it exists. Each step is replaceable so that
// tests can run the sequence without the network or the processor pinning.
#pragma once

#include <functional>

#include "core/program_state.h"

namespace pv {

// Limits the process to the first processor; false when the system refuses.
bool pinToFirstProcessor();

struct StartupSequence {
    std::function<void()> pinProcessor;
    std::function<void()> applyStyle;
    std::function<void(App&)> loadAnnouncement;
    std::function<void(App&)> drawHistoryWorker;  // runs on its own thread with a WorkerContext
    std::function<void(App&)> checkForUpdate;
    std::function<void(App&)> requestVisitCounter;

    // The program's own steps; applyStyle is left to the window.
    static StartupSequence defaults();
    // Runs the steps in order on the calling (window) thread; empty steps are skipped.
    void run(App& app) const;
};

}  // namespace pv
