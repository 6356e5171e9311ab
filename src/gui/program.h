// The life of the process: the window, its start-up, the message loop and an orderly end.
#pragma once

#include <chrono>
#include <functional>

#include "gui/main_window.h"

namespace pv {

struct ProgramOptions {
    // Lets a test program replace start-up steps (the network, the processor pinning).
    std::function<void(StartupSequence&)> adjustStartup;
    // Runs once start-up is done, before the message loop.
    std::function<void(MainWindow&, Runtime&)> started;
    // How long the end waits for worker threads.
    std::chrono::milliseconds workerWait{1200};
};

// Returns 0 on every orderly end.
int runPlanViewer(int& argc, char** argv, const ProgramOptions& options = {});

}  // namespace pv
