#pragma once
// A join window opened as the launcher opens it, the generated clips its tests share, and a watcher that
// answers finish dialogs as a user does.
#include "controls/PNQOpenAlert.h"
#include "joiner/JoinnerRegistration.h"
#include "joiner/JoinnerWindowController.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Application.h"
#include "platform/ScriptedPanels.h"
#include "platform/Window.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/OutputFormatChooser.h"

#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace joinertest {

// Clips of different picture sizes, each with a tone.
inline QString clipOf(int width, int height, double seconds)
{
    fixture::Spec spec;
    spec.width = width;
    spec.height = height;
    spec.duration = seconds;
    return QString::fromStdString(fixture::sharedFixture("join-" + std::to_string(width) + "x" +
                                                             std::to_string(height) + "-" +
                                                             std::to_string(int(seconds * 10)) + ".mp4",
                                                         spec));
}

inline QString audioOnlyClip()
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.audio[0].codec = "aac";
    return QString::fromStdString(fixture::sharedFixture("join-audio.m4a", spec));
}

class JoinerTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (joiner && joiner->isWindowLoaded() && !joiner->isClosed())
            joiner->close();
        TestEnvironment::processDeferredDeletes();
        TestEnvironment::scriptedPanels().reset();
    }

    // Opens the window; on a short screen (the offscreen one is 600 high) it opens folded, and with
    // `unfolded` the header is clicked as a user does, to reach the format strip.
    JoinnerWindowController *open(bool unfolded = true)
    {
        registerJoinnerWindowClass();
        auto *controller = platform::WindowController::create(QStringLiteral("JoinnerWindowController"));
        joiner = qobject_cast<JoinnerWindowController *>(controller);
        EXPECT_NE(joiner.data(), nullptr);
        controller->makeKeyAndOrderFront();
        TestEnvironment::processEvents();
        if (unfolded && joiner->formatChooser()->isCollapsed()) {
            QTest::mouseClick(joiner->formatChooser()->showFunctionBtn(), Qt::LeftButton);
            TestEnvironment::processEvents();
            TestEnvironment::processEvents();
            EXPECT_FALSE(joiner->formatChooser()->isCollapsed());
        }
        return joiner;
    }

    // Chooses `paths` in the add-file panel through the add button.
    void add(const QStringList &paths)
    {
        TestEnvironment::scriptedPanels().answerOpenPanel(paths);
        QTest::mouseClick(joiner->addfileBtn(), Qt::LeftButton);
        TestEnvironment::processEvents();
        TestEnvironment::processEvents();
    }

    void click(QWidget *button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        TestEnvironment::processEvents();
        TestEnvironment::processEvents();
    }

    // The clip names in list order.
    QStringList names() const
    {
        QStringList out;
        for (const auto &clip : *joiner->fileList())
            out << clip->name();
        return out;
    }

    // The window deletes itself once closed (a test may close it).
    QPointer<JoinnerWindowController> joiner;
    FinishDialogWatch m_dialogWatch;
    QStringList &dialogTexts = m_dialogWatch.texts();
};

} // namespace joinertest
