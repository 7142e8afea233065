#include "platform/CMTime.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

TEST(CMTime, MakesAndReadsSeconds)
{
    EXPECT_DOUBLE_EQ(CMTimeGetSeconds(CMTimeMake(3003, 1000)), 3.003);
    const CMTime t = CMTimeMakeWithSeconds(12.345, 600);
    EXPECT_EQ(t.timescale, 600);
    EXPECT_EQ(t.value, 7407); // 12.345 * 600 = 7407, rounded
    EXPECT_DOUBLE_EQ(CMTimeGetSeconds(kCMTimeZero), 0.0);
    EXPECT_TRUE(std::isnan(CMTimeGetSeconds(kCMTimeInvalid)));
    EXPECT_FALSE(CMTimeIsValid(CMTimeMakeWithSeconds(NAN, 600)));
}

TEST(CMTime, ComparesAcrossTimescalesExactly)
{
    EXPECT_EQ(CMTimeMake(1, 3), CMTimeMake(2, 6));
    EXPECT_LT(CMTimeMake(1, 3), CMTimeMake(334, 1000));
    EXPECT_GT(CMTimeMake(1, 3), CMTimeMake(333, 1000));
    // Large values whose cross products overflow 64 bits still compare right.
    EXPECT_LT(CMTimeMake(INT64_MAX / 2, 1000000000), CMTimeMake(INT64_MAX / 2 + 1, 1000000000));
    EXPECT_LT(kCMTimeInvalid, kCMTimeZero);
}

TEST(CMTime, AddsAndConverts)
{
    EXPECT_EQ(CMTimeAdd(CMTimeMake(1, 2), CMTimeMake(1, 3)), CMTimeMake(5, 6));
    EXPECT_EQ(CMTimeSubtract(CMTimeMake(3, 1), CMTimeMake(500, 1000)), CMTimeMake(5, 2));
    EXPECT_EQ(CMTimeConvertScale(CMTimeMake(1, 3), 1000).value, 333);
    EXPECT_EQ(CMTimeConvertScale(CMTimeMake(-2, 3), 1000).value, -667);
}
