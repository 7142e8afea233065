#include "platform/TextField.h"

#include "platform/Window.h"

#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>

using namespace platform;

namespace {

// Answers from a queue (accepting when it is empty) and records what it was asked.
class ScriptedDelegate : public TextFieldDelegate
{
public:
    std::deque<bool> answers;
    int asked = 0;
    int ended = 0;
    std::function<void()> whileAsked; // e.g. an alert taking the focus away
    QString seenText;

    bool controlTextShouldEndEditing(TextField *field) override
    {
        ++asked;
        seenText = field->stringValue();
        if (whileAsked)
            whileAsked();
        if (answers.empty())
            return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void controlTextDidEndEditing(TextField *) override { ++ended; }
};

class TextFieldFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<Window>(Size{300, 100});
        first = new TextField(makeRect(10, 60, 100, 24), window->contentView());
        second = new TextField(makeRect(10, 20, 100, 24), window->contentView());
        first->setDelegate(&delegate);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        first->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return first->lineEdit()->hasFocus(); }, 2000));
    }

    bool firstHasFocusAfterEvents()
    {
        TestEnvironment::processEvents();
        TestEnvironment::processEvents();
        return QApplication::focusWidget() == first->lineEdit();
    }

    ScriptedDelegate delegate;
    std::unique_ptr<Window> window;
    TextField *first = nullptr;
    TextField *second = nullptr;
};

} // namespace

TEST_F(TextFieldFixture, RefusedReturnKeepsTextAndFocusAcceptedReturnRunsTheAction)
{
    int actions = 0;
    first->action = [&](TextField &) { ++actions; };
    delegate.answers = {false, true};
    QTest::keyClicks(first->lineEdit(), "75");
    QTest::keyClick(first->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(delegate.asked, 1);
    EXPECT_EQ(delegate.seenText, "75");
    EXPECT_EQ(actions, 0);
    EXPECT_EQ(first->stringValue(), "75");
    EXPECT_TRUE(firstHasFocusAfterEvents());

    QTest::keyClick(first->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(delegate.asked, 2);
    EXPECT_EQ(delegate.ended, 1);
    EXPECT_EQ(actions, 1);
    EXPECT_FALSE(first->isEdited());
}

TEST_F(TextFieldFixture, RefusedTabOrFocusChangeTakesTheFocusBack)
{
    delegate.answers = {false, false};
    QTest::keyClicks(first->lineEdit(), "9");
    QTest::keyClick(first->lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(delegate.asked, 1);
    EXPECT_TRUE(firstHasFocusAfterEvents());

    second->setFocus(Qt::MouseFocusReason); // the user clicks the other field
    EXPECT_EQ(delegate.asked, 2);
    EXPECT_TRUE(firstHasFocusAfterEvents());

    // Accepted, the focus moves on and stays there.
    second->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(delegate.asked, 3);
    TestEnvironment::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), second->lineEdit());
}

TEST_F(TextFieldFixture, UneditedFieldsAndFocusMovedByCodeAreNotChecked)
{
    QTest::keyClick(first->lineEdit(), Qt::Key_Return);
    second->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(delegate.asked, 0);

    first->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(first->lineEdit(), "1");
    second->setFocus(Qt::OtherFocusReason); // code moving the focus, not the user
    EXPECT_EQ(delegate.asked, 0);
    EXPECT_TRUE(first->isEdited());
}

TEST_F(TextFieldFixture, TheDelegatesOwnFocusChangeDoesNotAskAgain)
{
    delegate.answers = {false};
    delegate.whileAsked = [&] { second->setFocus(Qt::MouseFocusReason); }; // like an alert taking focus
    QTest::keyClicks(first->lineEdit(), "0");
    QTest::keyClick(first->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(delegate.asked, 1);
    EXPECT_TRUE(firstHasFocusAfterEvents());
}

TEST(TextField, NumericValuesUseTheLeadingNumber)
{
    TextField field;
    const struct
    {
        const char *text;
        int intValue;
        double doubleValue;
    } cases[] = {{"12", 12, 12}, {" 7.5s", 7, 7.5}, {"abc", 0, 0}, {"-3", -3, -3}};
    for (const auto &c : cases) {
        field.setStringValue(c.text);
        EXPECT_EQ(field.intValue(), c.intValue) << c.text;
        EXPECT_DOUBLE_EQ(field.doubleValue(), c.doubleValue) << c.text;
    }
}
