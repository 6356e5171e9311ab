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

}  // namespace pv
