// What the fault tests share: calls that must end in bounded time, and the peak resident memory
// a call adds.
#pragma once

#include <chrono>
#include <fstream>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "web/curl_global.h"

namespace pv::test {

using namespace std::chrono_literals;

// Every silence a client gives up on, in place of the 30 s a site gets.
inline constexpr std::chrono::milliseconds kIdle = 500ms;
// No call may take longer, whatever the server does.
inline constexpr std::chrono::seconds kBound = 20s;

// Peak memory a call may add beyond the bodies it must hold: buffers, and the growth of a body
// whose length was not announced. One more copy of a capped body goes far past it.
inline constexpr double kMemorySlackMiB = 24;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Shadow memory and quarantines make resident sizes meaningless.
inline constexpr bool kMemoryMeasurable = false;
#else
inline constexpr bool kMemoryMeasurable = true;
#endif

// Runs f on a thread of its own. One still running after kBound fails the test and is ended by
// the shutdown signal, which every transfer heeds within a second.
template <class F>
auto bounded(F f) -> decltype(f()) {
    auto running = std::async(std::launch::async, std::move(f));
    if (running.wait_for(kBound) != std::future_status::ready) {
        ADD_FAILURE() << "a call was still running after " << kBound.count() << " s";
        beginShutdown();
    }
    return running.get();
}

// The peak resident memory since construction, above what was resident then.
class PeakGrowth {
  public:
    PeakGrowth() {
        std::ofstream clear("/proc/self/clear_refs");
        valid_ = static_cast<bool>(clear << "5" << std::flush);  // resets VmHWM to VmRSS
        baseKiB_ = statusKiB("VmRSS:");
    }
    // False where the peak cannot be reset, so that an earlier peak would hide this one.
    bool valid() const { return valid_ && baseKiB_ > 0; }
    double mib() const { return static_cast<double>(statusKiB("VmHWM:") - baseKiB_) / 1024; }

  private:
    static long statusKiB(const std::string& field) {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with(field)) return std::stol(line.substr(field.size()));
        }
        return 0;
    }

    bool valid_ = false;
    long baseKiB_ = 0;
};

class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    static void reset() {
        resetShutdownForTesting();
        resetTransferLimitsForTesting();
        setTransferTimeoutsForTesting(kIdle, kIdle);
        // Where memory is not measured, a smaller body cap spares the time.
        if (!kMemoryMeasurable) setBodyCapForTesting(std::size_t{8} << 20);
        clearCookieStore();
    }
};

}  // namespace pv::test
