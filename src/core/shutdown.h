// Process-wide shutdown signal. Once the window is closing, long operations on worker threads
// (page transfers, pauses) check it and end promptly instead of holding the process open.
#pragma once

#include <chrono>

namespace pv {

bool shuttingDown();
void beginShutdown();
// Tests reuse one process for many windows.
void resetShutdownForTesting();

// Every thread started with startThread (threads.h) counts as a live worker from its start
// until it has ended completely: its entry returned, what the entry captured and the thread's
// thread-locals destroyed, the thread joined. The end of the program waits for that, so it
// never runs into a worker still tearing down.
int liveWorkers();
// Waits until no worker is left or the timeout passed; true when none is left.
bool waitForWorkers(std::chrono::milliseconds timeout);

}  // namespace pv
