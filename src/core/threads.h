// Threads and locks addressed by plain 32-bit handles; 0 means none. Every thread started
// here counts as a live worker until it has ended completely (liveWorkers below).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace pv {

using ThreadHandle = std::uint32_t;
using LockHandle = std::uint32_t;

// Runs entry(argument) on a new thread. Without handleOut the thread runs detached.
bool startThread(std::function<void(int)> entry, int argument = 0,
                 ThreadHandle* handleOut = nullptr);
// Lets go of a handle obtained through handleOut; the thread keeps running.
void closeThreadHandle(ThreadHandle handle);
// Waits for the thread of a live handle to end and closes the handle; false for a dead handle.
bool joinThread(ThreadHandle handle);

LockHandle createLock();
// False when the handle is not a live lock. Threads waiting in enterLock on it return, as they
// would for any dead handle, and so does the holder's later leaveLock.
bool deleteLock(LockHandle handle);
// Both do nothing for a handle that is not a live lock. The lock is re-entrant for the thread
// that holds it, and leaveLock from a thread that does not hold it does nothing.
void enterLock(LockHandle handle);
void leaveLock(LockHandle handle);
// Waits until `count` threads are blocked in enterLock on the lock; false after the timeout.
bool waitForLockWaitersForTesting(LockHandle handle, int count, std::chrono::milliseconds timeout);
// Locks created and not yet deleted.
int liveLocks();

// Every thread started with startThread counts as a live worker from its start
// until it has ended completely: its entry returned, what the entry captured and the thread's
// thread-locals destroyed, the thread joined. The end of the program waits for that, so it
// never runs into a worker still tearing down.
int liveWorkers();
// Waits until no worker is left or the timeout passed; true when none is left.
bool waitForWorkers(std::chrono::milliseconds timeout);

}  // namespace pv
