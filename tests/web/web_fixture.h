#pragma once

#include <gtest/gtest.h>

#include "core/shutdown.h"
#include "web/curl_global.h"

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
