#include "cutters/EasyCutterCutList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A list of cuts whose starts are 0, 10, 20, ... and ends 5, 15, 25, ...
EasyCutterCutList listOf(int count)
{
    EasyCutterCutList list;
    for (int i = 0; i < count; ++i)
        list.cut(10.0f * i, 10.0f * i + 5, QImage());
    return list;
}

std::vector<float> starts(const EasyCutterCutList &list)
{
    std::vector<float> out;
    for (const auto &cut : list.cutItems())
        out.push_back(cut->startTime);
    return out;
}

} // namespace

TEST(EasyCutterCutList, CutAppendsAndSelectsTheNewCutEvenWhenEqual)
{
    EasyCutterCutList list;
    list.cut(10.0f, 25.5f, QImage());
    list.cut(10.0f, 25.5f, QImage());
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.selectedCutIndex(), 1);
    EXPECT_TRUE(list.cutAt(1)->selected);
    EXPECT_FALSE(list.cutAt(0)->selected);
    EXPECT_FLOAT_EQ(list.cutAt(0)->startTime, list.cutAt(1)->startTime);
}

TEST(EasyCutterCutList, MoveUpAndDownFollowTheCutAndStopAtTheEnds)
{
    EasyCutterCutList list = listOf(5);
    list.setSelectedCutIndex(2);
    EXPECT_TRUE(list.moveUp());
    EXPECT_TRUE(list.moveUp());
    EXPECT_EQ(list.selectedCutIndex(), 0);
    EXPECT_EQ(starts(list), (std::vector<float>{20, 0, 10, 30, 40}));
    EXPECT_FALSE(list.canMoveUp());
    EXPECT_FALSE(list.moveUp());

    list.setSelectedCutIndex(4);
    EXPECT_FALSE(list.canMoveDown());
    EXPECT_FALSE(list.moveDown());
    EXPECT_EQ(starts(list), (std::vector<float>{20, 0, 10, 30, 40}));
    EXPECT_TRUE(list.canMoveUp());
}

TEST(EasyCutterCutList, OneSelectedCutKeepsMoveDownEnabledButDoesNotMove)
{
    EasyCutterCutList list = listOf(1);
    EXPECT_FALSE(list.canMoveUp());
    EXPECT_TRUE(list.canMoveDown());
    EXPECT_FALSE(list.moveDown());
    EXPECT_EQ(list.selectedCutIndex(), 0);
}

TEST(EasyCutterCutList, CopyGoesInFrontOfTheCopiedCutAndKeepsTheSelectionIndex)
{
    EasyCutterCutList list = listOf(5);
    list.setSelectedCutIndex(3);
    list.setOverlayIndex(1);
    list.setModifyMode(true);
    ASSERT_TRUE(list.copy());
    EXPECT_EQ(starts(list), (std::vector<float>{0, 10, 10, 20, 30, 40}));
    EXPECT_EQ(list.selectedCutIndex(), 3);
    EXPECT_FLOAT_EQ(list.selectedCut()->startTime, 20); // the cut that was at index 2
    EXPECT_FALSE(list.cutAt(1)->selected);
    EXPECT_NE(list.cutAt(1), list.cutAt(2)); // a copy, not the same record
    EXPECT_FALSE(list.modifyMode());
}

TEST(EasyCutterCutList, ModifySelectsTheOverlayRowAndTogglesTheMode)
{
    EasyCutterCutList list = listOf(3);
    list.setOverlayIndex(1);
    EXPECT_TRUE(list.modify());
    EXPECT_EQ(list.selectedCutIndex(), 1);
    EXPECT_TRUE(list.cutAt(1)->selected);
    EXPECT_FALSE(list.cutAt(2)->selected);
    EXPECT_FALSE(list.modify());
    EXPECT_EQ(list.selectedCutIndex(), 1);
}

TEST(EasyCutterCutList, DeleteSelectsTheSamePlaceOrTheNewLastCut)
{
    struct Case
    {
        int count, overlay;
        std::vector<float> remaining;
        int selected;
    };
    const Case cases[] = {
        {3, 1, {0, 20}, 1}, // the next cut moves up into the place
        {3, 2, {0, 10}, 1}, // the last: the one before it
        {1, 0, {}, 0},      // the only one: empty, the index stays
    };
    for (const Case &c : cases) {
        EasyCutterCutList list = listOf(c.count);
        list.setOverlayIndex(c.overlay);
        list.setModifyMode(true);
        ASSERT_TRUE(list.remove());
        EXPECT_EQ(starts(list), c.remaining) << c.count << " " << c.overlay;
        EXPECT_EQ(list.selectedCutIndex(), c.selected) << c.count << " " << c.overlay;
        EXPECT_FALSE(list.modifyMode());
    }
}

TEST(EasyCutterCutList, ClearKeepsTheIndexesAndLaterOperationsDoNothing)
{
    EasyCutterCutList list = listOf(3);
    list.setSelectedCutIndex(2);
    list.setOverlayIndex(2);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.selectedCutIndex(), 2);
    EXPECT_FALSE(list.hasSelection());
    EXPECT_FALSE(list.moveUp());
    EXPECT_FALSE(list.moveDown());
    EXPECT_FALSE(list.copy());
    EXPECT_FALSE(list.remove());
    EXPECT_EQ(list.selectedCut(), nullptr);
    list.cut(1, 2, QImage());
    EXPECT_EQ(list.selectedCutIndex(), 0);
}
