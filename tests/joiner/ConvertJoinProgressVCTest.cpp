// The join progress panel, driven through its delegate: the polled percentage, ignored values, cancel.
#include "joiner/ConvertJoinProgressVC.h"

#include "controls/NSProgressView.h"
#include "controls/TextLabel.h"
#include "services/LanguageService.h"
#include "tests/support/TestEnvironment.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Reporter : ConvertJoinProgressDelegate
{
    float value = 0;
    int cancels = 0;
    float changeProgress() override { return value; }
    bool cancelConvertJoin() override
    {
        ++cancels;
        return true;
    }
};

// Answers the poll but not the cancel.
struct ProgressOnly : ConvertJoinProgressDelegate
{
    float changeProgress() override { return 10; }
};

class ConvertJoinProgressVCTest : public ::testing::Test
{
protected:
    ConvertJoinProgressVCTest()
    {
        panel.viewDidLoad();
        panel.show();
    }
    ConvertJoinProgressVC panel{platform::makeRect(0, 0, 420, 120)};
};

TEST_F(ConvertJoinProgressVCTest, ShowsThePolledPercentageAndIgnoresValuesOutOfRange)
{
    EXPECT_EQ(panel.titleLabel()->text(), LanguageService::localizedStringForKey("Amalgamate Video"));
    EXPECT_TRUE(panel.isPolling());
    auto reporter = std::make_shared<Reporter>();
    panel.setJoinDelegate(reporter);

    reporter->value = 42.6f;
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return panel.progressStatues() == QStringLiteral("43%"); }));
    EXPECT_NEAR(panel.progress(), 0.426f, 1e-6);
    EXPECT_NEAR(panel.progressView()->progress(), 0.426f, 1e-6);
    EXPECT_EQ(panel.statuesLabel()->text(), QStringLiteral("43%"));

    for (float ignored : {-1.0f, 101.0f}) {
        reporter->value = ignored;
        panel.convertJoinGetProgress();
        EXPECT_NEAR(panel.progress(), 0.426f, 1e-6) << ignored;
        EXPECT_EQ(panel.progressStatues(), QStringLiteral("43%"));
    }
    reporter->value = 100;
    panel.convertJoinGetProgress();
    EXPECT_EQ(panel.progressStatues(), QStringLiteral("100%"));

    // A delegate that is gone reads as none: nothing changes any more.
    reporter.reset();
    panel.convertJoinGetProgress();
    EXPECT_EQ(panel.progressStatues(), QStringLiteral("100%"));
}

TEST_F(ConvertJoinProgressVCTest, CancelStopsThePollAndTellsTheDelegateOnce)
{
    auto reporter = std::make_shared<Reporter>();
    panel.setJoinDelegate(reporter);
    QTest::mouseClick(panel.cancelBtn(), Qt::LeftButton);
    EXPECT_EQ(reporter->cancels, 1);
    EXPECT_FALSE(panel.isPolling());
    // The panel stays until its presenter closes it.
    EXPECT_FALSE(panel.isHidden());
    panel.closeWindow();
    EXPECT_TRUE(panel.isHidden());
}

TEST_F(ConvertJoinProgressVCTest, CancelWithADelegateThatDoesNotHandleItKeepsPolling)
{
    auto other = std::make_shared<ProgressOnly>();
    panel.setJoinDelegate(other);
    QTest::mouseClick(panel.cancelBtn(), Qt::LeftButton);
    EXPECT_TRUE(panel.isPolling());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return panel.progressStatues() == QStringLiteral("10%"); }));
}

} // namespace
