#include "cutters/SplitPoints.h"
#include "controls/PNQImageView.h"
#include "cutters/SplitProgressView.h"
#include "tests/cutters/SplitterWindow.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(SplitPoints, EachModeGivesItsEvenPoints)
{
    // 30 s pieces of 100 s; 5 s pieces of 12 s; 2 MB pieces of 5 MB; 4 and 3.5 equal parts.
    expectNear<double>(SplitPoints::byTime(30, 100), {0.3, 0.6, 0.9});
    expectNear<double>(SplitPoints::byTime(5, 12), {5 / 12.0, 10 / 12.0});
    expectNear<double>(SplitPoints::bySize(2, 5), {0.4, 0.8});
    expectNear<double>(SplitPoints::byCount(4), {0.25, 0.5, 0.75});
    expectNear<double>(SplitPoints::byCount(3.5), {1 / 3.5, 2 / 3.5, 3 / 3.5});
}

TEST(SplitPoints, NoPointsForValuesThatMakeNoPieces)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // A step at least the whole, one part or less, nothing, a negative count, no source, not a number.
    for (const QList<double> &points :
         {SplitPoints::byTime(100, 100), SplitPoints::byTime(120, 100), SplitPoints::bySize(5, 5),
          SplitPoints::byCount(1), SplitPoints::byCount(0.5), SplitPoints::byTime(0, 100),
          SplitPoints::bySize(0, 5), SplitPoints::byCount(0), SplitPoints::byCount(-3),
          SplitPoints::byTime(5, 0), SplitPoints::byTime(nan, 100), SplitPoints::byTime(5, inf),
          SplitPoints::byCount(inf)})
        EXPECT_TRUE(points.isEmpty());
}

TEST(SplitPoints, DropsPointsCloserThanTheGapAndStaysBounded)
{
    // A 1 s step over ten hours with a gap of 1 %: about a hundred points, evenly thinned.
    const QList<double> points = SplitPoints::byTime(1, 36000, 0.01);
    ASSERT_GT(points.size(), 90);
    EXPECT_LE(points.size(), 100);
    for (int i = 1; i < points.size(); ++i)
        EXPECT_GE(points[i] - points[i - 1], 0.01 - 1e-9);
    EXPECT_GT(points.last(), 0.98);
    // A step of almost nothing ends instead of running for ever.
    EXPECT_LE(SplitPoints::byTime(1e-30, 100, 0.01).size(), 100);
}

class SplitProgressViewTest : public ::testing::Test
{
protected:
    // 417 wide: the markers' left edges run over 400 points.
    SplitProgressView view{platform::makeRect(0, 0, 417, 56)};

    QList<double> values() const { return view.getTimeProgresses(); }
};

TEST_F(SplitProgressViewTest, KeepsMarkersSortedAndRefusesNeighboursAndEnds)
{
    EXPECT_EQ(values(), QList<double>({1.0}));
    EXPECT_TRUE(view.addSplitItemTime(0.6f));
    EXPECT_TRUE(view.addSplitItemTime(0.2f));
    EXPECT_TRUE(view.addSplitItemTime(0.4f));
    EXPECT_EQ(view.selectedSplitIndex(), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(view.markers()[i]->index(), i);
    // Within half a marker (8.5 of 400 points) of 0.2 is refused; 9 points away is taken.
    EXPECT_FALSE(view.addSplitItemTime(0.2f + 8 / 400.0f));
    EXPECT_FALSE(view.addSplitItemTime(0.2f - 8.5f / 400.0f));
    EXPECT_TRUE(view.addSplitItemTime(0.1f));
    EXPECT_TRUE(view.addSplitItemTime(0.1f + 9 / 400.0f));
    // A point at or past either end would make an empty piece.
    for (float f : {0.0f, 1.0f, 1.5f, -0.2f, std::numeric_limits<float>::quiet_NaN()})
        EXPECT_FALSE(view.addSplitItemTime(f)) << f;
    const QList<double> v = values();
    ASSERT_EQ(v.size(), 6);
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
    EXPECT_EQ(v.last(), 1.0);
}

TEST_F(SplitProgressViewTest, BeginMarkerAtTheRightEndAddsNothing)
{
    view.setDisable(false);
    view.beginBtn()->setFrameOrigin(platform::Point{400, view.beginBtn()->frame().origin.y});
    EXPECT_FALSE(view.addSplitItemTime());
    view.beginBtn()->setFrameOrigin(platform::Point{100, view.beginBtn()->frame().origin.y});
    EXPECT_TRUE(view.addSplitItemTime());
    EXPECT_NEAR(values().first(), 0.25, 1e-6);
}

TEST_F(SplitProgressViewTest, SelectingAndRemovingFollowTheSelectedIndex)
{
    for (float f : {0.2f, 0.4f, 0.6f})
        view.addSplitItemTime(f);
    view.setProgress(0.9f);
    view.setSelectedSplitIndex(1);
    EXPECT_FLOAT_EQ(view.progress(), 0.4f);
    EXPECT_NEAR(view.beginBtn()->frame().origin.x, 160, 1e-4);
    view.setSelectedSplitIndex(7); // out of range: ignored
    EXPECT_EQ(view.selectedSplitIndex(), 1);

    view.removeSplitItemTAtIndex(view.selectedSplitIndex());
    EXPECT_EQ(values(), QList<double>({double(0.2f), double(0.6f), 1.0}));
    view.removeSplitItemTAtIndex(view.selectedSplitIndex());
    EXPECT_EQ(values(), QList<double>({double(0.2f), 1.0}));
    view.removeSplitItemTAtIndex(view.selectedSplitIndex()); // past the end: the last one goes
    EXPECT_EQ(values(), QList<double>({1.0}));

    view.addSplitItemTime(0.5f);
    view.setSelectedSplitIndex(0);
    view.setProgress(0.7f);
    view.removeAllSplitItem();
    EXPECT_EQ(values(), QList<double>({1.0}));
    EXPECT_EQ(view.beginBtn()->frame().origin.x, 0);
    EXPECT_FLOAT_EQ(view.slider()->progress(), 0.7f);
}
