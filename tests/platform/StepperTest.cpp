#include "platform/Stepper.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

TEST(Stepper, StepsWrapOrStopAtTheBounds)
{
    struct Case
    {
        double min, max, increment;
        bool wraps;
        double start;
        bool up;
        double expected;
    };
    const Case cases[] = {
        {0, 59, 1, true, 58, true, 59},  // an ordinary step
        {0, 59, 1, true, 59, true, 0},   // past the maximum wraps to the minimum
        {0, 99, 1, true, 0, false, 99},  // below the minimum wraps to the maximum
        {0, 59, 1, false, 59, true, 59}, // without wrapping it stays at the bound
        {0, 59, 1, false, 0, false, 0},
        {0, 10, 4, true, 8, true, 0},    // a step that would overshoot also wraps
        {0, 10, 4, false, 8, true, 10},  // or stops at the maximum
    };
    for (const Case &c : cases) {
        Stepper stepper;
        stepper.setMinValue(c.min);
        stepper.setMaxValue(c.max);
        stepper.setIncrement(c.increment);
        stepper.setValueWraps(c.wraps);
        stepper.setDoubleValue(c.start);
        c.up ? stepper.stepUp() : stepper.stepDown();
        EXPECT_EQ(stepper.doubleValue(), c.expected)
            << "start " << c.start << (c.up ? " up" : " down") << (c.wraps ? " wrapping" : "");
    }
}

TEST(Stepper, ValueStaysWithinTheBounds)
{
    Stepper stepper;
    EXPECT_TRUE(stepper.valueWraps());
    EXPECT_EQ(stepper.maxValue(), 59);
    stepper.setDoubleValue(75);
    EXPECT_EQ(stepper.intValue(), 59);
    stepper.setDoubleValue(-3);
    EXPECT_EQ(stepper.intValue(), 0);
    stepper.setDoubleValue(40);
    stepper.setMaxValue(20);
    EXPECT_EQ(stepper.intValue(), 20);
}

TEST(Stepper, ClicksOnTheArrowsStepAndRunTheAction)
{
    Stepper stepper(makeRect(0, 0, 20, 26));
    stepper.setDoubleValue(5);
    std::vector<int> seen;
    stepper.action = [&](Stepper &s) { seen.push_back(s.intValue()); };
    stepper.show();
    QTest::mouseClick(&stepper, Qt::LeftButton, {}, QPoint(10, 3));  // upper half
    QTest::mouseClick(&stepper, Qt::LeftButton, {}, QPoint(10, 22)); // lower half
    QTest::mouseClick(&stepper, Qt::LeftButton, {}, QPoint(10, 22));
    EXPECT_EQ(seen, (std::vector<int>{6, 5, 4}));
    stepper.setEnabled(false);
    QTest::mouseClick(&stepper, Qt::LeftButton, {}, QPoint(10, 3));
    EXPECT_EQ(seen.size(), 3u);
}
