#pragma once

#include "support/DemoSite.h"

#include <gtest/gtest.h>

#include <cstdlib>

// A suite whose cases share one demo site, started before the first case and
// stopped after the last.
class DemoSiteSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        site = new DemoSite;
        // The retries of a download cut short wait milliseconds, not seconds.
        ::setenv("SKERROW_RETRY_SECOND_MS", "1", 1);
    }
    static void TearDownTestSuite()
    {
        delete site;
        site = nullptr;
    }

    static inline DemoSite* site = nullptr;
};
