#pragma once

#include <chrono>

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "web/curl_global.h"

// Added to a configured limit to bound a test's elapsed time: generous enough for a loaded
// machine and the sanitizers, still far below the 30 s defaults a lost limit falls back to.
inline constexpr std::chrono::seconds kTimeSlack{10};

// Every test starts from the process defaults: no shutdown, default limits, no stored cookies.
class WebTest : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    static void reset() {
        pv::resetShutdownForTesting();
        pv::resetTransferLimitsForTesting();
        pv::clearCookieStore();
    }
};
