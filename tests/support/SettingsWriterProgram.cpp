// A test program whose one test writes a setting and leaves it unsynced, as widget tests do. The test
// "TestEnvironment.LeavesNothingBehind" runs it in a temporary folder of its own, which must be empty
// when the program has ended.
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

TEST(TestEnvironment, WritesASettingWithoutSyncingIt)
{
    platform::UserDefaults::standard().setValue(QStringLiteral("extName_SelectTitle"), QStringLiteral("mp4"));
    EXPECT_EQ(platform::UserDefaults::standard().string(QStringLiteral("extName_SelectTitle")), "mp4");
}
