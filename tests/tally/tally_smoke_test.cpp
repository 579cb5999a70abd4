#include <gtest/gtest.h>
#include "quorvane/qsl_tally.h"
TEST(Smoke, HalfRoundsAway) { EXPECT_EQ(quorvane::FormatRcvdSent(1, 16), "6.3%"); }
