// The program-wide variables and the context every handler receives.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/controls.h"
#include "core/convert.h"
#include "core/desktop.h"
#include "core/settings.h"

namespace pv {

struct ProgramState {
    // Read by page workers at their own pace; written by the window thread.
    std::atomic<std::int32_t> stopFlag{0};
    std::atomic<std::uint32_t> currentLock{0};
    // Page-cache refreshes are numbered from 1; the workers of every refresh up to
    // pageRefreshesStopped have been told to end, even when a later refresh has cleared the stop
    // flag before they looked at it.
    std::atomic<std::uint32_t> pageRefreshesStarted{0};
    std::atomic<std::uint32_t> pageRefreshesStopped{0};
    // Window thread only.
    std::int32_t dayTriggerCounter = 0;
    std::int32_t nightTriggerCounter = 0;
    std::string planStatusText;
    // Window thread only: the local time the countdown reads; the system clock when empty.
    std::function<DateTime()> localTime;

    // The exit hook: lets go of what outlives the window.
    void releaseAtExit();
};

struct App {
    Controls& controls;
    Desktop& desktop;
    Settings settings;
    ProgramState& state;
};

// What a worker thread is given of the program: its own copy of the handler's App, so that no
// worker refers to the App of the handler that started it (which may be a temporary). The copy
// holds the settings by value and the controls facade, the desktop and the program state by
// reference. Those three belong to whoever made the App (the program's Runtime, a test's
// fixture), and that owner outlives every worker by contract: it waits for every worker
// (waitForWorkers, core/threads.h) before it lets them go; the program's Runtime is never
// destroyed at all. A worker holds nothing else of the program.
class WorkerContext {
  public:
    explicit WorkerContext(const App& app) : app_(app) {}
    // The worker's own App, to hand to the worker's entry.
    App& app() { return app_; }

  private:
    App app_;
};

}  // namespace pv
