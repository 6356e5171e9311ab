// Process-wide shutdown signal. Once the window is closing, long operations on worker threads
// (page transfers, pauses) check it and end promptly instead of holding the process open.
#pragma once

#include <chrono>

namespace pv {

bool shuttingDown();
void beginShutdown();
// Tests reuse one process for many windows.
void resetShutdownForTesting();

// Worker threads that should be waited for at exit register themselves for their lifetime.
class WorkerScope {
  public:
    WorkerScope();
    ~WorkerScope();
    WorkerScope(const WorkerScope&) = delete;
    WorkerScope& operator=(const WorkerScope&) = delete;
};

int liveWorkers();
// Waits until every registered worker has ended or the timeout passed; true when none is left.
bool waitForWorkers(std::chrono::milliseconds timeout);

}  // namespace pv
