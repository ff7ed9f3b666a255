// SPDX-License-Identifier: MIT
// The double-click rule on its own: timestamps no test server would produce.
#include "ClickTracker.h"

#include <gtest/gtest.h>

using hook::CClickTracker;

TEST(ClickTracker, PairAcrossTheServerClockWrap) {
    CClickTracker clicks;
    EXPECT_FALSE(clicks.OnLeftPress(0xFFFFFF00u, 10, 10, 500));
    EXPECT_TRUE(clicks.OnLeftPress(0x00000010u, 10, 10, 500)); // 272 ms later, clock wrapped
}

TEST(ClickTracker, LimitIsInclusiveAndAThirdPressStartsAnew) {
    CClickTracker clicks;
    EXPECT_FALSE(clicks.OnLeftPress(1000, 10, 10, 500));
    EXPECT_TRUE(clicks.OnLeftPress(1500, 12, 8, 500));
    EXPECT_FALSE(clicks.OnLeftPress(1600, 12, 8, 500));
    EXPECT_FALSE(clicks.OnLeftPress(2101, 12, 8, 500));
    EXPECT_TRUE(clicks.OnLeftPress(2102, 12, 8, 500));
    // A timestamp going backwards (another server time base) is no double click.
    EXPECT_FALSE(clicks.OnLeftPress(5000, 0, 0, 500));
    EXPECT_FALSE(clicks.OnLeftPress(4999, 0, 0, 500));
}
