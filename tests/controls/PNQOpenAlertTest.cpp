#include "controls/PNQOpenAlert.h"

#include "services/LanguageService.h"
#include "controls/ImageView.h"
#include "controls/TextLabel.h"
#include "platform/Application.h"
#include "platform/Window.h"
#include "tests/support/TestEnvironment.h"

#include <QCheckBox>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

// Runs `answer` on the dialog once its modal session has started.
void whenShown(std::function<void(PNQOpenAlert *)> answer)
{
    QTimer::singleShot(0, [answer] {
        platform::Window *window = platform::Application::shared().modalWindow();
        auto *alert = window ? qobject_cast<PNQOpenAlert *>(window->windowController()) : nullptr;
        ASSERT_NE(alert, nullptr) << "the dialog runs modally";
        answer(alert);
    });
}

QString outputFile()
{
    const QString path = TestEnvironment::tempDir() + "/finished.mp4";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

enum class Answer { OkWithBox, OkWithoutBox, CloseButton, Escape };

void give(PNQOpenAlert *alert, Answer answer)
{
    switch (answer) {
    case Answer::OkWithBox:
        QTest::mouseClick(alert->openBtn(), Qt::LeftButton);
        QTest::mouseClick(alert->okBtn(), Qt::LeftButton);
        break;
    case Answer::OkWithoutBox:
        QTest::mouseClick(alert->okBtn(), Qt::LeftButton);
        break;
    case Answer::CloseButton:
        alert->openBtn()->setChecked(true); // a box ticked but not confirmed counts for nothing
        alert->window()->close();
        break;
    case Answer::Escape:
        alert->openBtn()->setChecked(true);
        QTest::keyClick(alert->openBtn(), Qt::Key_Escape);
        break;
    }
}

} // namespace

TEST(PNQOpenAlert, FillsTitleMessageAndButtons)
{
    QPointer<PNQOpenAlert> alert = new PNQOpenAlert;
    alert->setWindowTitle("My clip - already localised");
    alert->window();
    EXPECT_EQ(alert->window()->title(), "My clip - already localised")
        << "a text that is no key shows unchanged";
    EXPECT_EQ(alert->titleLabel()->text(), LanguageService::localizedStringForKey("InformationLabelTitle"));
    EXPECT_NE(alert->titleLabel()->text(), "InformationLabelTitle");
    EXPECT_EQ(alert->openBtn()->text(), LanguageService::localizedStringForKey("OpenfileTitle"));
    EXPECT_EQ(alert->okBtn()->text(), LanguageService::localizedStringForKey("OKBtnTitle"));
    EXPECT_FALSE(alert->appIconView()->image().isNull());
    delete alert;

    QPointer<PNQOpenAlert> keyed = new PNQOpenAlert;
    keyed->setInfomation("Editfinishedstring");
    keyed->window();
    EXPECT_EQ(keyed->window()->title(), LanguageService::localizedStringForKey("Title"));
    EXPECT_EQ(keyed->titleLabel()->text(), LanguageService::localizedStringForKey("Editfinishedstring"));
    delete keyed;
}

TEST(PNQOpenAlert, ReportsTheCheckBoxOnceAndEndsItsModalSession)
{
    struct Case
    {
        Answer answer;
        bool expected;
    } cases[] = {
        {Answer::OkWithBox, true},
        {Answer::OkWithoutBox, false},
        {Answer::CloseButton, false},
        {Answer::Escape, false},
    };
    for (const Case &c : cases) {
        QPointer<PNQOpenAlert> alert = new PNQOpenAlert;
        std::vector<bool> results;
        alert->SelectedOkBlock = [&](bool on) { results.push_back(on); };
        whenShown([&](PNQOpenAlert *shown) { give(shown, c.answer); });
        const int code = platform::Application::shared().runModal(alert->window());
        EXPECT_NE(code, platform::Application::ModalResponseAbort);
        ASSERT_EQ(results.size(), 1u) << "answer " << int(c.answer);
        EXPECT_EQ(results[0], c.expected) << "answer " << int(c.answer);
        EXPECT_FALSE(platform::Application::shared().isModal());
        TestEnvironment::processDeferredDeletes();
        EXPECT_TRUE(alert.isNull()) << "the dialog goes away after closing";
    }
}

TEST(PNQOpenAlert, OkWithoutACallbackLeavesTheDialogOpen)
{
    QPointer<PNQOpenAlert> alert = new PNQOpenAlert;
    alert->window()->makeKeyAndOrderFront();
    QTest::mouseClick(alert->okBtn(), Qt::LeftButton);
    TestEnvironment::processEvents();
    ASSERT_FALSE(alert.isNull());
    EXPECT_TRUE(alert->window()->isVisible());

    // Set later, the callback hears the OK and the dialog closes.
    std::optional<bool> heard;
    alert->SelectedOkBlock = [&](bool on) { heard = on; };
    QTest::mouseClick(alert->okBtn(), Qt::LeftButton);
    EXPECT_EQ(heard, std::optional<bool>(false));
    if (alert)
        EXPECT_FALSE(alert->window()->isVisible());
    TestEnvironment::processDeferredDeletes();
}

TEST(PNQOpenAlert, RevealsTheOutputOnlyWhenAsked)
{
    struct Case
    {
        Answer answer;
        bool revealed;
    } cases[] = {
        {Answer::OkWithBox, true},
        {Answer::OkWithoutBox, false},
        {Answer::CloseButton, false},
        {Answer::Escape, false},
    };
    const QString path = outputFile();
    platform::Window tool(platform::Size{800, 600});
    tool.setTitle("Editor");
    tool.setFrame(platform::makeRect(100, 100, 800, 600));
    for (const Case &c : cases) {
        TestEnvironment::recordingWorkspace().clear();
        std::optional<platform::Rect> dialogFrame;
        QString dialogTitle;
        whenShown([&](PNQOpenAlert *shown) {
            dialogFrame = shown->window()->frame();
            dialogTitle = shown->window()->title();
            give(shown, c.answer);
        });
        const bool on = PNQOpenAlert::showFinished(&tool, "Editfinishedstring", path);
        EXPECT_EQ(on, c.revealed);
        EXPECT_EQ(TestEnvironment::recordingWorkspace().revealedFiles(),
                  c.revealed ? QStringList{path} : QStringList{})
            << "answer " << int(c.answer);
        EXPECT_EQ(dialogTitle, "Editor");
        ASSERT_TRUE(dialogFrame);
        EXPECT_EQ(dialogFrame->size, (platform::Size{PNQOpenAlert::width, PNQOpenAlert::height}));
    }
}

TEST(PNQOpenAlert, CentresOverTheToolWindow)
{
    const platform::Rect frame = PNQOpenAlert::frameCenteredOver(platform::makeRect(100, 50, 800, 600));
    EXPECT_EQ(frame, platform::makeRect(100 + 231, 50 + 243, 338, 114));
}
