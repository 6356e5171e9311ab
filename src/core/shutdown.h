// Process-wide shutdown signal. Once the window is closing, long operations on worker threads
// (page transfers, pauses) check it and end promptly instead of holding the process open.
#pragma once

namespace pv {

bool shuttingDown();
void beginShutdown();
// Tests reuse one process for many windows.
void resetShutdownForTesting();

}  // namespace pv
