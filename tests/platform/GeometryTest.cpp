#include "platform/Geometry.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Geometry, AspectFitRectCentresTheLargestRectangleOfTheAspect)
{
    struct Case
    {
        Size aspect;
        Rect bounds;
        Rect expected;
    };
    const Case cases[] = {
        {{1920, 1080}, makeRect(0, 0, 400, 400), makeRect(0, 87.5, 400, 225)},   // wide: bars above and below
        {{1080, 1920}, makeRect(0, 0, 400, 400), makeRect(87.5, 0, 225, 400)},   // tall: bars left and right
        {{4, 3}, makeRect(10, 20, 80, 60), makeRect(10, 20, 80, 60)},            // exact fit keeps the origin
        {{16, 9}, makeRect(0, 0, 0, 300), makeRect(0, 150, 0, 0)},               // empty bounds
        {{0, 9}, makeRect(0, 0, 100, 100), makeRect(50, 50, 0, 0)},              // empty aspect
    };
    for (const Case &c : cases) {
        const Rect r = aspectFitRect(c.aspect, c.bounds);
        EXPECT_DOUBLE_EQ(r.minX(), c.expected.minX());
        EXPECT_DOUBLE_EQ(r.minY(), c.expected.minY());
        EXPECT_DOUBLE_EQ(r.width(), c.expected.width());
        EXPECT_DOUBLE_EQ(r.height(), c.expected.height());
    }
}

TEST(Geometry, ContainsIsHalfOpenAndIntersectsIgnoresTouchingEdges)
{
    const Rect r = makeRect(10, 10, 20, 20);
    EXPECT_TRUE(r.contains({10, 10}));
    EXPECT_FALSE(r.contains({30, 20}));
    EXPECT_FALSE(r.contains({20, 30}));
    EXPECT_TRUE(r.intersects(makeRect(29, 29, 5, 5)));
    EXPECT_FALSE(r.intersects(makeRect(30, 10, 5, 5)));
    EXPECT_EQ(r.intersection(makeRect(25, 0, 100, 15)), makeRect(25, 10, 5, 5));
    EXPECT_TRUE(r.intersection(makeRect(100, 100, 1, 1)).isZero());
    EXPECT_EQ(r.insetBy(2, 3), makeRect(12, 13, 16, 14));
    EXPECT_TRUE(makeRect(0, 0, 5, 0).isEmpty());
}
