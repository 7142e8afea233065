#include "platform/PopUpButton.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

TEST(PopUpButton, SelectionFollowsInsertionsAndRemovals)
{
    PopUpButton button(makeRect(0, 0, 120, 26));
    EXPECT_EQ(button.indexOfSelectedItem(), -1);
    button.addItemsWithTitles({"A", "B", "C"});
    EXPECT_EQ(button.indexOfSelectedItem(), 0); // the first item of a pop-up list is chosen
    button.selectItemAtIndex(2);
    button.insertItemWithTitle("Z", 0);
    EXPECT_EQ(button.titleOfSelectedItem(), "C");
    button.removeItemAtIndex(0);
    EXPECT_EQ(button.indexOfSelectedItem(), 2);
    button.selectItemAtIndex(7);
    EXPECT_EQ(button.indexOfSelectedItem(), -1);
    button.removeAllItems();
    EXPECT_EQ(button.numberOfItems(), 0);
    EXPECT_EQ(button.titleOfSelectedItem(), "");
}

TEST(PopUpButton, ActionRunsOnlyForTheUsersChoice)
{
    PopUpButton button(makeRect(0, 0, 120, 26));
    button.addItemsWithTitles({"Keep", "Delete"});
    int calls = 0;
    button.action = [&](PopUpButton &) { ++calls; };
    button.selectItemAtIndex(1);
    EXPECT_EQ(calls, 0);
    emit button.comboBox()->activated(0); // what the list does when the user picks an entry
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(button.indexOfSelectedItem(), 0);
    button.chooseItemAtIndex(1);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(button.titleOfSelectedItem(), "Delete");
}

TEST(PopUpButton, SetTitleSelectsOrAddsInAPopUpAndRenamesTheTitleOfAPullDown)
{
    PopUpButton popUp(makeRect(0, 0, 120, 26));
    popUp.addItemsWithTitles({"Desktop", "Movies", "Documents"});
    popUp.setTitle("Movies");
    EXPECT_EQ(popUp.numberOfItems(), 3);
    EXPECT_EQ(popUp.indexOfSelectedItem(), 1);
    popUp.setTitle("Exports");
    EXPECT_EQ(popUp.numberOfItems(), 4);
    EXPECT_EQ(popUp.lastItemTitle(), "Exports");
    EXPECT_EQ(popUp.title(), "Exports");

    PopUpButton pullDown(makeRect(0, 0, 120, 26), true);
    pullDown.addItemsWithTitles({"Language", "English", "Français"});
    EXPECT_EQ(pullDown.indexOfSelectedItem(), -1);
    pullDown.chooseItemAtIndex(2);
    EXPECT_EQ(pullDown.indexOfSelectedItem(), 2);
    EXPECT_EQ(pullDown.comboBox()->currentText(), "Language"); // still shows its title
    pullDown.setTitle("Langue");
    EXPECT_EQ(pullDown.numberOfItems(), 3);
    EXPECT_EQ(pullDown.title(), "Langue");
}

TEST(PopUpButton, KeepsStyledTitles)
{
    PopUpButton button(makeRect(0, 0, 120, 26));
    button.addItemsWithTitles({"one", "two"});
    QFont font("DejaVu Sans");
    font.setPointSize(14);
    button.setItemStyledTitle(1, StyledTitle{"two", font, QColor(33, 176, 235)});
    const StyledTitle styled = button.itemStyledTitle(1);
    EXPECT_EQ(styled.text, "two");
    ASSERT_TRUE(styled.font.has_value());
    EXPECT_EQ(styled.font->pointSize(), 14);
    EXPECT_EQ(styled.color, QColor(33, 176, 235));
    EXPECT_FALSE(button.itemStyledTitle(0).font.has_value());
}

TEST(PopUpButton, TheTitleOfAPullDownCannotBeChosen)
{
    PopUpButton button(makeRect(0, 0, 120, 26), true);
    button.addItemsWithTitles({"Language", "English", "Deutsch"});
    button.selectItemAtIndex(2);
    int calls = 0;
    button.action = [&](PopUpButton &) { ++calls; };

    // By the keyboard: the open list starts on the (hidden) title row, and Return takes the current row.
    QComboBox *combo = button.comboBox();
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(0, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    combo->hidePopup();
    emit combo->activated(0);
    button.chooseItemAtIndex(0);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(button.indexOfSelectedItem(), 2);
    EXPECT_EQ(button.title(), "Language");

    button.chooseItemAtIndex(1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(button.indexOfSelectedItem(), 1);
}
