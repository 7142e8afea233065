#include <gtest/gtest.h>
TEST(Harness, Runs) { EXPECT_EQ(1 + 1, 2); }
